#include "fileops/file_actions.h"

#include <cstdio>

#include "fileops/file_op_batch.h"
#include "paths/path_text.h"
#include "platform/memory.h"
#include "platform/path_names.h"
#include "preview/file_rules.h"

int ShellCopyFile(platform::FileSystem& fs, const std::string& source,
                  const std::string& destination, platform::WindowHandle owner, int* shellResult,
                  std::string* reason) {
    std::string why;
    CFileOpBatch batch([&fs, &why](platform::ShellFileOpRequest& request) {
        return fs.ShellOperation(request, &why);
    });
    batch.SetOperation(platform::kFoCopy, owner,
                       platform::kFofSilent | platform::kFofNoConfirmation);
    // Only a regular file is a layer file's master. The Windows shell would
    // copy a folder whole, or leave a file of its name and report success.
    if (fs.Stat(source).kind != platform::EntryKind::kFile) {
        return 0;
    }
    batch.AddSourceFile(source);
    batch.AddDestFile(destination);
    const int copied = batch.Run(nullptr, shellResult) == 1 ? 1 : 0;
    if (reason != nullptr) {
        *reason = why;
    }
    return copied;
}

int RemoveExistingFile(platform::FileSystem& fs, const std::string& path, std::string* reason) {
    // Where names differ in case (on posix, or a case-sensitive folder under
    // Wine) another file of this name may stand there too; every one of
    // them is the layer file the simulator would load. A file that another
    // run deletes meanwhile was not there to delete.
    std::string why;
    int deleted = 0;
    while (fs.Exists(path) != 0) {
        if (deleted == kMostCaseVariants) {
            why = "more files of this name in other case than a delete removes";
            break;
        }
        if (fs.Delete(path, platform::DeleteMode::kFile, &why)) {
            ++deleted;
        } else if (fs.Exists(path) != 0) {
            break;
        } else {
            why.clear();
        }
    }
    if (!why.empty() && reason != nullptr) {
        *reason = why;
    }
    return why.empty() && deleted > 0 ? 1 : 0;
}

bool SceneryIsItsCache(platform::FileSystem& fs, const InstallLayout& layout, PriorityArea area) {
    const platform::CodePage& codePage = fs.AnsiCodePage();
    return fs.FolderKey(TrimmedFolderPath(layout.Scenery(area), codePage)) ==
           fs.FolderKey(TrimmedFolderPath(layout.Cache(area), codePage));
}

namespace {

using platform::EntryKind;
using platform::Failure;
using platform::FailureText;

// Why a copy failed: the system's words where it gave them, else those of
// the refusal rules; the Windows shell itself says no more than a number.
std::string CopyFailure(platform::FileSystem& fs, const std::string& source,
                        const std::string& destination, int shellResult,
                        const std::string& shellReason) {
    std::string why;
    if (!preview::MayCopyFrom(fs, source, &why)) {
        const platform::Entry master = fs.Stat(source);
        return (master.kind == EntryKind::kNone && !master.searchDenied ? "no Cache master: "
                                                                        : "the Cache master: ") +
               why;
    }
    if (!shellReason.empty()) {
        return shellReason;
    }
    if (preview::ShellCopyRefusal(fs, source, destination, &why) != 0) {
        return why;
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
    platform::WithinMemory([&] {
        std::string source = context.layout.Cache(area);
        source += fileName;
        std::string destination = context.layout.Scenery(area);
        destination += fileName;
        int shellResult = 0;
        bool copied = false;
        if (!platform::WithinMemory([&] {
                std::string shellReason;
                copied = ShellCopyFile(context.fs, source, destination, context.owner, &shellResult,
                                       &shellReason) == 1;
                if (!copied) {
                    outcome.reason =
                        CopyFailure(context.fs, source, destination, shellResult, shellReason);
                }
            })) {
            outcome.reason = "not enough memory";
        }
        outcome.result = copied ? ActionResult::kDone : ActionResult::kFailed;
        context.log.Append((copied ? "Copied file " : "File copy failed: ") + source + " to " +
                           destination + "\n");
    });
    return outcome;
}

ActionOutcome DisableLayerFile(const FileActionContext& context, PriorityArea area,
                               std::string_view fileName) {
    ActionOutcome outcome;
    platform::WithinMemory([&] {
        std::string path = context.layout.Scenery(area);
        path += fileName;
        bool deleted = false;
        if (!platform::WithinMemory([&] {
                deleted = RemoveExistingFile(context.fs, path, &outcome.reason) == 1;
                if (!deleted && outcome.reason.empty()) {
                    outcome.result = ActionResult::kNotThere;
                    outcome.reason = "not there";
                }
            })) {
            outcome.reason = "not enough memory";
        }
        if (deleted) {
            outcome.result = ActionResult::kDone;
        }
        context.log.Append(deleted ? "Deleted file " + path + "\n" : "Delete file failed\n");
    });
    return outcome;
}

ActionOutcome LeaveLayerFile(const FileActionContext& context, PriorityArea area,
                             std::string_view fileName, bool enable) {
    ActionOutcome outcome;
    outcome.reason = "the Scenery folder is its Cache folder: nothing is copied or deleted there";
    platform::WithinMemory([&] {
        const std::string copy = context.layout.Scenery(area) + std::string(fileName);
        context.log.Append(enable ? "File copy failed: " + context.layout.Cache(area) +
                                        std::string(fileName) + " to " + copy + "\n"
                                  : "Delete file failed\n");
    });
    return outcome;
}
