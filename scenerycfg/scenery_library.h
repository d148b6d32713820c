#pragma once

#include <functional>
#include <string>

#include "platform/file_system.h"

// The simulator's scenery library, fsRoot\scenery.cfg, as the program reads
// it: every section whose name holds Area. is a scenery area, its folder
// is Local (relative to the simulator root, or absolute) and it is active
// when Active is exactly "TRUE".

struct SceneryArea {
    std::string section;  // the section's name
    std::string title;    // the section's Title value
    std::string folder;   // Local resolved, no trailing backslash; empty: names no folder
    bool active = false;  // Active is exactly "TRUE"
    // A section the program reads no area from, though it looks like one
    // (AREA.005, area.005): only its note matters.
    bool skipped = false;
    // What its spelling makes the program read differently from what its
    // author may have meant (local=, ACTIVE=, Active=True); empty when
    // nothing does.
    std::string note;
};

enum class LibraryState {
    kRead,        // read, to its end or as far as it could be read
    kMissing,     // no scenery.cfg
    kUnreadable,  // there, but it could not be read
};

struct LibraryRead {
    LibraryState state = LibraryState::kMissing;
    std::string path;    // fsRoot\scenery.cfg
    std::string reason;  // why it could not be read
};

// The one walk of the library: visits each area section in file order, and
// each section skipped for its spelling alone.
LibraryRead ForEachSceneryArea(platform::FileSystem& fs, const std::string& fsRoot,
                               const std::function<void(const SceneryArea&)>& visit);
