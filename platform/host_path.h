#pragma once

#include <string>

// The core only ever sees Windows-form paths. On posix a host path is
// presented on drive Z:, as Wine does (/tmp/a b/x is Z:\tmp\a b\x); on
// Windows both forms are the same text.
namespace platform {

// The Windows form of a host path.
std::string WindowsPathFromHost(const std::string& hostPath);

// The host path of a Windows-form path; empty when it cannot be reached:
// on posix a network path, another drive than Z:, or a NUL byte in it.
std::string HostPathFromWindows(const std::string& windowsPath);

}  // namespace platform
