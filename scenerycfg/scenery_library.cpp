#include "scenerycfg/scenery_library.h"

#include "ini/ini_store.h"
#include "paths/path_text.h"
#include "scenerycfg/area_path.h"

LibraryRead ForEachSceneryArea(platform::FileSystem& fs, const std::string& fsRoot,
                               const std::function<void(const SceneryArea&)>& visit) {
    LibraryRead read;
    read.path = fsRoot + "\\scenery.cfg";
    if (fs.Exists(read.path) == 0) {
        return read;
    }
    CIniStore store(fs, read.path);
    read.state = store.Load(&read.reason) ? LibraryState::kRead : LibraryState::kUnreadable;
    for (int i = 0; i < store.SectionCount(); ++i) {
        const std::string section = store.SectionName(i);
        if (section.find("Area.") == std::string::npos) {
            continue;
        }
        // Every trailing backslash goes and exactly one comes back: the
        // resolver expects a folder path that ends in one.
        const std::string local =
            WithoutTrailingBackslashes(store.GetString(section, "Local")) + "\\";
        visit(SceneryArea{store.GetString(section, "Title"), ResolveAreaPath(fsRoot, local),
                          store.GetString(section, "Active") == "TRUE"});
    }
    return read;
}
