#include "cli/status.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <utility>

#include "cli/cli_text.h"
#include "layers/layer_options.h"
#include "layers/layer_plan.h"
#include "platform/path_names.h"
#include "platform/simulated_file_system.h"

namespace {

std::vector<LayerFileStatus> LayerStatus(platform::FileSystem& fs, const InstallLayout& layout,
                                         const LayerSettings& settings) {
    std::vector<LayerFileStatus> actions;
    for (const PlannedAction& action : PlannedActions(settings)) {
        const std::string copy = layout.Scenery(action.area) + action.name;
        const std::string master = layout.Cache(action.area) + action.name;
        const bool present = fs.Exists(copy) != 0;
        const bool stale =
            present && fs.Exists(master) != 0 && !platform::SameContent(fs, copy, master);
        actions.push_back({action.area, action.name, action.enable, present, stale});
    }
    return actions;
}

void LibraryStatus(platform::FileSystem& fs, const std::string& fsRoot, Status* status) {
    status->library = ForEachSceneryArea(fs, fsRoot, [&](const SceneryArea& area) {
        ++status->areas;
        status->activeAreas += area.active ? 1 : 0;
        // One listing of the area's scenery folder, its names matched as
        // the file system matches them.
        std::vector<std::string> names;
        if (area.folder.empty() || !fs.ListFolder(area.folder + "\\scenery", &names)) {
            return;
        }
        auto holds = [&](const std::string& wanted) {
            return std::any_of(names.begin(), names.end(), [&](const std::string& name) {
                return platform::SameFileName(name, wanted);
            });
        };
        ConflictAreaStatus conflicts{area.title, area.folder, area.active, {}};
        for (const char* name : kConflictNames) {
            ConflictFileStatus file{name, holds(std::string(name) + ".bgl"),
                                    holds(std::string(name) + ".xxx")};
            if (file.bgl || file.xxx) {
                conflicts.files.push_back(file);
            }
        }
        if (!conflicts.files.empty()) {
            status->conflicts.push_back(std::move(conflicts));
        }
    });
    platform::SimulatedFileSystem preview(fs);
    RunConflictPass(preview, fsRoot, ConflictPass::kScan,
                    [&](const RenameReport& rename) { status->scanRenames.push_back(rename); });
}

std::string FileState(const ConflictFileStatus& file) {
    return file.bgl && file.xxx ? "both" : file.bgl ? ".bgl" : ".xxx";
}

const char* Source(const Status& status, size_t option) {
    return status.settings.fromFile[option] ? "file" : "default";
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

Status GatherStatus(platform::FileSystem& fs, const InstallLayout& layout) {
    Status status;
    status.package = layout.exeDir;
    status.iniPath = layout.iniPath;
    status.settings = LoadLayerSettings(fs, layout.iniPath);
    status.actions = LayerStatus(fs, layout, status.settings.values);
    LibraryStatus(fs, layout.fsRoot, &status);
    return status;
}

void PrintStatus(const Status& status, std::ostream& out) {
    char line[512];
    out << "Package " << status.package << "\n\nSettings (" << status.iniPath << ")\n";
    size_t index = 0;
    for (const LayerOption& option : LayerOptions()) {
        std::snprintf(line, sizeof line, "  %-6s %-12s %4d  %s\n", option.section, option.key,
                      status.settings.values.*option.field, Source(status, index++));
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
    out << "\nScenery library (" << status.library.path << ")\n";
    if (status.library.state == LibraryState::kMissing) {
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
        << "\n";
    const auto renamed = std::count_if(status.scanRenames.begin(), status.scanRenames.end(),
                                       [](const RenameReport& r) { return r.renamed; });
    if (renamed > 0) {
        out << "A scan would rename conflicting files.\n";
    }
    for (const RenameReport& rename : status.scanRenames) {
        if (!rename.renamed) {
            out << "A scan could not rename " << rename.from << ": " << rename.reason << "\n";
        }
    }
    if (status.scanRenames.empty()) {
        out << "No active area holds a conflicting .bgl file.\n";
    }
}

nlohmann::json StatusJson(const Status& status) {
    nlohmann::json settings = nlohmann::json::array();
    size_t index = 0;
    for (const LayerOption& option : LayerOptions()) {
        settings.push_back({{"section", option.section},
                            {"key", option.key},
                            {"value", status.settings.values.*option.field},
                            {"source", Source(status, index++)}});
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
    nlohmann::json renames = nlohmann::json::array();
    for (const RenameReport& rename : status.scanRenames) {
        renames.push_back(RenameJson(rename));
    }
    return {{"package", status.package},
            {"settingsFile", status.iniPath},
            {"settings", settings},
            {"layers", actions},
            {"library",
             {{"path", status.library.path},
              {"found", status.library.state != LibraryState::kMissing},
              {"readable", status.library.state == LibraryState::kRead},
              {"areas", status.areas},
              {"activeAreas", status.activeAreas},
              {"conflicts", conflicts}}},
            {"applyWouldChange", status.ApplyWouldChange()},
            {"scanWouldChange", status.ScanWouldChange()},
            {"scanRenames", renames}};
}
