#pragma once

#include <string>
#include <vector>

#include "paths/install_layout.h"
#include "platform/file_system.h"

// True when name is a temporary sibling of the file named fileName, as any
// run of the program names them (with or without a process number):
// a leftover when no running program writes it. Names are matched as
// Windows matches them.
bool IsTemporaryOf(const std::string& name, const std::string& fileName);

// Temporary files that runs stopped while they wrote left behind: beside
// the settings file, and beside each layer file in its Scenery folder.

// Every such file there now, by its whole path: the package folder's first,
// then those of the Higher and the Lower Scenery folder.
std::vector<std::string> FindLeftovers(platform::FileSystem& fs, const InstallLayout& layout);

// What became of one leftover.
struct LeftoverReport {
    std::string path;
    bool removed = false;
    std::string reason;  // why it is still there
};

// Removes every leftover that no running program is writing; those another
// run is writing now, or that are gone before they are removed, are none of
// this run's business and are not reported.
std::vector<LeftoverReport> RemoveLeftovers(platform::FileSystem& fs, const InstallLayout& layout);
