#pragma once

#include <string>
#include <string_view>

#include "fileops/activity_log.h"
#include "fileops/priority_area.h"
#include "platform/shell.h"

// What the file actions work on during one apply: the package's area
// folders, the dialog's log, and its window as the owner of the shell's
// copy.
struct FileActionContext {
    AreaFolders folders;
    ActivityLog& log;
    platform::WindowHandle owner = nullptr;
};

// Copies the layer file from its area's Cache folder to its Scenery folder
// and logs one line.
void EnableLayerFile(const FileActionContext& context, PriorityArea area,
                     std::string_view fileName);

// Deletes the layer file from its area's Scenery folder and logs one line.
void DisableLayerFile(const FileActionContext& context, PriorityArea area,
                      std::string_view fileName);

// Copies one file through the shell (silent, no confirmation), replacing the
// destination. 1 when copied; 0 without calling the shell when the source
// is missing, or when the shell reports a failure.
int ShellCopyFile(const std::string& source, const std::string& destination,
                  platform::WindowHandle owner);

// Deletes a file outright. 1 when deleted; 0 when nothing is there or the
// system refuses.
int RemoveExistingFile(const std::string& path);
