#include "platform/posix/fd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/file_system.h"

namespace platform {

bool UniqueFd::Close() {
    if (fd_ < 0) {
        return true;
    }
    int result = close(fd_);
    fd_ = -1;
    return result == 0;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

Replacement ReplaceThroughSibling(const std::string& hostPath, mode_t mode, bool flush,
                                  const std::function<bool(int fd)>& fill, int* error) {
    const std::string sibling = TemporarySiblingOf(hostPath);
    // A sibling left behind by a crash, or planted as a link, goes first: a
    // new file is made, never an old one written into.
    unlink(sibling.c_str());
    UniqueFd file(
        open(sibling.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode));
    if (!file.Valid()) {
        *error = errno;
        return Replacement::kNoSibling;
    }
    bool ok =
        fchmod(file.Get(), mode) == 0 && fill(file.Get()) && (!flush || fsync(file.Get()) == 0);
    *error = errno;
    ok = file.Close() && ok;
    if (!ok) {
        unlink(sibling.c_str());
        return Replacement::kNotWritten;
    }
    if (std::rename(sibling.c_str(), hostPath.c_str()) != 0) {
        *error = errno;
        unlink(sibling.c_str());
        return Replacement::kNotMoved;
    }
    return Replacement::kDone;
}

}  // namespace platform
