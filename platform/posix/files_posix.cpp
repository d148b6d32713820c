#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/files.h"
#include "platform/files_os.h"
#include "platform/posix/fd.h"
#include "platform/posix/host_path.h"

namespace platform {

int FileExists(const std::string& path) {
    std::string host = HostPathFromWindows(path);
    struct stat status;
    return !host.empty() && lstat(host.c_str(), &status) == 0 ? 1 : 0;
}

bool RenameFile(const std::string& from, const std::string& to, std::string* reason) {
    std::string hostFrom = HostPathFromWindows(from);
    std::string hostTo = HostPathFromWindows(to);
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
    std::string host = HostPathFromWindows(path);
    return !host.empty() && unlink(host.c_str()) == 0;
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
    std::string host = HostPathFromWindows(path);
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
    std::string host = HostPathFromWindows(path);
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

std::string ExecutablePath() {
    std::vector<char> buffer(256);
    for (;;) {
        ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return std::string();
        }
        if (static_cast<size_t>(length) < buffer.size()) {
            return WindowsPathFromHost(std::string(buffer.data(), static_cast<size_t>(length)));
        }
        buffer.resize(buffer.size() * 2);
    }
}

namespace os {

bool IsReadOnly(const std::string& path) {
    std::string host = HostPathFromWindows(path);
    struct stat status;
    // Read-only as Windows and Wine see it: no write permission bit at all
    // (access() alone cannot tell: to root every file is writable). A file
    // this user may not write counts too, though the folder would let a
    // rename replace it.
    return !host.empty() && stat(host.c_str(), &status) == 0 &&
           ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
            access(host.c_str(), W_OK) != 0);
}

Replacement ReplaceThroughSibling(const std::string& path, std::string_view bytes) {
    std::string host = HostPathFromWindows(path);
    if (host.empty()) {
        return Replacement::kNoSibling;
    }
    struct stat old;
    const mode_t mode = stat(host.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    return platform::ReplaceThroughSibling(
        host, mode, [&](int fd) { return WriteAll(fd, bytes.data(), bytes.size()); });
}

}  // namespace os

}  // namespace platform
