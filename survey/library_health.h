#pragma once

#include <string>
#include <vector>

#include "paths/install_layout.h"
#include "platform/file_system.h"
#include "scenerycfg/conflict_pass.h"
#include "scenerycfg/scenery_library.h"

// What the simulator will make of its library beyond the conflicting files:
// active areas it cannot load, area numbers given twice, more active areas
// than it loads for sure, and where the package's own two areas stand.

// The simulator loads at most this many active areas in their order; with
// more, only those marked Required=TRUE are sure to load.
inline constexpr int kActiveAreaLimit = 331;

// An active area whose folder, or the "scenery" folder in it, is not there.
struct MissingAreaFolder {
    std::string section;
    std::string title;
    std::string folder;
    bool folderMissing;  // the area's folder itself; else only its scenery folder
};

// An area number that more than one header gives.
struct DuplicateAreaNumber {
    int number;
    std::vector<std::string> sections;  // each header, as often as it stands
};

// Where one of the package's areas stands in the library: the first area
// whose folder is the package's, however spelt, or the first such that is
// active, which is the one the simulator loads.
struct PackageAreaState {
    bool listed = false;
    bool active = false;
    bool required = false;
    std::string section;
    std::string title;
    int layer = -1;
    // Its place among the active areas, the highest layer first (1), as the
    // simulator's library lists them; 0 when it is not active.
    int place = 0;
};

struct LibraryHealth {
    std::vector<MissingAreaFolder> missingFolders;
    std::vector<DuplicateAreaNumber> duplicates;
    int activeAreas = 0;
    PackageAreaState higher;
    PackageAreaState lower;

    const PackageAreaState& Package(PriorityArea area) const {
        return area == PriorityArea::Higher ? higher : lower;
    }
    bool TooManyActive() const { return activeAreas > kActiveAreaLimit; }
    // Listed, active, and not sure to load: beyond the limit and not
    // Required=TRUE.
    bool BeyondLimit(PriorityArea area) const;
    // With both listed: the higher one is above the lower one.
    bool PackageInOrder() const { return higher.layer > lower.layer; }
    bool PackageAreasWell() const;
    // Any of these needs the user to mend the library.
    bool NeedsAction() const;
};

// Weighs the areas of one walk of the library as they come.
class LibraryHealthCheck {
  public:
    LibraryHealthCheck(platform::FileSystem& fs, const InstallLayout& layout);

    void Add(const SceneryArea& area, const AreaContents& contents);
    LibraryHealth Result() const;

  private:
    void NotePackageArea(const SceneryArea& area, const AreaContents& contents, int order,
                         PriorityArea which);
    int PlaceOf(const PackageAreaState& state, int order) const;

    std::string packageKeys_[2];  // Higher, Lower: their scenery folders' FolderKey
    LibraryHealth health_;
    struct Numbered {
        int number;
        std::string section;
    };
    int seen_ = 0;                   // areas so far
    std::vector<Numbered> numbers_;  // one per header: twice for one that stands twice
    std::vector<int> activeLayers_;  // and the file order of each, for places
    std::vector<int> activeOrders_;
    int packageOrders_[2] = {-1, -1};  // Higher, Lower
};
