#include "platform/posix/shell_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/posix/fd.h"

namespace platform {

namespace {

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
bool CopyBytes(int from, int to, off_t size, std::string* reason) {
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
            *reason = std::strerror(errno);
            return got == 0;
        }
        if (!WriteAll(to, buffer.data(), static_cast<size_t>(got), reason)) {
            return false;
        }
    }
}

}  // namespace

bool CopyOneFile(const std::string& hostSource, const std::string& hostTarget,
                 std::string* reason) {
    UniqueFd from(open(hostSource.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status;
    if (!from.Valid() || fstat(from.Get(), &status) != 0) {
        *reason = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        *reason = std::strerror(S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
        return false;
    }
    const size_t slash = hostTarget.find_last_of('/');
    if (slash != std::string::npos && !MakeFolders(hostTarget.substr(0, slash))) {
        *reason = std::strerror(errno);
        return false;
    }
    // A layer copy is not flushed to disk: it can always be made again from
    // its master, and the Windows shell does not flush either. As the
    // shell's copy under Wine, a new file takes its master's permissions; a
    // file that was there, read-only or not, may be written afterwards.
    struct stat target;
    const bool replaces = stat(hostTarget.c_str(), &target) == 0 && S_ISREG(target.st_mode);
    const mode_t mode = (status.st_mode & 07777) | (replaces ? S_IWUSR : 0);
    FdSibling copy(mode, false, [&](int to, std::string* why) {
        return CopyBytes(from.Get(), to, status.st_size, why);
    });
    return ReplaceThroughSibling(copy, hostTarget, reason, nullptr);
}

}  // namespace platform
