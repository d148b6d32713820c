#pragma once

#include <string>

namespace platform {

// The host path of a Windows-form path, each component matched as Windows
// matches it: the exact name when it exists, else the one entry of the
// folder whose name differs only in ASCII case. Components that match
// nothing (a file about to be created) are kept as written. Z: and a
// rooted path without a drive are the host root. Empty when the path
// cannot be reached from this host: a network path, another drive, or a
// NUL byte in it.
std::string HostPathFromWindows(const std::string& windowsPath);

}  // namespace platform
