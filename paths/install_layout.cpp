#include "paths/install_layout.h"

#include <exception>
#include <utility>

std::string SimulatorRoot(const std::string& exeDir) {
    size_t i = exeDir.size() - 1;
    int count = 0;
    while (i != 0 && count < 3) {
        if (exeDir[i] == '\\') {
            ++count;
        }
        --i;
    }
    if (count < 3 && exeDir.size() >= 2 && exeDir[1] == ':') {
        return exeDir.substr(0, 2);  // alone, the drive letter would be a relative folder
    }
    return exeDir.substr(0, i + 1);
}

InstallLayout PackageLayout(const std::string& packageFolder) {
    InstallLayout layout;
    layout.exeDir = packageFolder;
    if (layout.exeDir.empty() || layout.exeDir.back() != '\\') {
        layout.exeDir += '\\';
    }
    layout.fsRoot = SimulatorRoot(layout.exeDir);
    layout.logPath = layout.exeDir + "log.txt";
    layout.iniPath = layout.exeDir + "TolvaneConfig.ini";
    layout.lowerCache = layout.exeDir + "Tolvane - Lower Priority\\Cache\\";
    layout.lowerScenery = layout.exeDir + "Tolvane - Lower Priority\\Scenery\\";
    layout.higherCache = layout.exeDir + "Tolvane - Higher Priority\\Cache\\";
    layout.higherScenery = layout.exeDir + "Tolvane - Higher Priority\\Scenery\\";
    return layout;
}

bool DeriveInstallLayout(const std::string& exePath, InstallLayout* layout, std::string* error) {
    try {
        size_t lastBackslash = exePath.find_last_of('\\');
        if (lastBackslash == std::string::npos) {
            *error = "The program's own path has no folder in it: \"" + exePath + "\"";
            return false;
        }
        *layout = PackageLayout(exePath.substr(0, lastBackslash + 1));
        return true;
    } catch (const std::exception&) {
        return false;  // out of memory; *error may be empty
    }
}
