#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "host/host_names.h"
#include "paths/install_layout.h"
#include "platform/file_system.h"
#include "scenerycfg/conflict_pass.h"

// The command-line program's commands that change things. Each runs the
// core on the file system it is given: the system's, or for a dry run a
// simulation over it, so that a preview is the real run kept in memory.
// Each returns the exit code.

// A settings-file key and the value --set gives it.
using SettingChange = std::pair<std::string, int>;

// The command's context: where, on which files, how to name them to
// people, and how to answer.
struct CommandContext {
    const InstallLayout& layout;
    platform::FileSystem& fs;
    host::HostNames& names;
    bool dryRun;
    bool json;
    std::ostream& out;
    std::ostream& err;
};

// The saved settings, changed, saved and applied as the dialog's apply does
// (same settings file, same log.txt). 1 when a write, a copy or a delete
// failed; 2 when the settings file could not be read (nothing is applied).
int RunApply(const CommandContext& context, const std::vector<SettingChange>& changes);

// The dialog program's start-up scan, or its -u restore, on scenery.cfg or
// on the library change waiting in NewScenery.cfg. 1 when a rename failed;
// 2 without a readable library file.
int RunConflictCommand(const CommandContext& context, ConflictPass pass,
                       LibraryFile library = LibraryFile::kCurrent);

// True when the library file was read; else false, with why it stops a
// command in *problem, for standard error.
bool LibraryReadable(host::HostNames& names, const LibraryRead& library, std::string* problem,
                     LibraryFile file = LibraryFile::kCurrent);

// True when no simulator runs; else false, with why a command that changes
// files does not start in *problem, for standard error.
bool SimulatorClosed(const std::vector<unsigned long>& processes, std::string* problem);
