#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
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
    bool waiting = false;  // something stands at NewScenery.cfg
    LibraryRead read;      // NewScenery.cfg
    // Its last write, seconds since 1970 (UTC); none for what is no
    // regular file.
    std::optional<std::int64_t> modified;
    std::vector<ActiveChange> changes;
    // The conflicting files that the simulator would load once it has
    // swapped the files: what a scan of NewScenery.cfg renames now.
    std::vector<RenameReport> leftActive;
};

// Reads both files and compares them, and scans NewScenery.cfg on a
// simulation of fs.
PendingLibrary ReadPendingLibrary(platform::FileSystem& fs, const std::string& fsRoot);
