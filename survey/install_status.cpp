#include "survey/install_status.h"

#include <algorithm>
#include <unordered_set>

#include "fileops/file_actions.h"
#include "layers/layer_plan.h"
#include "layers/leftovers.h"
#include "platform/path_names.h"
#include "preview/simulated_file_system.h"

namespace {

void GatherLayers(platform::FileSystem& fs, const InstallLayout& layout, InstallStatus* status) {
    const LayerSettings& settings = status->settings.values;
    for (const PlannedAction& action : PlannedActions(settings)) {
        const std::string copy = layout.Scenery(action.area) + action.name;
        const std::string master = layout.Cache(action.area) + action.name;
        const bool present = fs.Exists(copy) != 0;
        const bool stale =
            present && fs.Exists(master) != 0 && !platform::SameContent(fs, copy, master);
        status->actions.push_back({action.area, action.name, action.enable, present, stale});
    }
    for (const PlannedAction& final : FinalActions(settings)) {
        const LayerFileStatus& file = *std::find_if(
            status->actions.begin(), status->actions.end(), [&](const LayerFileStatus& action) {
                return action.area == final.area && action.name == final.name;
            });
        status->layersWouldChange = status->layersWouldChange || final.enable != file.present ||
                                    (final.enable && file.stale);
    }
    for (PriorityArea area : {PriorityArea::Higher, PriorityArea::Lower}) {
        if (SceneryIsItsCache(fs, layout, area)) {
            status->sceneryIsCache.push_back(area);
        }
    }
    status->leftovers = FindLeftovers(fs, layout);
}

// Notes one area of the library and what its folder holds.
void AddArea(platform::FileSystem& fs, const SceneryArea& area, const AreaContents& contents,
             std::unordered_set<std::string>* renamedFolders, InstallStatus* status) {
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
    if (contents.files.empty()) {
        return;
    }
    // One folder listed twice, however spelt, holds its .xxx files once.
    const bool renamed = std::any_of(contents.files.begin(), contents.files.end(),
                                     [](const ConflictFileState& file) { return file.xxx; });
    if (renamed && renamedFolders->insert(contents.sceneryKey).second) {
        for (const ConflictFileState& file : contents.files) {
            if (file.xxx) {
                status->renamedByPackage.push_back(
                    ConflictFilePath(area.folder, file.name, ".xxx", fs.AnsiCodePage()));
            }
        }
    }
    status->conflicts.push_back({area.title, area.folder, area.active, contents.files});
}

// The library, walked once: every area's folder is looked at on a
// simulation before anything is changed there, so that what it reads is
// the disk; then the scan's engine treats the same areas on that
// simulation, which knows their folders by then; then the change waiting in
// NewScenery.cfg.
void GatherLibrary(platform::FileSystem& fs, const InstallLayout& layout, InstallStatus* status) {
    preview::SimulatedFileSystem preview(fs);
    std::vector<SceneryArea> areas;
    status->library = ForEachSceneryArea(preview, layout.fsRoot,
                                         [&](const SceneryArea& area) { areas.push_back(area); });
    LibraryHealthCheck health(preview, layout);
    std::unordered_set<std::string> renamedFolders;
    for (const SceneryArea& area : areas) {
        const AreaContents contents =
            area.skipped || area.folder.empty() ? AreaContents() : LookInArea(preview, area.folder);
        health.Add(area, contents);
        AddArea(preview, area, contents, &renamedFolders, status);
    }
    for (const SceneryArea& area : areas) {
        TreatArea(preview, area, ConflictPass::kScan,
                  [&](const RenameReport& rename) { status->scanRenames.push_back(rename); });
    }
    status->health = health.Result();
    status->pending = ReadPendingLibrary(fs, layout.fsRoot);
}

}  // namespace

InstallStatus GatherInstallStatus(platform::FileSystem& fs, const InstallLayout& layout,
                                  const std::string& localAppData) {
    InstallStatus status;
    status.layout = layout;
    status.package = layout.exeDir;
    status.iniPath = layout.iniPath;
    status.settings = LoadLayerSettings(fs, layout.iniPath);
    GatherLayers(fs, layout, &status);
    GatherLibrary(fs, layout, &status);
    status.virtualStore = FindVirtualStoreCopies(fs, layout, status.areaFolders, localAppData);
    return status;
}
