#pragma once

#include <functional>
#include <string>

#include "platform/file_system.h"

// The simulator's scenery library, fsRoot\scenery.cfg, as the program reads
// it: every section whose name holds Area. is a scenery area, its folder
// is Local (relative to the simulator root, or absolute) and it is active
// when Active is exactly "TRUE".

// The library files of a simulator root. When the user changes the library
// in the simulator, it writes NewScenery.cfg, and at its next start makes
// that file scenery.cfg (keeping the old one as OldScenery.cfg).
enum class LibraryFile {
    kCurrent,  // scenery.cfg, what the simulator reads now
    kPending,  // NewScenery.cfg, what it will read from its next start
};

// fsRoot\scenery.cfg or fsRoot\NewScenery.cfg.
std::string LibraryPath(const std::string& fsRoot, LibraryFile file);

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
    // The number that ends the section's name ([Area.005]: 5); -1 when none.
    int number = -1;
    // Its place in the simulator's order: Layer, else its number. An area
    // of a higher layer covers those below it.
    int layer = -1;
    bool required = false;  // Required=TRUE: loaded whatever the limits
    int headers = 1;        // how often its header stands in the file
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
                               const std::function<void(const SceneryArea&)>& visit,
                               LibraryFile file = LibraryFile::kCurrent);
