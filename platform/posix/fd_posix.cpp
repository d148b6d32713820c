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
    return WriteAllAt(fd, data, size, -1);
}

bool WriteAllAt(int fd, const char* data, std::size_t size, off_t at) {
    while (size > 0) {
        ssize_t written = at < 0 ? write(fd, data, size) : pwrite(fd, data, size, at);
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
        at = at < 0 ? at : at + written;
    }
    return true;
}

namespace {

bool LockFirstByte(int fd, short type, int command) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 1;
    for (;;) {
        if (fcntl(fd, command, &lock) == 0) {
            return true;
        }
        if (errno != EINTR) {
            return false;
        }
    }
}

}  // namespace

bool LockForWriting(int fd) {
    return LockFirstByte(fd, F_WRLCK, F_OFD_SETLKW);
}

bool TryLockForReading(int fd) {
    return LockFirstByte(fd, F_RDLCK, F_OFD_SETLK);
}

namespace {

// Creates a new file of this process's at the sibling's name and locks it,
// so that another run's cleanup never takes it for a leftover. A cleanup
// may have removed the name between the two steps: then it is made again.
int OpenLockedSibling(const std::string& sibling) {
    for (int tries = 0; tries < 3; ++tries) {
        UniqueFd file(
            open(sibling.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (!file.Valid()) {
            return -1;
        }
        struct stat mine, named;
        if (LockForWriting(file.Get()) && fstat(file.Get(), &mine) == 0 &&
            lstat(sibling.c_str(), &named) == 0 && mine.st_dev == named.st_dev &&
            mine.st_ino == named.st_ino) {
            return file.Release();
        }
    }
    errno = EAGAIN;
    return -1;
}

}  // namespace

Replacement ReplaceThroughSibling(const std::string& hostPath, mode_t mode, bool flush,
                                  const std::function<bool(int fd)>& fill, int* error) {
    // Whatever stands at a name already (a leftover, a folder, a link) is
    // left alone: the next name is tried.
    std::string sibling;
    UniqueFd file(-1);
    for (int attempt = 0; attempt < kSiblingAttempts && !file.Valid(); ++attempt) {
        sibling = TemporarySiblingOf(hostPath, attempt);
        file.Reset(OpenLockedSibling(sibling));
        if (!file.Valid() && errno != EEXIST) {
            break;
        }
    }
    if (!file.Valid()) {
        *error = errno;
        return Replacement::kNoSibling;
    }
    bool ok =
        fill(file.Get()) && (!flush || fsync(file.Get()) == 0) && fchmod(file.Get(), mode) == 0;
    *error = errno;
    // The lock stays until the sibling has the file's name; the close is
    // checked on its own.
    UniqueFd lock(dup(file.Get()));
    ok = file.Close() && lock.Valid() && ok;
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
