#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/posix_files.h"

namespace host {

// How Windows-form paths map to the host's paths, as Wine maps them. Drive
// Z: is the host's root and a rooted path without a drive stays on Z:;
// with a Wine prefix every drive letter resolves through prefix/dosdevices.
// Windows text is in the ANSI code page (the prefix's, else Windows-1252),
// the host's names in UTF-8; the C library's iconv converts between them.
class HostPaths : public platform::HostMapping {
  public:
    // Drive Z: alone, Windows-1252.
    HostPaths();

    // The prefix's drives and code page. False, with *error, when the
    // folder is not a Wine prefix or its code page cannot be converted.
    static bool ForPrefix(const std::string& hostPrefix, HostPaths* paths, std::string* error);

    // The host path of a Windows-form path, each component matched as Wine
    // matches it: the exact name when it exists, else the first entry of
    // the folder whose name differs only in case. Components that match
    // nothing (a file about to be created) are kept as written. False when
    // the path cannot be reached from this host: a network or device path,
    // a drive without a mapping, a NUL byte, or a name that does not
    // convert to the host's names.
    bool ToHost(const std::string& windowsPath, std::string* hostPath) const override;

    // The host path of a Windows-form path as written, no case matched:
    // how the program's paths are named to a person. False as for ToHost.
    bool Written(const std::string& windowsPath, std::string* hostPath) const;

    // The Windows form of a host path (made absolute first), on the drive
    // whose target is the longest prefix of it, as Wine presents it
    // (/tmp/a b/x is Z:\tmp\a b\x). False when a name does not convert to
    // the code page.
    bool ToWindows(const std::string& hostPath, std::string* windowsPath) const;

    // A Windows-form path as Windows reads it before it looks: drive and
    // root kept ("\\x" goes to drive Z:, as under Wine), "/" as "\\",
    // "." and ".." resolved, doubled separators and the dots and spaces
    // ending names dropped; device and network paths as given. False when
    // it does not convert.
    bool FullWindowsPath(const std::string& windowsPath, std::string* fullPath) const;

    // A host name in the code page; false when it does not convert.
    bool AnsiName(const std::string& hostName, std::string* ansi) const override;

    // Windows text as UTF-8, for people and JSON: a byte that does not
    // convert becomes U+FFFD.
    std::string Utf8Of(const std::string& ansi) const;

    int CodePageNumber() const override { return codePage_; }
    const std::string& Prefix() const { return prefix_; }

  private:
    class Converter;

    // The host folder a drive letter (lower case) maps to; empty for none.
    std::string DriveRoot(char letter) const;

    std::string prefix_;
    int codePage_ = 1252;
    std::vector<std::pair<char, std::string>> drives_;  // letter, host root
    std::shared_ptr<const Converter> toHost_;           // code page to UTF-8
    std::shared_ptr<const Converter> toAnsi_;           // UTF-8 to code page
};

// The host path made absolute (against the working folder, where there
// still is one) with its
// existing folders resolved (links, "." and ".."); the rest, and its last
// name, are kept as written.
std::string AbsoluteHostPath(const std::string& hostPath);

// A value of a Wine registry file (system.reg, user.reg): the text of
// "name" in the section key, unescaped; empty when it is not there.
std::string WineRegistryValue(const std::string& registryFile, const std::string& key,
                              const std::string& name);

}  // namespace host
