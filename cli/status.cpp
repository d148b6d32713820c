#include "cli/status.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <utility>

#include "cli/cli_text.h"
#include "layers/layer_options.h"
#include "layers/layer_plan.h"
#include "layers/leftovers.h"
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
        if (!area.note.empty()) {
            status->notes.push_back({area.section, area.title, area.note});
        }
        if (area.skipped) {
            return;
        }
        ++status->areas;
        status->activeAreas += area.active ? 1 : 0;
        if (!area.folder.empty()) {
            status->areaFolders.push_back(area.folder);
        }
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

void PrintVirtualStore(const VirtualStoreReport& report, platform::FileSystem& fs,
                       std::ostream& out) {
    if (report.folder.empty()) {
        out << "\nVirtualStore: none here (Windows keeps per-user copies from Vista on).\n";
        return;
    }
    out << "\nVirtualStore (" << fs.ShownPath(report.folder) << ")\n";
    if (report.copies.empty()) {
        out << "  no copy of a file this program reads or writes\n";
    }
    for (const VirtualStoreCopy& copy : report.copies) {
        out << "  " << fs.ShownPath(copy.copy) << "\n    the real file: "
            << (!copy.realExists ? "not there"
                : copy.differs   ? "there, different"
                                 : "there, the same")
            << "\n    " << copy.meaning << "\n";
    }
    if (report.otherFiles > 0) {
        out << "  " << report.otherFiles << " other file" << (report.otherFiles == 1 ? "" : "s")
            << " there\n";
    }
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
    return !leftovers.empty() || std::any_of(last.begin(), last.end(), [](const auto& entry) {
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
    for (PriorityArea area : {PriorityArea::Higher, PriorityArea::Lower}) {
        if (SceneryIsItsCache(fs, layout, area)) {
            status.sceneryIsCache.push_back(area);
        }
    }
    status.leftovers = FindLeftovers(fs, layout);
    LibraryStatus(fs, layout.fsRoot, &status);
    status.virtualStore = FindVirtualStoreCopies(fs, layout, status.areaFolders);
    return status;
}

void PrintStatus(const Status& status, platform::FileSystem& fs, std::ostream& out) {
    char line[512];
    out << "Package " << fs.ShownPath(status.package) << "\n\nSettings ("
        << fs.ShownPath(status.iniPath) << ")\n";
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
    for (PriorityArea area : status.sceneryIsCache) {
        out << "  " << fs.ShownPath(PackageLayout(status.package, fs.AnsiCodePage()).Scenery(area))
            << " is its Cache folder (a link from one to the other): an apply copies and "
               "deletes nothing there; make it a folder of its own\n";
    }
    if (!status.leftovers.empty()) {
        out << "  Left behind by runs that were stopped while they wrote (an apply removes "
               "them):\n";
        for (const std::string& leftover : status.leftovers) {
            out << "    " << fs.ShownPath(leftover) << "\n";
        }
    }
    out << "\nScenery library (" << fs.ShownPath(status.library.path) << ")\n";
    if (status.library.state == LibraryState::kMissing) {
        out << "  not found\n";
    } else {
        out << "  " << status.areas << " areas, " << status.activeAreas << " active\n";
        for (const ConflictAreaStatus& area : status.conflicts) {
            out << "  " << fs.Utf8Of(area.title) << (area.active ? "" : " (inactive)") << "\n    "
                << fs.ShownPath(area.folder) << "\n";
            for (const ConflictFileStatus& file : area.files) {
                out << "      " << file.name << ": " << FileState(file) << "\n";
            }
        }
    }
    if (!status.notes.empty()) {
        out << "  Spelling that the simulator and this program read otherwise than meant:\n";
        for (const SpellingNoteStatus& note : status.notes) {
            out << "    [" << fs.Utf8Of(note.section) << "] " << fs.Utf8Of(note.title) << ": "
                << fs.Utf8Of(note.note) << "\n";
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
            out << "A scan could not rename " << fs.ShownPath(rename.from) << ": "
                << fs.Utf8Of(rename.reason) << "\n";
        }
    }
    if (status.scanRenames.empty()) {
        out << "No active area holds a conflicting .bgl file.\n";
    }
    PrintVirtualStore(status.virtualStore, fs, out);
}

nlohmann::json StatusJson(const Status& status, platform::FileSystem& fs) {
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
    nlohmann::json sameFolders = nlohmann::json::array();
    for (PriorityArea area : status.sceneryIsCache) {
        sameFolders.push_back(AreaName(area));
    }
    nlohmann::json leftovers = nlohmann::json::array();
    for (const std::string& leftover : status.leftovers) {
        leftovers.push_back(fs.Utf8Of(leftover));
    }
    nlohmann::json conflicts = nlohmann::json::array();
    for (const ConflictAreaStatus& area : status.conflicts) {
        nlohmann::json files = nlohmann::json::array();
        for (const ConflictFileStatus& file : area.files) {
            files.push_back({{"name", file.name}, {"state", FileState(file)}});
        }
        conflicts.push_back({{"title", fs.Utf8Of(area.title)},
                             {"folder", fs.Utf8Of(area.folder)},
                             {"active", area.active},
                             {"files", files}});
    }
    nlohmann::json notes = nlohmann::json::array();
    for (const SpellingNoteStatus& note : status.notes) {
        notes.push_back({{"section", fs.Utf8Of(note.section)},
                         {"title", fs.Utf8Of(note.title)},
                         {"note", fs.Utf8Of(note.note)}});
    }
    nlohmann::json renames = nlohmann::json::array();
    for (const RenameReport& rename : status.scanRenames) {
        renames.push_back(RenameJson(fs, rename));
    }
    nlohmann::json copies = nlohmann::json::array();
    for (const VirtualStoreCopy& copy : status.virtualStore.copies) {
        copies.push_back({{"file", fs.Utf8Of(copy.file)},
                          {"copy", fs.Utf8Of(copy.copy)},
                          {"realExists", copy.realExists},
                          {"differs", copy.differs},
                          {"meaning", copy.meaning}});
    }
    return {{"package", fs.Utf8Of(status.package)},
            {"settingsFile", fs.Utf8Of(status.iniPath)},
            {"settings", settings},
            {"layers", actions},
            {"sceneryIsCache", sameFolders},
            {"leftovers", leftovers},
            {"library",
             {{"path", fs.Utf8Of(status.library.path)},
              {"found", status.library.state != LibraryState::kMissing},
              {"readable", status.library.state == LibraryState::kRead},
              {"areas", status.areas},
              {"activeAreas", status.activeAreas},
              {"conflicts", conflicts},
              {"notes", notes}}},
            {"applyWouldChange", status.ApplyWouldChange()},
            {"scanWouldChange", status.ScanWouldChange()},
            {"scanRenames", renames},
            {"virtualStore",
             {{"folder", fs.Utf8Of(status.virtualStore.folder)},
              {"copies", copies},
              {"otherFiles", status.virtualStore.otherFiles}}}};
}
