#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/simulated_file_system.h"
#include "scenerycfg/conflict_pass.h"
#include "scenerycfg/scenery_library.h"

// A library change the simulator has not made yet: NewScenery.cfg beside
// scenery.cfg. Until the simulator's next start, whatever reads scenery.cfg
// (the dialog program's start-up scan too) reads a library about to be
// replaced.

// An area as one library file lists it.
enum class AreaListing { kNotListed, kInactive, kActive };

// An area whose Active differs between the two files, found by its folder.
struct ActiveChange {
    std::string title;  // as the file that lists it active names it
    std::string folder;
    AreaListing now;   // in scenery.cfg
    AreaListing next;  // in NewScenery.cfg
};

struct PendingLibrary {
    bool waiting = false;       // NewScenery.cfg is there
    LibraryRead read;           // NewScenery.cfg
    std::int64_t modified = 0;  // its last write, seconds since 1970 (UTC)
    std::vector<ActiveChange> changes;
    // The conflicting files that stay loadable once the simulator has
    // swapped the files, after a scan of scenery.cfg: the renames a scan of
    // NewScenery.cfg would add.
    std::vector<RenameReport> leftActive;
};

// Reads both files and compares them, on files as a scan of scenery.cfg
// leaves them: the status's simulation, which the scan of NewScenery.cfg
// then changes too.
PendingLibrary ReadPendingLibrary(platform::SimulatedFileSystem& scanned,
                                  const std::string& fsRoot);
