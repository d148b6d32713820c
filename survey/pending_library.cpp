#include "survey/pending_library.h"

#include <unordered_map>

#include "preview/simulated_file_system.h"

namespace {

struct Listed {
    std::string title;
    std::string folder;
    bool active;
};

// The areas of one file by folder, whatever its spelling, each folder as
// the first area of it says.
std::unordered_map<std::string, Listed> AreasByFolder(platform::FileSystem& fs,
                                                      const std::string& fsRoot, LibraryFile file,
                                                      std::vector<std::string>* order) {
    std::unordered_map<std::string, Listed> areas;
    ForEachSceneryArea(
        fs, fsRoot,
        [&](const SceneryArea& area) {
            if (area.skipped || area.folder.empty()) {
                return;
            }
            const std::string key = fs.FolderKey(area.folder);
            if (areas.emplace(key, Listed{area.title, area.folder, area.active}).second) {
                order->push_back(key);
            }
        },
        file);
    return areas;
}

AreaListing ListingOf(const std::unordered_map<std::string, Listed>& areas,
                      const std::string& key) {
    const auto found = areas.find(key);
    return found == areas.end()   ? AreaListing::kNotListed
           : found->second.active ? AreaListing::kActive
                                  : AreaListing::kInactive;
}

}  // namespace

PendingLibrary ReadPendingLibrary(platform::FileSystem& fs, const std::string& fsRoot) {
    PendingLibrary pending;
    const platform::Entry entry = fs.Stat(LibraryPath(fsRoot, LibraryFile::kPending));
    if (entry.kind == platform::EntryKind::kNone) {
        return pending;
    }
    pending.waiting = true;
    if (entry.kind == platform::EntryKind::kFile) {
        pending.modified = entry.modified;
    }
    std::vector<std::string> nowOrder;
    std::vector<std::string> nextOrder;
    const auto now = AreasByFolder(fs, fsRoot, LibraryFile::kCurrent, &nowOrder);
    const auto next = AreasByFolder(fs, fsRoot, LibraryFile::kPending, &nextOrder);
    for (const std::string& key : nextOrder) {
        const Listed& area = next.at(key);
        const AreaListing before = ListingOf(now, key);
        const AreaListing after = area.active ? AreaListing::kActive : AreaListing::kInactive;
        if ((before == AreaListing::kActive) != (after == AreaListing::kActive)) {
            pending.changes.push_back({area.title, area.folder, before, after});
        }
    }
    for (const std::string& key : nowOrder) {
        const Listed& area = now.at(key);
        if (area.active && ListingOf(next, key) == AreaListing::kNotListed) {
            pending.changes.push_back(
                {area.title, area.folder, AreaListing::kActive, AreaListing::kNotListed});
        }
    }
    preview::SimulatedFileSystem preview(fs);
    pending.read = RunConflictPass(
        preview, fsRoot, ConflictPass::kScan,
        [&](const RenameReport& rename) { pending.leftActive.push_back(rename); },
        LibraryFile::kPending);
    return pending;
}
