#pragma once

#include <filesystem>
#include <string>

namespace sample {

// A scenery.cfg in the simulator's own style with a [General] section and
// `areas` sections [Area.NNN] (Title, Texture_ID, Local, Layer, Active,
// Required), CR LF line ends. Area n has the folder "Addon Scenery\Area n"
// (relative to the simulator root); every tenth area is inactive.
std::string SceneryCfgText(int areas);

// Lays out a simulator root with that scenery.cfg and every area's folder
// ("scenery" and "texture" inside, the scenery folder holding `otherFiles`
// small .bgl files of the area's own); every `conflictEvery`-th area also
// holds the three conflicting files. False with *error on failure.
bool MakeSceneryLibrary(const std::filesystem::path& root, int areas, int conflictEvery,
                        std::string* error, int otherFiles = 0);

// The host folder of area n in such a library.
std::filesystem::path LibraryAreaFolder(const std::filesystem::path& root, int n);

}  // namespace sample
