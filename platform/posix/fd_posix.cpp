#include "platform/posix/fd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/files.h"

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
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

os::Replacement ReplaceThroughSibling(const std::string& hostPath, mode_t mode,
                                      const std::function<bool(int fd)>& fill) {
    const std::string sibling = TemporarySiblingOf(hostPath);
    // A leftover sibling is reused; a link planted under its name is not
    // followed.
    UniqueFd file(
        open(sibling.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, mode));
    if (!file.Valid()) {
        return os::Replacement::kNoSibling;
    }
    bool ok = fchmod(file.Get(), mode) == 0 && fill(file.Get()) && fsync(file.Get()) == 0;
    ok = file.Close() && ok;
    if (!ok) {
        unlink(sibling.c_str());
        return os::Replacement::kNotWritten;
    }
    if (std::rename(sibling.c_str(), hostPath.c_str()) != 0) {
        unlink(sibling.c_str());
        return os::Replacement::kNotMoved;
    }
    return os::Replacement::kDone;
}

}  // namespace platform
