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

ReadResult ReadFileInPieces(const std::string& path, const PieceReader& read) {
    std::string host = ResolveHostPath(path);
    UniqueFd file(host.empty() ? -1 : open(host.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status;
    if (!file.Valid() || fstat(file.Get(), &status) != 0 || S_ISDIR(status.st_mode)) {
        return ReadResult::kCannotOpen;
    }
    char piece[kReadPieceSize];
    for (;;) {
        ssize_t got = ::read(file.Get(), piece, sizeof piece);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0 ? ReadResult::kComplete : ReadResult::kPartial;
        }
        if (!read(std::string_view(piece, static_cast<size_t>(got)))) {
            return ReadResult::kPartial;
        }
    }
}

namespace {

enum class Replacement { kDone, kNoSibling, kNotWritten, kNotMoved };

// The first choice of ReplaceWholeFile: the bytes go to the temporary
// sibling, reach the disk, then take the file's place in one rename.
Replacement ReplaceThroughSibling(const std::string& host, std::string_view bytes, mode_t mode) {
    const std::string sibling = TemporarySiblingOf(host);
    // A leftover sibling is reused; a link planted under its name is not
    // followed.
    UniqueFd file(
        open(sibling.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, mode));
    if (!file.Valid()) {
        return Replacement::kNoSibling;
    }
    bool ok = fchmod(file.Get(), mode) == 0 && WriteAll(file.Get(), bytes.data(), bytes.size()) &&
              fsync(file.Get()) == 0;
    ok = file.Close() && ok;
    if (!ok) {
        unlink(sibling.c_str());
        return Replacement::kNotWritten;
    }
    if (rename(sibling.c_str(), host.c_str()) != 0) {
        unlink(sibling.c_str());
        return Replacement::kNotMoved;
    }
    return Replacement::kDone;
}

}  // namespace

bool ReplaceWholeFile(const std::string& path, std::string_view bytes) {
    std::string host = ResolveHostPath(path);
    if (host.empty()) {
        return false;
    }
    struct stat old;
    bool exists = stat(host.c_str(), &old) == 0;
    // Read-only as Windows and Wine see it: no write permission bit at all
    // (access() alone cannot tell: to root every file is writable). A file
    // this user may not write is not replaced either, though the folder
    // would let a rename do it.
    if (exists &&
        ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(host.c_str(), W_OK) != 0)) {
        return false;
    }
    switch (ReplaceThroughSibling(host, bytes, exists ? (old.st_mode & 07777) : 0644)) {
        case Replacement::kDone:
            return true;
        case Replacement::kNotWritten:
            return false;  // the disk refused the bytes; the old file stays whole
        case Replacement::kNoSibling:
        case Replacement::kNotMoved:
            break;
    }
    return WriteWholeFile(path, bytes);
}

}  // namespace platform
