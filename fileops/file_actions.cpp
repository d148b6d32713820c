#include "fileops/file_actions.h"

#include <exception>

#include "fileops/file_op_batch.h"
#include "platform/files.h"

int ShellCopyFile(const std::string& source, const std::string& destination,
                  platform::WindowHandle owner) {
    CFileOpBatch batch;
    batch.SetOperation(platform::kFoCopy, owner,
                       platform::kFofSilent | platform::kFofNoConfirmation);
    if (platform::FileExists(source) == 0) {
        return 0;
    }
    batch.AddSourceFile(source);
    batch.AddDestFile(destination);
    return batch.Run() == 1 ? 1 : 0;
}

int RemoveExistingFile(const std::string& path) {
    if (platform::FileExists(path) == 0) {
        return 0;
    }
    return platform::RemoveFile(path) ? 1 : 0;
}

// Memory running out fails an action like any other failure. When not even
// its log line can be made, the line is missing and the apply goes on.
void EnableLayerFile(const FileActionContext& context, PriorityArea area,
                     std::string_view fileName) {
    try {
        std::string source = context.folders.Cache(area);
        source += fileName;
        std::string destination = context.folders.Scenery(area);
        destination += fileName;
        bool copied = false;
        try {
            copied = ShellCopyFile(source, destination, context.owner) == 1;
        } catch (const std::exception&) {
        }
        context.log.Append((copied ? "Copied file " : "File copy failed: ") + source + " to " +
                           destination + "\n");
    } catch (const std::exception&) {
    }
}

void DisableLayerFile(const FileActionContext& context, PriorityArea area,
                      std::string_view fileName) {
    try {
        std::string path = context.folders.Scenery(area);
        path += fileName;
        bool deleted = false;
        try {
            deleted = RemoveExistingFile(path) == 1;
        } catch (const std::exception&) {
        }
        context.log.Append(deleted ? "Deleted file " + path + "\n" : "Delete file failed\n");
    } catch (const std::exception&) {
    }
}
