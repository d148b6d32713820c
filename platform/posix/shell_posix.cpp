// Stands in for the Windows shell's file operation on posix hosts. It
// serves the one request the program makes, a one-file copy, as the program
// relies on the shell: the copy replaces an existing destination silently,
// creates missing destination folders (Wine's shell does too), is complete
// before the call returns, and a failure leaves the destination as it was.
// Any other request is refused.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/posix/fd.h"
#include "platform/posix/host_path.h"
#include "platform/shell.h"

namespace platform {

namespace {

// Error codes in the shell's own numbering.
constexpr int kErrorFileNotFound = 2;  // the source is not there
constexpr int kErrorUnknown = 0x402;   // any other failure, or a request not served

// The paths of a double-NUL-terminated list, as written.
std::vector<std::string> SplitPathBuffer(const char* buffer) {
    std::vector<std::string> paths;
    while (buffer != nullptr && *buffer != '\0') {
        paths.emplace_back(buffer);
        buffer += paths.back().size() + 1;
    }
    return paths;
}

bool IsDirectory(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Creates the folder and every missing folder above it.
bool MakeFolders(const std::string& folder) {
    if (folder.empty() || IsDirectory(folder)) {
        return true;
    }
    const size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash))) {
        return false;
    }
    return mkdir(folder.c_str(), 0755) == 0 || (errno == EEXIST && IsDirectory(folder));
}

// Copies in the kernel where it can, else through a buffer.
bool CopyBytes(int from, int to, off_t size) {
    off_t left = size;
    while (left > 0) {
        ssize_t copied = copy_file_range(from, nullptr, to, nullptr, static_cast<size_t>(left), 0);
        if (copied < 0 && errno == EINTR) {
            continue;
        }
        if (copied <= 0) {
            break;
        }
        left -= copied;
    }
    if (left == 0) {
        return true;
    }
    std::vector<char> buffer(1 << 20);
    for (;;) {
        ssize_t got = read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0;
        }
        if (!WriteAll(to, buffer.data(), static_cast<size_t>(got))) {
            return false;
        }
    }
}

int CopyOneFile(const std::string& source, const std::string& target) {
    UniqueFd from(source.empty() ? -1 : open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status;
    if (!from.Valid() || fstat(from.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return kErrorFileNotFound;
    }
    const size_t slash = target.find_last_of('/');
    if (target.empty() || (slash != std::string::npos && !MakeFolders(target.substr(0, slash)))) {
        return kErrorUnknown;
    }
    os::Replacement copied = ReplaceThroughSibling(target, status.st_mode & 07777, [&](int to) {
        return lseek(from.Get(), 0, SEEK_SET) == 0 && CopyBytes(from.Get(), to, status.st_size);
    });
    return copied == os::Replacement::kDone ? 0 : kErrorUnknown;
}

}  // namespace

int ShellFileOperation(ShellFileOpRequest& request) {
    const std::vector<std::string> sources = SplitPathBuffer(request.pFrom);
    const std::vector<std::string> destinations = SplitPathBuffer(request.pTo);
    if (request.wFunc != kFoCopy || sources.size() != 1 || destinations.size() != 1 ||
        (request.fFlags & kFofMultiDestFiles) != 0) {
        return kErrorUnknown;
    }
    return CopyOneFile(HostPathFromWindows(sources[0]), HostPathFromWindows(destinations[0]));
}

}  // namespace platform
