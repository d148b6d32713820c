#pragma once

#include <string>

namespace platform {

// The running executable's whole path in Windows form (no length limit);
// empty when the system cannot tell.
std::string ExecutablePath();

}  // namespace platform
