#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"

namespace platform {

// How the posix file system names the host's files: each Windows-form
// path's host path, and each host name in the ANSI code page.
class HostMapping {
  public:
    virtual ~HostMapping() = default;
    virtual int CodePageNumber() const = 0;
    // The host path of a Windows-form path; false when the host cannot
    // reach it.
    virtual bool ToHost(const std::string& windowsPath, std::string* hostPath) const = 0;
    // A host name in the code page; false when it does not convert.
    virtual bool AnsiName(const std::string& hostName, std::string* ansi) const = 0;
};

// The host's files through the posix calls, with the contract the program
// relies on under Windows where the calls themselves give it: a rename
// never replaces, names are found whatever their case (the mapping finds
// them), what is not a regular file is never opened (nothing blocks on a
// FIFO), nothing is written through a link, and a temporary sibling holds
// the writers' lock while it is written. What Windows refuses beyond that,
// a preview::RuledFileSystem over it refuses.
std::unique_ptr<FileSystem> PosixFiles(std::shared_ptr<const HostMapping> mapping);

}  // namespace platform
