#pragma once

#include <string>

namespace sample {

// A scenery.cfg in the simulator's own style with a [General] section and
// `areas` sections [Area.NNN] (Title, Texture_ID, Local, Layer, Active,
// Required), CR LF line ends. Area n has the folder "Addon Scenery\Area n"
// (relative to the simulator root); every tenth area is inactive.
std::string SceneryCfgText(int areas);

}  // namespace sample
