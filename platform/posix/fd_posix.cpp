#include "platform/posix/fd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/file_system.h"

namespace platform {

bool WriteAll(int fd, const char* data, std::size_t size, std::string* reason) {
    return WriteAllAt(fd, data, size, -1, reason);
}

bool WriteAllAt(int fd, const char* data, std::size_t size, off_t at, std::string* reason) {
    while (size > 0) {
        ssize_t written = at < 0 ? write(fd, data, size) : pwrite(fd, data, size, at);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            // A write that takes nothing finds the disk full.
            *reason = std::strerror(written == 0 ? ENOSPC : errno);
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

bool FdSibling::Create(const std::string& name, bool* taken, std::string* reason) {
    file_.Reset(open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!file_.Valid()) {
        *taken = errno == EEXIST;
        *reason = std::strerror(errno);
        return false;
    }
    // Another run's cleanup may have taken the name between the creation and
    // the lock: then the name is no longer this file's, and counts as taken.
    struct stat mine, named;
    *taken = !(LockForWriting(file_.Get()) && fstat(file_.Get(), &mine) == 0 &&
               lstat(name.c_str(), &named) == 0 && mine.st_dev == named.st_dev &&
               mine.st_ino == named.st_ino);
    return !*taken;
}

bool FdSibling::Fill(std::string* reason) {
    if (!fill_(file_.Get(), reason)) {
        return false;
    }
    // The lock stays until the sibling has the file's name; the close is
    // checked on its own.
    lock_.Reset(dup(file_.Get()));
    if ((flush_ && fsync(file_.Get()) != 0) || fchmod(file_.Get(), mode_) != 0 || !lock_.Valid() ||
        !file_.Close()) {
        *reason = std::strerror(errno);
        return false;
    }
    return true;
}

bool FdSibling::MoveOver(const std::string& name, const std::string& path, std::string* reason) {
    const bool moved = std::rename(name.c_str(), path.c_str()) == 0;
    *reason = std::strerror(errno);
    lock_.Reset(-1);
    return moved;
}

void FdSibling::Discard(const std::string& name) {
    unlink(name.c_str());
    lock_.Reset(-1);
}

}  // namespace platform
