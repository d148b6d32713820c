#include "layers/install_status.h"

#include <algorithm>
#include <unordered_set>

#include "fileops/file_actions.h"
#include "layers/layer_plan.h"
#include "layers/leftovers.h"
#include "platform/path_names.h"
#include "platform/simulated_file_system.h"

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

// The library, read once: a scan on a simulation reports every area with
// its conflicting files, and what it would rename; then the change waiting
// in NewScenery.cfg, weighed against what that scan leaves.
void GatherLibrary(platform::FileSystem& fs, const InstallLayout& layout, InstallStatus* status) {
    platform::SimulatedFileSystem preview(fs);
    LibraryHealthCheck health(fs, layout);
    // The .xxx names the simulated scan gave: an area listed again after it
    // meets them, but the disk holds the .bgl files still.
    std::unordered_set<std::string> simulated;
    std::unordered_set<std::string> listed;  // an area listed twice holds its files once
    ConflictPassListener listener;
    listener.lookEverywhere = true;
    listener.area = [&](const SceneryArea& area, const AreaContents& contents) {
        health.Add(area, contents);
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
        std::vector<ConflictFileState> files = contents.files;
        for (ConflictFileState& file : files) {
            std::string path = ConflictFilePath(area.folder, file.name, ".xxx", fs.AnsiCodePage());
            const std::string key = platform::AsciiLower(path);
            if (file.xxx && simulated.count(key) != 0) {
                file = {file.name, true, false};
            } else if (file.xxx && listed.insert(key).second) {
                status->renamedByPackage.push_back(std::move(path));
            }
        }
        status->conflicts.push_back({area.title, area.folder, area.active, std::move(files)});
    };
    listener.rename = [&](const RenameReport& rename) {
        status->scanRenames.push_back(rename);
        if (rename.renamed) {
            simulated.insert(platform::AsciiLower(rename.to));
        }
    };
    status->library = RunConflictPass(preview, layout.fsRoot, ConflictPass::kScan, listener);
    status->health = health.Result();
    status->pending = ReadPendingLibrary(preview, layout.fsRoot);
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
