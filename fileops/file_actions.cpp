#include "fileops/file_actions.h"

#include <cstdio>
#include <exception>

#include "fileops/file_op_batch.h"
#include "platform/path_names.h"

int ShellCopyFile(platform::FileSystem& fs, const std::string& source,
                  const std::string& destination, platform::WindowHandle owner, int* shellResult) {
    CFileOpBatch batch(
        [&fs](platform::ShellFileOpRequest& request) { return fs.ShellOperation(request); });
    batch.SetOperation(platform::kFoCopy, owner,
                       platform::kFofSilent | platform::kFofNoConfirmation);
    if (fs.Exists(source) == 0) {
        return 0;
    }
    batch.AddSourceFile(source);
    batch.AddDestFile(destination);
    return batch.Run(nullptr, shellResult) == 1 ? 1 : 0;
}

int RemoveExistingFile(platform::FileSystem& fs, const std::string& path, std::string* reason) {
    if (fs.Exists(path) == 0) {
        return 0;
    }
    std::string why;
    if (!fs.Remove(path, &why)) {
        if (reason != nullptr) {
            *reason = why;
        }
        return 0;
    }
    return 1;
}

namespace {

using platform::EntryKind;
using platform::Failure;
using platform::FailureText;

// Why a copy failed, in the words of the file system's refusals: the shell
// itself says no more than a number.
std::string CopyFailure(platform::FileSystem& fs, const std::string& source,
                        const std::string& destination, int shellResult) {
    const platform::Entry master = fs.Stat(source);
    if (master.kind == EntryKind::kNone) {
        return "no Cache master: " + FailureText(Failure::kNotFound);
    }
    if (master.kind != EntryKind::kFile) {
        return "the Cache master: " + FailureText(master.kind == EntryKind::kFolder
                                                      ? Failure::kIsFolder
                                                      : Failure::kNotAFile);
    }
    const platform::Entry copy = fs.Stat(destination);
    if (copy.kind == EntryKind::kFolder) {
        return FailureText(Failure::kIsFolder);
    }
    const std::string folder = platform::FolderOf(destination);
    if (fs.Stat(folder).kind == EntryKind::kFolder && !fs.FolderAcceptsChanges(folder)) {
        return FailureText(Failure::kAccessDenied);
    }
    char code[64];
    std::snprintf(code, sizeof code, "the shell's copy failed (error 0x%X)",
                  static_cast<unsigned>(shellResult));
    return code;
}

}  // namespace

// Memory running out fails an action like any other failure. When not even
// its log line can be made, the line is missing and the apply goes on.
ActionOutcome EnableLayerFile(const FileActionContext& context, PriorityArea area,
                              std::string_view fileName) {
    ActionOutcome outcome;
    try {
        std::string source = context.layout.Cache(area);
        source += fileName;
        std::string destination = context.layout.Scenery(area);
        destination += fileName;
        int shellResult = 0;
        bool copied = false;
        try {
            copied =
                ShellCopyFile(context.fs, source, destination, context.owner, &shellResult) == 1;
            if (!copied) {
                outcome.reason = CopyFailure(context.fs, source, destination, shellResult);
            }
        } catch (const std::exception&) {
            outcome.reason = "not enough memory";
        }
        outcome.result = copied ? ActionResult::kDone : ActionResult::kFailed;
        context.log.Append((copied ? "Copied file " : "File copy failed: ") + source + " to " +
                           destination + "\n");
    } catch (const std::exception&) {
    }
    return outcome;
}

ActionOutcome DisableLayerFile(const FileActionContext& context, PriorityArea area,
                               std::string_view fileName) {
    ActionOutcome outcome;
    try {
        std::string path = context.layout.Scenery(area);
        path += fileName;
        bool deleted = false;
        try {
            deleted = RemoveExistingFile(context.fs, path, &outcome.reason) == 1;
            if (!deleted && outcome.reason.empty()) {
                outcome.result = ActionResult::kNotThere;
                outcome.reason = "not there";
            }
        } catch (const std::exception&) {
            outcome.reason = "not enough memory";
        }
        if (deleted) {
            outcome.result = ActionResult::kDone;
        }
        context.log.Append(deleted ? "Deleted file " + path + "\n" : "Delete file failed\n");
    } catch (const std::exception&) {
    }
    return outcome;
}
