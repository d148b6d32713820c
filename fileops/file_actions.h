#pragma once

#include <string>
#include <string_view>

#include "fileops/activity_log.h"
#include "paths/install_layout.h"
#include "platform/file_system.h"
#include "platform/shell.h"

// What the file actions work on during one apply: the package's folders,
// the file system, the log, and the dialog's window as the owner of the
// shell's copy.
struct FileActionContext {
    const InstallLayout& layout;
    platform::FileSystem& fs;
    ActivityLog& log;
    platform::WindowHandle owner = nullptr;
};

// What became of one file action.
enum class ActionResult {
    kDone,
    kNotThere,  // a delete found no file to delete: nothing needed doing
    kFailed,
};

struct ActionOutcome {
    ActionResult result = ActionResult::kFailed;
    std::string reason;  // why it was not done
};

// Copies the layer file from its area's Cache folder to its Scenery folder
// and logs one line.
ActionOutcome EnableLayerFile(const FileActionContext& context, PriorityArea area,
                              std::string_view fileName);

// Deletes the layer file from its area's Scenery folder and logs one line.
ActionOutcome DisableLayerFile(const FileActionContext& context, PriorityArea area,
                               std::string_view fileName);

// Copies one file through the shell (silent, no confirmation), replacing the
// destination. 1 when copied; 0 without calling the shell when no regular
// file stands at the source, or when the shell reports a failure (its code in
// *shellResult, its words in *reason where the system gives them, each
// when asked for).
int ShellCopyFile(platform::FileSystem& fs, const std::string& source,
                  const std::string& destination, platform::WindowHandle owner,
                  int* shellResult = nullptr, std::string* reason = nullptr);

// The most files of one name, differing in case, that a delete removes.
inline constexpr int kMostCaseVariants = 16;

// Deletes a file outright, and every other file whose name differs from its
// only in case. 1 when it deleted them; 0 when nothing was there, or with
// the reason in *reason (when given) when one could not be deleted.
int RemoveExistingFile(platform::FileSystem& fs, const std::string& path,
                       std::string* reason = nullptr);

// True when an area's Scenery folder and its Cache folder are one folder
// (a link from one to the other), where a delete would delete a master.
bool SceneryIsItsCache(platform::FileSystem& fs, const InstallLayout& layout, PriorityArea area);

// In place of a copy (enable) or a delete in such a folder: does nothing
// and logs the action's failure line.
ActionOutcome LeaveLayerFile(const FileActionContext& context, PriorityArea area,
                             std::string_view fileName, bool enable);
