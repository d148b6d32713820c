#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdio.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/case_path.h"
#include "platform/posix/fd.h"

namespace platform {

bool QueryFileStatus(const std::string& path) {
    std::string host = ResolveHostPath(path);
    struct stat status;
    return !host.empty() && lstat(host.c_str(), &status) == 0;
}

bool RenameFile(const std::string& from, const std::string& to, std::string* reason) {
    std::string hostFrom = ResolveHostPath(from);
    std::string hostTo = ResolveHostPath(to);
    if (hostFrom.empty() || hostTo.empty()) {
        *reason = "The path is not on this computer.";
        return false;
    }
    // Plain rename() would silently replace an existing target.
    if (renameat2(AT_FDCWD, hostFrom.c_str(), AT_FDCWD, hostTo.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno == EINVAL || errno == ENOSYS) {
        // No RENAME_NOREPLACE on this file system: a hard link refuses an
        // existing target too.
        if (link(hostFrom.c_str(), hostTo.c_str()) == 0) {
            if (unlink(hostFrom.c_str()) == 0) {
                return true;
            }
            int error = errno;
            unlink(hostTo.c_str());
            errno = error;
        }
    }
    *reason = std::strerror(errno);
    return false;
}

bool RemoveFile(const std::string& path) {
    std::string host = ResolveHostPath(path);
    return !host.empty() && unlink(host.c_str()) == 0;
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
    std::string host = ResolveHostPath(path);
    if (host.empty()) {
        return false;
    }
    UniqueFd file(open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!file.Valid()) {
        return false;
    }
    return WriteAll(file.Get(), bytes.data(), bytes.size()) && file.Close();
}

ReadResult ReadWholeFile(const std::string& path, std::string* bytes) {
    bytes->clear();
    std::string host = ResolveHostPath(path);
    UniqueFd file(host.empty() ? -1 : open(host.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status;
    if (!file.Valid() || fstat(file.Get(), &status) != 0 || S_ISDIR(status.st_mode)) {
        return ReadResult::kCannotOpen;
    }
    // One read for a regular file of known size; grow for anything else.
    size_t capacity = S_ISREG(status.st_mode) ? static_cast<size_t>(status.st_size) + 1 : 65536;
    size_t filled = 0;
    for (;;) {
        if (filled == capacity) {
            capacity *= 2;
        }
        bytes->resize(capacity);
        ssize_t got = read(file.Get(), bytes->data() + filled, capacity - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            bytes->resize(filled);
            return got == 0 ? ReadResult::kComplete : ReadResult::kPartial;
        }
        filled += static_cast<size_t>(got);
    }
}

bool ReplaceWholeFile(const std::string& path, std::string_view bytes) {
    std::string host = ResolveHostPath(path);
    if (host.empty()) {
        return false;
    }
    // A file we may not write is not replaced either.
    struct stat old;
    bool exists = stat(host.c_str(), &old) == 0;
    if (exists && access(host.c_str(), W_OK) != 0) {
        return false;
    }
    mode_t mode = exists ? (old.st_mode & 07777) : 0644;
    std::string temporary = host + ".XXXXXX";
    UniqueFd file(mkostemp(temporary.data(), O_CLOEXEC));
    if (!file.Valid()) {
        return false;
    }
    bool ok = WriteAll(file.Get(), bytes.data(), bytes.size()) && fchmod(file.Get(), mode) == 0 &&
              fsync(file.Get()) == 0;
    ok = file.Close() && ok;
    ok = ok && rename(temporary.c_str(), host.c_str()) == 0;
    if (!ok) {
        unlink(temporary.c_str());
    }
    return ok;
}

}  // namespace platform
