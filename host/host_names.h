#pragma once

#include <memory>
#include <string>
#include <vector>

// What the front ends need of this host beside its files: how it names paths
// for people, how Windows text reads as UTF-8, where it keeps the user's
// local data, and which programs run. Nothing here touches a file the
// program works on.
namespace host {

class HostNames {
  public:
    virtual ~HostNames() = default;

    // The Windows form of a path as the host names it, made absolute
    // against the working folder; false when a name of it has no Windows
    // form. A path already in Windows form comes back as Windows reads it
    // (GetFullPathName): "/" as "\", "." and ".." elements resolved, doubled
    // separators and the dots and spaces ending names dropped.
    virtual bool WindowsPathOf(const std::string& hostPath, std::string* windowsPath) = 0;
    // A Windows-form path as the person at this host names it, in UTF-8:
    // the host's path on posix (/home/...), the Windows path on Windows.
    virtual std::string ShownPath(const std::string& windowsPath) = 0;

    // Windows text (the ANSI code page) as UTF-8, for people and JSON; a
    // byte that does not convert becomes U+FFFD.
    virtual std::string Utf8Of(const std::string& text) = 0;

    // The folder where Windows keeps this user's local application data
    // (%LOCALAPPDATA%, which holds the VirtualStore), in Windows form; empty
    // where Windows keeps no VirtualStore: Windows XP, or a host without a
    // Wine prefix.
    virtual std::string LocalAppData() = 0;

    // The ids of the processes running the program imageName that could
    // hold this host's files open: on Windows any; on posix those of this
    // Wine prefix (of any without one) and native ones (ProcessesNamed).
    virtual std::vector<unsigned long> ProcessesRunning(const std::string& imageName) = 0;
};

// The host's names: on posix drive Z: alone and Windows-1252; on Windows
// the system's.
std::unique_ptr<HostNames> SystemHostNames();

// The same through a Wine prefix (its drives and code page, its user's
// local folder). Null, with *error, when the folder is not a Wine prefix,
// and always on Windows.
std::unique_ptr<HostNames> WinePrefixHostNames(const std::string& hostPrefix, std::string* error);

}  // namespace host
