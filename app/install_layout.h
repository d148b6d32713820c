#pragma once

#include <string>

#include "fileops/priority_area.h"

// Every folder and file the program works on, derived from where the
// executable lies: [FS9]\Addon Scenery\Tolvane\TolvaneConfig.exe.
struct InstallLayout {
    std::string exeDir;      // with trailing backslash
    std::string fsRoot;      // simulator root, no trailing backslash
    std::string logPath;     // exeDir + log.txt
    std::string iniPath;     // exeDir + TolvaneConfig.ini
    std::string lowerCache;  // the four area folders end in a backslash
    std::string lowerScenery;
    std::string higherCache;
    std::string higherScenery;
};

// Derives the layout from the executable's whole path. A path without any
// backslash has no folder to derive from: false, with *error saying so.
bool DeriveInstallLayout(const std::string& exePath, InstallLayout* layout, std::string* error);

// The layout's four area folders, as the file actions take them.
AreaFolders AreaFoldersOf(const InstallLayout& layout);
