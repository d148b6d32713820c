#include "cli/status.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <utility>

#include "layers/planned_actions.h"
#include "paths/path_text.h"
#include "platform/files.h"
#include "scenerycfg/scenery_library.h"

namespace {

const char* AreaName(PriorityArea area) {
    return area == PriorityArea::Higher ? "Higher" : "Lower";
}

// True when both files are there and hold the same bytes.
bool SameBytes(const std::string& a, const std::string& b) {
    std::string bytesA, bytesB;
    return platform::ReadWholeFile(a, &bytesA) == platform::ReadResult::kComplete &&
           platform::ReadWholeFile(b, &bytesB) == platform::ReadResult::kComplete &&
           bytesA == bytesB;
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    const std::string wanted = AsciiLower(name);
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& entry) { return AsciiLower(entry) == wanted; });
}

std::vector<LayerFileStatus> LayerStatus(const InstallLayout& layout,
                                         const std::vector<LoadedOption>& options) {
    LayerSettings settings;
    for (const LoadedOption& loaded : options) {
        settings.*loaded.option->field = loaded.value;
    }
    const AreaFolders folders = AreaFoldersOf(layout);
    std::vector<LayerFileStatus> actions;
    for (const PlannedAction& action : PlannedActions(settings)) {
        const std::string copy = folders.Scenery(action.area) + action.name;
        const std::string master = folders.Cache(action.area) + action.name;
        const bool present = platform::FileExists(copy) != 0;
        const bool stale = present && platform::FileExists(master) != 0 && !SameBytes(copy, master);
        actions.push_back({action.area, action.name, action.enable, present, stale});
    }
    return actions;
}

void LibraryStatus(const std::string& fsRoot, Status* status) {
    status->libraryFound = ForEachSceneryArea(fsRoot, [&](const SceneryArea& area) {
        ++status->areas;
        status->activeAreas += area.active ? 1 : 0;
        std::vector<std::string> names;
        if (area.folder.empty() || !platform::ListFolder(area.folder + "\\scenery", &names)) {
            return;
        }
        ConflictAreaStatus conflicts{area.title, area.folder, area.active, {}};
        for (const char* name : kConflictNames) {
            const std::string base = name;
            ConflictFileStatus file{base, Contains(names, base + ".bgl"),
                                    Contains(names, base + ".xxx")};
            if (file.bgl || file.xxx) {
                conflicts.files.push_back(file);
            }
        }
        if (!conflicts.files.empty()) {
            status->conflicts.push_back(std::move(conflicts));
        }
    });
}

std::string FileState(const ConflictFileStatus& file) {
    return file.bgl && file.xxx ? "both" : file.bgl ? ".bgl" : ".xxx";
}

}  // namespace

bool Status::ApplyWouldChange() const {
    // The last action on a file decides where it ends.
    std::map<std::pair<PriorityArea, std::string>, const LayerFileStatus*> last;
    for (const LayerFileStatus& action : actions) {
        last[{action.area, action.name}] = &action;
    }
    return std::any_of(last.begin(), last.end(), [](const auto& entry) {
        const LayerFileStatus& file = *entry.second;
        return file.wanted != file.present || (file.wanted && file.stale);
    });
}

bool Status::ScanWouldChange() const {
    return std::any_of(conflicts.begin(), conflicts.end(), [](const ConflictAreaStatus& area) {
        return area.active && std::any_of(area.files.begin(), area.files.end(),
                                          [](const ConflictFileStatus& f) { return f.bgl; });
    });
}

Status GatherStatus(const InstallLayout& layout) {
    Status status;
    status.package = layout.exeDir;
    status.iniPath = layout.iniPath;
    status.settings = LoadOptionsWithSources(layout.iniPath);
    status.actions = LayerStatus(layout, status.settings);
    status.libraryPath = layout.fsRoot + "\\scenery.cfg";
    LibraryStatus(layout.fsRoot, &status);
    return status;
}

void PrintStatus(const Status& status, std::ostream& out) {
    char line[512];
    out << "Package " << status.package << "\n\nSettings (" << status.iniPath << ")\n";
    for (const LoadedOption& loaded : status.settings) {
        std::snprintf(line, sizeof line, "  %-6s %-12s %4d  %s\n", loaded.option->section,
                      loaded.option->key, loaded.value, loaded.fromFile ? "file" : "default");
        out << line;
    }
    out << "\nLayer files: the plan's actions, and the Scenery folders\n";
    int number = 0;
    for (const LayerFileStatus& action : status.actions) {
        std::snprintf(line, sizeof line, "  %2d  %-6s %-7s %-7s %s%s\n", ++number,
                      AreaName(action.area), action.wanted ? "enable" : "disable",
                      action.present ? "present" : "absent", action.name.c_str(),
                      action.stale ? "  (stale: differs from its Cache master)" : "");
        out << line;
    }
    out << "\nScenery library (" << status.libraryPath << ")\n";
    if (!status.libraryFound) {
        out << "  not found\n";
    } else {
        out << "  " << status.areas << " areas, " << status.activeAreas << " active\n";
        for (const ConflictAreaStatus& area : status.conflicts) {
            out << "  " << area.title << (area.active ? "" : " (inactive)") << "\n    "
                << area.folder << "\n";
            for (const ConflictFileStatus& file : area.files) {
                out << "      " << file.name << ": " << FileState(file) << "\n";
            }
        }
    }
    out << "\n"
        << (status.ApplyWouldChange() ? "An apply would change the Scenery folders."
                                      : "The Scenery folders match the settings.")
        << "\n"
        << (status.ScanWouldChange() ? "A scan would rename conflicting files."
                                     : "No active area holds a conflicting .bgl file.")
        << "\n";
}

nlohmann::json StatusJson(const Status& status) {
    nlohmann::json settings = nlohmann::json::array();
    for (const LoadedOption& loaded : status.settings) {
        settings.push_back({{"section", loaded.option->section},
                            {"key", loaded.option->key},
                            {"value", loaded.value},
                            {"source", loaded.fromFile ? "file" : "default"}});
    }
    nlohmann::json actions = nlohmann::json::array();
    for (const LayerFileStatus& action : status.actions) {
        actions.push_back({{"area", AreaName(action.area)},
                           {"file", action.name},
                           {"wanted", action.wanted},
                           {"present", action.present},
                           {"stale", action.stale}});
    }
    nlohmann::json conflicts = nlohmann::json::array();
    for (const ConflictAreaStatus& area : status.conflicts) {
        nlohmann::json files = nlohmann::json::array();
        for (const ConflictFileStatus& file : area.files) {
            files.push_back({{"name", file.name}, {"state", FileState(file)}});
        }
        conflicts.push_back({{"title", area.title},
                             {"folder", area.folder},
                             {"active", area.active},
                             {"files", files}});
    }
    return {{"package", status.package},
            {"settingsFile", status.iniPath},
            {"settings", settings},
            {"layers", actions},
            {"library",
             {{"path", status.libraryPath},
              {"found", status.libraryFound},
              {"areas", status.areas},
              {"activeAreas", status.activeAreas},
              {"conflicts", conflicts}}},
            {"applyWouldChange", status.ApplyWouldChange()},
            {"scanWouldChange", status.ScanWouldChange()}};
}
