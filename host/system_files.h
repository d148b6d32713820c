#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"

// The system's files as the program reaches them on each host.
namespace host {

// On Windows the system's own. On posix a Windows-form path reaches the host
// as under Wine: drive Z: is the host's root, a rooted path without a drive
// stays on Z:, names are matched whatever their case, Windows text is in
// Windows-1252 and host names in UTF-8, nothing else is reached (a network
// path or another drive is not found), and what Windows refuses is
// refused.
std::unique_ptr<platform::FileSystem> SystemFileSystem();

// The same, with drive letters resolved through a Wine prefix's dosdevices
// links (prefix/dosdevices/c: and so on) and the prefix's ANSI code page,
// as Wine resolves them. Null, with *error, when the folder is not a Wine
// prefix, and always on Windows.
std::unique_ptr<platform::FileSystem> WinePrefixFileSystem(const std::string& hostPrefix,
                                                           std::string* error);

// The Wine prefix whose drive_c holds the host path, or empty: such an
// install is reached through that prefix. Always empty on Windows.
std::string WinePrefixHolding(const std::string& hostPath);

// The host folder made absolute, with its links, "." and ".." resolved as
// the host resolves them; as given where it is not there, and always on
// Windows, where the system reads names itself.
std::string ResolvedHostFolder(const std::string& hostPath);

}  // namespace host
