#pragma once

#include <string>

namespace platform {

// How Windows-form paths map to the host's paths, as Wine maps them. Drive
// Z: is the host's root and a rooted path without a drive stays on Z:; with
// a Wine prefix every drive letter resolves through prefix/dosdevices.
class HostPaths {
  public:
    // hostPrefix: a Wine prefix, or empty for drive Z: alone.
    explicit HostPaths(std::string hostPrefix = std::string()) : prefix_(std::move(hostPrefix)) {}

    // The host path of a Windows-form path, each component matched as Wine
    // matches it: the exact name when it exists, else the folder's entry
    // whose name differs only in ASCII case. Components that match nothing
    // (a file about to be created) are kept as written. Empty when the path
    // cannot be reached from this host: a network or device path, a drive
    // without a mapping, or a NUL byte in it.
    std::string ToHost(const std::string& windowsPath) const;

    // The Windows form of a host path: /tmp/a b/x is Z:\tmp\a b\x.
    std::string ToWindows(const std::string& hostPath) const;

  private:
    // The host path as written, without matching any case; empty when it
    // cannot be reached.
    std::string Written(const std::string& windowsPath) const;

    std::string prefix_;
};

}  // namespace platform
