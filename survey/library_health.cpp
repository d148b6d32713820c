#include "survey/library_health.h"

#include <algorithm>

bool LibraryHealth::BeyondLimit(PriorityArea area) const {
    const PackageAreaState& state = Package(area);
    return state.active && !state.required && state.place > kActiveAreaLimit;
}

bool LibraryHealth::PackageAreasWell() const {
    return higher.active && lower.active && PackageInOrder() &&
           !BeyondLimit(PriorityArea::Higher) && !BeyondLimit(PriorityArea::Lower);
}

bool LibraryHealth::NeedsAction() const {
    return !missingFolders.empty() || !duplicates.empty() || TooManyActive() || !PackageAreasWell();
}

LibraryHealthCheck::LibraryHealthCheck(platform::FileSystem& fs, const InstallLayout& layout) {
    for (PriorityArea area : {PriorityArea::Higher, PriorityArea::Lower}) {
        const int index = area == PriorityArea::Higher ? 0 : 1;
        packageKeys_[index] =
            fs.FolderKey(ConflictFolderOf(layout.AreaFolder(area), fs.AnsiCodePage()));
    }
}

void LibraryHealthCheck::Add(const SceneryArea& area, const AreaContents& contents) {
    if (area.skipped) {
        return;
    }
    const int order = seen_++;
    if (area.number >= 0) {
        for (int header = 0; header < area.headers; ++header) {
            numbers_.push_back({area.number, area.section});
        }
    }
    NotePackageArea(area, contents, order, PriorityArea::Higher);
    NotePackageArea(area, contents, order, PriorityArea::Lower);
    if (!area.active) {
        return;
    }
    activeLayers_.push_back(area.layer);
    activeOrders_.push_back(order);
    if (contents.looked && !contents.sceneryThere) {
        health_.missingFolders.push_back(
            {area.section, area.title, area.folder, !contents.folderThere});
    }
}

// An area whose folder is the package area's: the scenery folders' keys
// tell, whatever the spelling (case, a trailing dot, a link). A later
// active listing takes the place of an inactive one.
void LibraryHealthCheck::NotePackageArea(const SceneryArea& area, const AreaContents& contents,
                                         int order, PriorityArea which) {
    const int index = which == PriorityArea::Higher ? 0 : 1;
    PackageAreaState& state = which == PriorityArea::Higher ? health_.higher : health_.lower;
    if ((state.listed && (state.active || !area.active)) || contents.sceneryKey.empty() ||
        contents.sceneryKey != packageKeys_[index]) {
        return;
    }
    state.listed = true;
    state.active = area.active;
    state.required = area.required;
    state.section = area.section;
    state.title = area.title;
    state.layer = area.layer;
    packageOrders_[index] = order;
}

// 1 and the number of active areas above it: of a higher layer, or of the
// same layer and earlier in the file.
int LibraryHealthCheck::PlaceOf(const PackageAreaState& state, int order) const {
    if (!state.active) {
        return 0;
    }
    int place = 1;
    for (size_t i = 0; i < activeLayers_.size(); ++i) {
        const bool above = activeLayers_[i] > state.layer ||
                           (activeLayers_[i] == state.layer && activeOrders_[i] < order);
        place += above ? 1 : 0;
    }
    return place;
}

LibraryHealth LibraryHealthCheck::Result() const {
    LibraryHealth health = health_;
    health.activeAreas = static_cast<int>(activeLayers_.size());
    health.higher.place = PlaceOf(health.higher, packageOrders_[0]);
    health.lower.place = PlaceOf(health.lower, packageOrders_[1]);
    std::vector<Numbered> numbers = numbers_;
    std::stable_sort(numbers.begin(), numbers.end(),
                     [](const Numbered& a, const Numbered& b) { return a.number < b.number; });
    for (size_t i = 0; i < numbers.size();) {
        size_t end = i + 1;
        while (end < numbers.size() && numbers[end].number == numbers[i].number) {
            ++end;
        }
        if (end - i > 1) {
            DuplicateAreaNumber duplicate{numbers[i].number, {}};
            for (size_t j = i; j < end; ++j) {
                duplicate.sections.push_back(numbers[j].section);
            }
            health.duplicates.push_back(std::move(duplicate));
        }
        i = end;
    }
    return health;
}
