#include "fileops/file_actions.h"

#include "fileops/file_exists.h"
#include "fileops/file_op_batch.h"
#include "platform/file_system.h"

namespace {

const std::string& SourceFolder(const InstallLayout& layout, PriorityArea area) {
    return area == PriorityArea::Higher ? layout.higherCache : layout.lowerCache;
}

const std::string& TargetFolder(const InstallLayout& layout, PriorityArea area) {
    return area == PriorityArea::Higher ? layout.higherScenery : layout.lowerScenery;
}

}  // namespace

int ShellCopyFile(const std::string& source, const std::string& destination,
                  platform::WindowHandle owner) {
    CFileOpBatch batch;
    batch.SetOperation(platform::kFoCopy, owner,
                       platform::kFofSilent | platform::kFofNoConfirmation);
    if (FileExists(source) == 0) {
        return 0;
    }
    batch.AddSourceFile(source);
    batch.AddDestFile(destination);
    return batch.Run() == 1 ? 1 : 0;
}

int RemoveExistingFile(const std::string& path) {
    if (FileExists(path) == 0) {
        return 0;
    }
    return platform::RemoveFile(path) ? 1 : 0;
}

void EnableLayerFile(const FileActionContext& context, PriorityArea area,
                     const std::string& fileName) {
    std::string source = SourceFolder(context.layout, area) + fileName;
    std::string destination = TargetFolder(context.layout, area) + fileName;
    bool copied = ShellCopyFile(source, destination, context.owner) == 1;
    context.log.Append((copied ? "Copied file " : "File copy failed: ") + source + " to " +
                       destination + "\n");
}

void DisableLayerFile(const FileActionContext& context, PriorityArea area,
                      const std::string& fileName) {
    std::string path = TargetFolder(context.layout, area) + fileName;
    if (RemoveExistingFile(path) == 1) {
        context.log.Append("Deleted file " + path + "\n");
    } else {
        context.log.Append("Delete file failed\n");
    }
}
