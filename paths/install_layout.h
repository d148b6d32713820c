#pragma once

#include <string>

#include "platform/code_page.h"

// The package's two scenery areas; each has a Cache folder (the master copy
// of every layer file) and a Scenery folder (read by the simulator).
enum class PriorityArea { Higher, Lower };

// The name of an area's folder in the package folder, and its title in the
// scenery library: "Tolvane - Higher Priority" or "Tolvane - Lower Priority".
inline const char* PackageAreaName(PriorityArea area) {
    return area == PriorityArea::Higher ? "Tolvane - Higher Priority" : "Tolvane - Lower Priority";
}

// Every folder and file the program works on, derived from the package
// folder [FS9]\Addon Scenery\Tolvane\, where the program lies.
struct InstallLayout {
    std::string exeDir;      // the package folder, with trailing backslash
    std::string fsRoot;      // simulator root, no trailing backslash
    std::string logPath;     // exeDir + log.txt
    std::string iniPath;     // exeDir + TolvaneConfig.ini
    std::string lowerCache;  // the four area folders end in a backslash
    std::string lowerScenery;
    std::string higherCache;
    std::string higherScenery;

    const std::string& Cache(PriorityArea area) const {
        return area == PriorityArea::Higher ? higherCache : lowerCache;
    }
    const std::string& Scenery(PriorityArea area) const {
        return area == PriorityArea::Higher ? higherScenery : lowerScenery;
    }
    // The area's folder, as the scenery library names it: no trailing
    // backslash.
    std::string AreaFolder(PriorityArea area) const { return exeDir + PackageAreaName(area); }
};

// Derives the layout from the executable's whole path. A path without any
// backslash has no folder to derive from: false, with *error saying so.
bool DeriveInstallLayout(const std::string& exePath, InstallLayout* layout, std::string* error,
                         const platform::CodePage& codePage);

// The layout of a package folder named directly (with or without its
// trailing backslash), as if the program lay in it.
InstallLayout PackageLayout(const std::string& packageFolder, const platform::CodePage& codePage);

// The simulator root of a package folder (with its trailing backslash): the
// folder cut before the third backslash from its end, as the package sits
// in the simulator's "Addon Scenery" folder. A package folder nearer a
// drive's root gives that drive's root (C:), never a path relative to the
// working folder.
std::string SimulatorRoot(const std::string& exeDir, const platform::CodePage& codePage);
