#include "scenerycfg/scenery_library.h"

#include "fileops/foreseen_files.h"
#include "ini/ini_store.h"
#include "paths/path_text.h"
#include "platform/files.h"
#include "scenerycfg/area_path.h"

bool ForEachSceneryArea(const std::string& fsRoot,
                        const std::function<void(const SceneryArea&)>& visit) {
    const std::string library = fsRoot + "\\scenery.cfg";
    if (platform::FileExists(library) == 0) {
        return false;
    }
    CIniStore store(library);
    store.Load();
    for (int i = 0; i < store.SectionCount(); ++i) {
        const std::string section = store.SectionName(i);
        if (section.find("Area.") == std::string::npos) {
            continue;
        }
        const std::string local =
            WithoutTrailingBackslashes(store.GetString(section, "Local")) + "\\";
        visit(SceneryArea{store.GetString(section, "Title"), ResolveAreaPath(fsRoot, local),
                          store.GetString(section, "Active") == "TRUE"});
    }
    return true;
}

bool RunConflictPassReporting(const std::string& fsRoot, ConflictPassKind kind, bool dryRun,
                              const std::function<void(const RenameReport&)>& report) {
    const bool scan = kind == ConflictPassKind::kScan;
    ForeseenFiles foreseen;
    return ForEachSceneryArea(fsRoot, [&](const SceneryArea& area) {
        if (area.folder.empty() || (scan && !area.active)) {
            return;
        }
        for (const char* name : kConflictNames) {
            const std::string base = area.folder + "\\scenery\\" + name;
            RenameReport rename{base + (scan ? ".bgl" : ".xxx"), base + (scan ? ".xxx" : ".bgl"),
                                true, ""};
            if (!dryRun) {
                if (platform::FileExists(rename.from) != 0) {
                    rename.renamed = platform::RenameFile(rename.from, rename.to, &rename.reason);
                    report(rename);
                }
            } else if (foreseen.Exists(rename.from)) {
                rename.renamed = !foreseen.Exists(rename.to);
                if (rename.renamed) {
                    foreseen.Rename(rename.from, rename.to);
                } else {
                    rename.reason = "A file of the new name exists.";
                }
                report(rename);
            }
        }
    });
}
