#include "layers/leftovers.h"

#include <algorithm>
#include <set>

#include "layers/layer_plan.h"
#include "platform/path_names.h"

namespace {

// A folder of the package and the names of the files written there.
struct WrittenFolder {
    std::string folder;  // with its trailing backslash
    std::set<std::string> files;
};

std::vector<WrittenFolder> WrittenFolders(const InstallLayout& layout,
                                          const platform::CodePage& codePage) {
    std::vector<WrittenFolder> folders = {
        {layout.exeDir, {platform::LastNameOf(layout.iniPath, codePage)}},
        {layout.higherScenery, {}},
        {layout.lowerScenery, {}}};
    for (const PlannedAction& action : PlannedActions(LayerSettings{})) {
        folders[action.area == PriorityArea::Higher ? 1 : 2].files.insert(action.name);
    }
    return folders;
}

}  // namespace

std::vector<std::string> FindLeftovers(platform::FileSystem& fs, const InstallLayout& layout) {
    std::vector<std::string> leftovers;
    for (const WrittenFolder& written : WrittenFolders(layout, fs.AnsiCodePage())) {
        std::vector<std::string> names;
        if (!fs.ListFolder(platform::FolderOf(written.folder, fs.AnsiCodePage()), &names)) {
            continue;
        }
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            const bool ours = std::any_of(
                written.files.begin(), written.files.end(),
                [&](const std::string& file) { return platform::IsTemporaryOf(name, file); });
            // A run leaves files behind, never folders; one that another run
            // is writing is no leftover.
            if (ours && fs.Stat(written.folder + name).kind != platform::EntryKind::kFolder &&
                !fs.BeingWritten(written.folder + name)) {
                leftovers.push_back(written.folder + name);
            }
        }
    }
    return leftovers;
}

std::vector<LeftoverReport> RemoveLeftovers(platform::FileSystem& fs, const InstallLayout& layout) {
    std::vector<LeftoverReport> reports;
    for (const std::string& path : FindLeftovers(fs, layout)) {
        LeftoverReport report{path, false, {}};
        report.removed = fs.RemoveLeftover(path, &report.reason);
        if (report.removed || report.reason != platform::FailureText(platform::Failure::kInUse)) {
            reports.push_back(std::move(report));
        }
    }
    return reports;
}
