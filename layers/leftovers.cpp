#include "layers/leftovers.h"

#include <algorithm>
#include <set>

#include "layers/layer_plan.h"
#include "platform/path_names.h"
#include "preview/file_rules.h"

namespace {

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

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

bool IsTemporaryOf(const std::string& name, const std::string& fileName) {
    const std::string_view text(name);
    if (text.size() < fileName.size() + 4) {
        return false;
    }
    const size_t end = text.size() - 4;
    if (!platform::SameFileName(text.substr(end), ".tmp") ||
        !platform::SameFileName(text.substr(0, fileName.size()), fileName)) {
        return false;
    }
    // The name then ".tmp", or ".<process>.tmp", or ".<process>-<attempt>.tmp".
    std::string_view middle = text.substr(fileName.size(), end - fileName.size());
    if (middle.empty()) {
        return true;
    }
    if (middle.front() != '.') {
        return false;
    }
    middle.remove_prefix(1);
    const size_t dash = middle.find('-');
    return AllDigits(middle.substr(0, dash)) &&
           (dash == std::string_view::npos || AllDigits(middle.substr(dash + 1)));
}

std::vector<std::string> FindLeftovers(platform::FileSystem& fs, const InstallLayout& layout) {
    std::vector<std::string> leftovers;
    for (const WrittenFolder& written : WrittenFolders(layout, fs.AnsiCodePage())) {
        std::vector<std::string> names;
        if (!fs.ListFolder(platform::FolderOf(written.folder, fs.AnsiCodePage()), &names)) {
            continue;
        }
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            const bool ours =
                std::any_of(written.files.begin(), written.files.end(),
                            [&](const std::string& file) { return IsTemporaryOf(name, file); });
            // A run leaves files behind, never folders; one that another run
            // is writing is no leftover.
            if (ours && fs.Stat(written.folder + name).kind != platform::EntryKind::kFolder &&
                !preview::BeingWritten(fs, written.folder + name)) {
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
        report.removed = fs.Delete(path, platform::DeleteMode::kLeftover, &report.reason);
        // One that another run has started writing, or has given its name,
        // since it was listed is no failure.
        if (report.removed || !preview::BeingWritten(fs, path)) {
            reports.push_back(std::move(report));
        }
    }
    return reports;
}
