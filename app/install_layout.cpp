#include "app/install_layout.h"

#include <exception>
#include <utility>

namespace {

// The simulator root is exeDir cut before the third backslash from its end
// (Addon Scenery\Tolvane\ sit below it). With fewer backslashes the walk
// stops at the first character.
std::string SimulatorRoot(const std::string& exeDir) {
    size_t i = exeDir.size() - 1;
    int count = 0;
    while (i != 0 && count < 3) {
        if (exeDir[i] == '\\') {
            ++count;
        }
        --i;
    }
    return exeDir.substr(0, i + 1);
}

bool Derive(const std::string& exePath, InstallLayout* layout, std::string* error) {
    size_t lastBackslash = exePath.find_last_of('\\');
    if (lastBackslash == std::string::npos) {
        *error = "The program's own path has no folder in it: \"" + exePath + "\"";
        return false;
    }
    InstallLayout derived;
    derived.exeDir = exePath.substr(0, lastBackslash + 1);
    derived.fsRoot = SimulatorRoot(derived.exeDir);
    derived.logPath = derived.exeDir + "log.txt";
    derived.iniPath = derived.exeDir + "TolvaneConfig.ini";
    derived.lowerCache = derived.exeDir + "Tolvane - Lower Priority\\Cache\\";
    derived.lowerScenery = derived.exeDir + "Tolvane - Lower Priority\\Scenery\\";
    derived.higherCache = derived.exeDir + "Tolvane - Higher Priority\\Cache\\";
    derived.higherScenery = derived.exeDir + "Tolvane - Higher Priority\\Scenery\\";
    *layout = std::move(derived);
    return true;
}

}  // namespace

bool DeriveInstallLayout(const std::string& exePath, InstallLayout* layout, std::string* error) {
    try {
        return Derive(exePath, layout, error);
    } catch (const std::exception&) {
        return false;  // out of memory; *error may be empty
    }
}

AreaFolders AreaFoldersOf(const InstallLayout& layout) {
    return AreaFolders{layout.higherCache, layout.higherScenery, layout.lowerCache,
                       layout.lowerScenery};
}
