#pragma once

#include <string>
#include <vector>

#include "paths/install_layout.h"
#include "platform/file_system.h"

// The per-user copies Windows (Vista and later) makes of files under
// Program Files when a legacy program that is not elevated writes them:
// %LOCALAPPDATA%\VirtualStore\ + the path without its drive. Such a
// program then sees the copy; one started as administrator sees only the
// real file.

// What the real file of a copy is to the program.
enum class StoredFile {
    kLibrary,          // scenery.cfg
    kSettings,         // TolvaneConfig.ini
    kSettingsSibling,  // a temporary sibling of the settings file
    kLog,              // log.txt
    kLayer,            // a layer file in a Scenery folder
    kConflict,         // a conflicting file as .bgl
    kDisabled,         // a conflicting file as .xxx
};

// One copy of a file the program reads or writes.
struct VirtualStoreCopy {
    std::string file;  // the real file's path
    std::string copy;  // its copy in the VirtualStore
    StoredFile kind;
    bool realExists;
    bool differs;     // both are there and their bytes differ
    bool loadedTwin;  // kDisabled: the real file's .bgl name is there
};

struct VirtualStoreReport {
    // The VirtualStore copy of the simulator root; empty where Windows keeps
    // no VirtualStore (Windows XP, or no Wine prefix).
    std::string folder;
    std::vector<VirtualStoreCopy> copies;
    int otherFiles = 0;  // other files below folder
};

// Looks for copies of every file the program reads or writes: scenery.cfg,
// the settings file and its temporary siblings, log.txt, each layer file in
// both Scenery folders, and the conflicting files (both names) in every
// area folder of the library. localAppData is the folder where Windows
// keeps this user's local data (%LOCALAPPDATA%); empty where Windows keeps
// no VirtualStore (Windows XP, or a host without a Wine prefix).
VirtualStoreReport FindVirtualStoreCopies(platform::FileSystem& fs, const InstallLayout& layout,
                                          const std::vector<std::string>& areaFolders,
                                          const std::string& localAppData);
