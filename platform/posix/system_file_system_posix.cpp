// The posix calls behind the program's file operations (posix_files.h).
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/file_system.h"
#include "platform/path_names.h"
#include "platform/posix/fd.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/shell_copy.h"
#include "platform/whole_file.h"

namespace platform {

namespace {

bool SystemError(int error, std::string* reason) {
    *reason = std::strerror(error);
    return false;
}

class FdReader : public FileReader {
  public:
    // Made before the file is opened, so that no descriptor is left open
    // when memory runs out.
    FdReader() = default;
    void Take(int fd) { fd_.Reset(fd); }
    long long Read(char* buffer, size_t size) override {
        for (;;) {
            const ssize_t got = read(fd_.Get(), buffer, size);
            if (got >= 0 || errno != EINTR) {
                return got;
            }
        }
    }
    bool HeldByWriter() override { return !TryLockForReading(fd_.Get()); }

  private:
    UniqueFd fd_{-1};
};

// Opens a regular file for writing without following a link or blocking;
// its content stays until the caller cuts it. -1 with *reason otherwise.
int OpenRegularForWriting(const std::string& host, std::string* reason) {
    UniqueFd file(
        open(host.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644));
    struct stat status;
    if (!file.Valid() || fstat(file.Get(), &status) != 0) {
        return errno == ELOOP ? (Refuse(Failure::kLinked, reason), -1)
                              : (SystemError(errno, reason), -1);
    }
    if (!S_ISREG(status.st_mode)) {
        Refuse(S_ISDIR(status.st_mode) ? Failure::kIsFolder : Failure::kNotAFile, reason);
        return -1;
    }
    if (status.st_nlink > 1) {
        Refuse(Failure::kLinked, reason);
        return -1;
    }
    return file.Release();
}

// The in-place write's calls on a descriptor.
class FdWriter : public OpenFileWriter {
  public:
    explicit FdWriter(int fd) : fd_(fd) {}
    bool Size(std::uint64_t* size, std::string* reason) override {
        struct stat status;
        if (fstat(fd_, &status) != 0) {
            return SystemError(errno, reason);
        }
        *size = static_cast<std::uint64_t>(status.st_size);
        return true;
    }
    bool WriteAt(std::uint64_t at, std::string_view bytes, std::string* reason) override {
        return WriteAllAt(fd_, bytes.data(), bytes.size(), static_cast<off_t>(at), reason);
    }
    bool SetLength(std::uint64_t length, std::string* reason) override {
        return ftruncate(fd_, static_cast<off_t>(length)) == 0 || SystemError(errno, reason);
    }
    bool Flush(std::string* reason) override {
        return fsync(fd_) == 0 || SystemError(errno, reason);
    }

  private:
    int fd_;
};

// Writes the bytes into the file at host, in its own place, and flushes
// them to disk: a run stopped at any moment leaves the old content or the
// new.
bool WriteIntoFile(const std::string& host, std::string_view bytes, std::string* reason) {
    UniqueFd file(OpenRegularForWriting(host, reason));
    if (!file.Valid()) {
        return false;
    }
    FdWriter writer(file.Get());
    return WriteIntoOpenFile(writer, bytes, reason) && (file.Close() || SystemError(errno, reason));
}

class PosixFileSystem : public FileSystem {
  public:
    explicit PosixFileSystem(std::shared_ptr<const HostMapping> mapping)
        : FileSystem(CodePage(mapping->CodePageNumber())), mapping_(std::move(mapping)) {}

    Entry Stat(const std::string& path) override {
        std::string host;
        return mapping_->ToHost(path, &host) ? StatHost(host) : Entry();
    }

    std::unique_ptr<FileReader> OpenForReading(const std::string& path,
                                               std::string* reason) override {
        std::string host;
        if (!mapping_->ToHost(path, &host)) {
            Refuse(Failure::kNotFound, reason);
            return nullptr;
        }
        auto reader = std::make_unique<FdReader>();
        // Not blocking: a FIFO opens at once and is then refused.
        UniqueFd file(open(host.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        struct stat status;
        if (!file.Valid() || fstat(file.Get(), &status) != 0) {
            SystemError(errno, reason);
            return nullptr;
        }
        if (!S_ISREG(status.st_mode)) {
            Refuse(S_ISDIR(status.st_mode) ? Failure::kIsFolder : Failure::kNotAFile, reason);
            return nullptr;
        }
        reader->Take(file.Release());
        return reader;
    }

    bool Write(const std::string& path, std::string_view bytes, WriteMode mode,
               std::string* reason) override {
        std::string host;
        if (!mapping_->ToHost(path, &host)) {
            return Refuse(Failure::kNotFound, reason);
        }
        const Entry entry = StatHost(host);
        if (mode == WriteMode::kInPlace) {
            // Written into, a file's other names would change too: a new
            // file takes this name.
            if (entry.hardLinked && unlink(host.c_str()) != 0) {
                return SystemError(errno, reason);
            }
            return WriteIntoFile(host, bytes, reason);
        }
        if (entry.stickyProtected) {
            return WriteIntoFile(host, bytes, reason);  // no sibling may take its name
        }
        struct stat old;
        FdSibling sibling(stat(host.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644, true,
                          [&](int fd, std::string* why) {
                              return WriteAll(fd, bytes.data(), bytes.size(), why);
                          });
        return ReplaceThroughSibling(sibling, host, reason,
                                     [&] { return WriteIntoFile(host, bytes, reason); });
    }

    bool Rename(const std::string& from, const std::string& to, std::string* reason) override {
        std::string hostFrom, hostTo;
        if (!mapping_->ToHost(from, &hostFrom) || !mapping_->ToHost(to, &hostTo)) {
            return Refuse(Failure::kNotFound, reason);
        }
        // Plain rename() would silently replace an existing target.
        if (renameat2(AT_FDCWD, hostFrom.c_str(), AT_FDCWD, hostTo.c_str(), RENAME_NOREPLACE) ==
            0) {
            return true;
        }
        if (errno != EINVAL && errno != ENOSYS) {
            return SystemError(errno, reason);
        }
        // No RENAME_NOREPLACE on this file system: a hard link refuses an
        // existing target too.
        if (link(hostFrom.c_str(), hostTo.c_str()) != 0) {
            return SystemError(errno, reason);
        }
        if (unlink(hostFrom.c_str()) != 0) {
            SystemError(errno, reason);
            unlink(hostTo.c_str());
            return false;
        }
        return true;
    }

    bool Delete(const std::string& path, DeleteMode mode, std::string* reason) override {
        std::string host;
        if (!mapping_->ToHost(path, &host)) {
            return Refuse(Failure::kNotFound, reason);
        }
        // A run that is still writing a leftover holds the writers' lock,
        // and one that has finished has given it the file's name: either way
        // it is not a leftover. The lock is held here until the name, still
        // the file that was locked, is removed.
        UniqueFd file(-1);
        if (mode == DeleteMode::kLeftover) {
            file.Reset(open(host.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
            if ((!file.Valid() && errno == ENOENT) ||
                (file.Valid() && !StillTheStoppedFile(file.Get(), host))) {
                return Refuse(Failure::kInUse, reason);
            }
        }
        if (unlink(host.c_str()) == 0) {
            return true;
        }
        return mode == DeleteMode::kLeftover && errno == ENOENT ? Refuse(Failure::kInUse, reason)
                                                                : SystemError(errno, reason);
    }

    int ShellOperation(ShellFileOpRequest& request, std::string* reason) override {
        std::string source, destination, hostSource, hostDestination;
        if (!OneFileCopyOf(request, &source, &destination)) {
            return kShellErrorUnknown;
        }
        if (!mapping_->ToHost(source, &hostSource)) {
            return Refuse(Failure::kNotFound, reason), kShellErrorFileNotFound;
        }
        if (!mapping_->ToHost(destination, &hostDestination)) {
            return Refuse(Failure::kNotFound, reason), kShellErrorUnknown;
        }
        return CopyOneFile(hostSource, hostDestination, reason) ? 0 : kShellErrorUnknown;
    }

    // One listing costs less here than a name matched whatever its case,
    // which lists the folder anyway when the exact name is not there.
    bool ListFolder(const std::string& folder, std::vector<std::string>* names, std::string* key,
                    const std::vector<std::string>* only) override {
        std::vector<std::string> hostNames;
        std::string host;
        if (!mapping_->ToHost(folder, &host) || !ListHostFolder(host, &hostNames, key)) {
            return false;
        }
        // In the code page, as the program names them; a name that does not
        // convert is left out, never mangled into another.
        names->clear();
        for (const std::string& hostName : hostNames) {
            std::string name;
            if (mapping_->AnsiName(hostName, &name) &&
                (only == nullptr || AmongNames(name, *only))) {
                names->push_back(name);
            }
        }
        return true;
    }

    std::string FolderKey(const std::string& folder) override {
        std::string host;
        return mapping_->ToHost(folder, &host) ? FolderKeyOf(host)
                                               : "unreachable:" + AsciiLower(folder);
    }

  private:
    // True when no run holds the writers' lock on the open file (this one
    // holds it for reading from now on) and the name still is that file:
    // a run may have given it the file's name and started another at it.
    static bool StillTheStoppedFile(int fd, const std::string& host) {
        struct stat locked, named;
        return TryLockForReading(fd) && fstat(fd, &locked) == 0 &&
               lstat(host.c_str(), &named) == 0 && locked.st_dev == named.st_dev &&
               locked.st_ino == named.st_ino;
    }

    static std::string DeviceKey(const struct stat& status) {
        return std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
    }

    // The folder's identity on its device, whatever spelling, link or case
    // led there; one not there yet by its nearest folder and the names
    // below it.
    static std::string FolderKeyOf(std::string host) {
        std::string rest;
        for (;;) {
            struct stat status;
            if (stat(host.empty() ? "." : host.c_str(), &status) == 0) {
                return DeviceKey(status) + rest;
            }
            const size_t slash = host.find_last_of('/');
            if (slash == std::string::npos || slash == 0) {
                return "unresolved:" + AsciiLower(host) + rest;
            }
            rest = "/" + AsciiLower(host.substr(slash + 1)) + rest;
            host.resize(slash);
        }
    }

    static Entry StatHost(const std::string& host) {
        Entry entry;
        struct stat status;
        if (host.empty() || lstat(host.c_str(), &status) != 0) {
            entry.searchDenied = !host.empty() && errno == EACCES;
            return entry;
        }
        // A sticky folder asks who owns the name itself, a link's own owner.
        entry.stickyProtected = StickyProtected(host, status.st_uid);
        entry.symlink = S_ISLNK(status.st_mode);
        if (entry.symlink && stat(host.c_str(), &status) != 0) {
            entry.kind = EntryKind::kOther;  // a link to nothing
            return entry;
        }
        entry.kind = S_ISREG(status.st_mode)   ? EntryKind::kFile
                     : S_ISDIR(status.st_mode) ? EntryKind::kFolder
                                               : EntryKind::kOther;
        entry.acceptsChanges =
            entry.kind == EntryKind::kFolder && access(host.c_str(), W_OK | X_OK) == 0;
        if (entry.kind == EntryKind::kFile) {
            // Read-only as Windows and Wine see it: no write permission bit at
            // all (access() alone cannot tell: to root every file is
            // writable), or none for this user.
            entry.readOnly = (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
                             access(host.c_str(), W_OK) != 0;
            entry.hardLinked = status.st_nlink > 1;
            entry.size = static_cast<std::uint64_t>(status.st_size);
            entry.modified = static_cast<std::int64_t>(status.st_mtime);
        }
        return entry;
    }

    // True when the entry's folder is sticky and neither the entry (its
    // owner) nor the folder belongs to this user, who is not the superuser.
    static bool StickyProtected(const std::string& host, uid_t owner) {
        const uid_t user = geteuid();
        if (user == 0 || owner == user) {
            return false;
        }
        const size_t slash = host.find_last_of('/');
        const std::string folder = slash == std::string::npos ? "." : host.substr(0, slash);
        struct stat status;
        return stat(folder.empty() ? "/" : folder.c_str(), &status) == 0 &&
               (status.st_mode & S_ISVTX) != 0 && status.st_uid != user;
    }

    // Lists the folder with the system's own calls: its identity comes with
    // the one status the listing asks for anyway.
    static bool ListHostFolder(const std::string& host, std::vector<std::string>* names,
                               std::string* key) {
        UniqueFd folder(host.empty() ? -1 : open(host.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        struct stat status;
        if (!folder.Valid() || fstat(folder.Get(), &status) != 0) {
            return false;
        }
        if (key != nullptr) {
            *key = DeviceKey(status);
        }
        names->clear();
        alignas(8) char buffer[16 * 1024];
        for (;;) {
            const long got = syscall(SYS_getdents64, folder.Get(), buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                return got == 0;
            }
            for (long at = 0; at < got;) {
                const auto* entry = reinterpret_cast<const struct dirent64*>(buffer + at);
                if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
                    names->emplace_back(entry->d_name);
                }
                at += entry->d_reclen;
            }
        }
    }

    std::shared_ptr<const HostMapping> mapping_;
};

}  // namespace

std::string FailureText(Failure failure) {
    switch (failure) {
        case Failure::kNotFound:
            return std::strerror(ENOENT);
        case Failure::kExists:
            return std::strerror(EEXIST);
        case Failure::kIsFolder:
            return std::strerror(EISDIR);
        case Failure::kNotAFile:
            return "Not a regular file (a FIFO, a device or a socket)";
        case Failure::kReadOnly:
            return "The file is read-only";
        case Failure::kAccessDenied:
            return std::strerror(EACCES);
        case Failure::kLinked:
            return "A link stands at that name; nothing is written through it";
        case Failure::kNotPermitted:
            return std::strerror(EPERM);
        case Failure::kInUse:
            return "Another run of the program is writing it";
    }
    return std::string();
}

std::unique_ptr<FileSystem> PosixFiles(std::shared_ptr<const HostMapping> mapping) {
    return std::make_unique<PosixFileSystem>(std::move(mapping));
}

}  // namespace platform
