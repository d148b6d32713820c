#include "paths/install_layout.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/path_names.h"

std::string SimulatorRoot(const std::string& exeDir, const platform::CodePage& codePage) {
    // The backslashes that are characters of their own, in order.
    std::vector<size_t> backslashes;
    for (size_t at = 0; at < exeDir.size(); at = codePage.Next(exeDir, at)) {
        if (exeDir[at] == '\\') {
            backslashes.push_back(at);
        }
    }
    // The walk from the end stops before the third backslash it passes, or
    // at the first character.
    const size_t count = std::min<size_t>(backslashes.size(), 3);
    size_t i = 0;
    if (count == 3) {
        const size_t third = backslashes[backslashes.size() - 3];
        i = third == 0 ? 0 : third - 1;
    }
    if (count < 3 && exeDir.size() >= 2 && exeDir[1] == ':') {
        return exeDir.substr(0, 2);  // alone, the drive letter would be a relative folder
    }
    return exeDir.substr(0, i + 1);
}

InstallLayout PackageLayout(const std::string& packageFolder, const platform::CodePage& codePage) {
    InstallLayout layout;
    layout.exeDir = packageFolder;
    if (!platform::EndsWithSeparator(layout.exeDir, codePage) || layout.exeDir.back() != '\\') {
        layout.exeDir += '\\';
    }
    layout.fsRoot = SimulatorRoot(layout.exeDir, codePage);
    layout.logPath = layout.exeDir + "log.txt";
    layout.iniPath = layout.exeDir + "TolvaneConfig.ini";
    layout.lowerCache = layout.AreaFolder(PriorityArea::Lower) + "\\Cache\\";
    layout.lowerScenery = layout.AreaFolder(PriorityArea::Lower) + "\\Scenery\\";
    layout.higherCache = layout.AreaFolder(PriorityArea::Higher) + "\\Cache\\";
    layout.higherScenery = layout.AreaFolder(PriorityArea::Higher) + "\\Scenery\\";
    return layout;
}

bool DeriveInstallLayout(const std::string& exePath, InstallLayout* layout, std::string* error,
                         const platform::CodePage& codePage) {
    // Only a backslash ends the folder, as the system's own path gives it.
    size_t lastBackslash = std::string::npos;
    for (size_t at = 0; at < exePath.size(); at = codePage.Next(exePath, at)) {
        lastBackslash = exePath[at] == '\\' ? at : lastBackslash;
    }
    if (lastBackslash == std::string::npos) {
        *error = "The program's own path has no folder in it: \"" + exePath + "\"";
        return false;
    }
    *layout = PackageLayout(exePath.substr(0, lastBackslash + 1), codePage);
    return true;
}
