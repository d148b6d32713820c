// Windows' own file calls (windows_files.h).
#include <windows.h>

#include <shellapi.h>  // needs windows.h first

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/path_names.h"
#include "platform/whole_file.h"
#include "platform/win32/handle.h"
#include "platform/win32/windows_files.h"

namespace platform {

static_assert(kFoMove == FO_MOVE && kFoCopy == FO_COPY && kFoDelete == FO_DELETE &&
              kFoRename == FO_RENAME);
static_assert(kFofMultiDestFiles == FOF_MULTIDESTFILES && kFofSilent == FOF_SILENT &&
              kFofNoConfirmation == FOF_NOCONFIRMATION);

namespace {

std::string SystemMessage(DWORD error) {
    char text[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n')) {
        --length;
    }
    return length > 0 ? std::string(text, length) : "error " + std::to_string(error);
}

bool SystemError(DWORD error, std::string* reason) {
    *reason = SystemMessage(error);
    return false;
}

bool WriteAllTo(HANDLE file, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

bool LockFirstByte(HANDLE file, DWORD flags);

class HandleReader : public FileReader {
  public:
    // Made before the file is opened, so that no handle is left open when
    // memory runs out.
    HandleReader() = default;
    bool Open(const std::string& path) {
        file_.Reset(CreateFileA(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        return file_.Valid();
    }
    long long Read(char* buffer, size_t size) override {
        DWORD got = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
        if (!ReadFile(file_.Get(), buffer, wanted, &got, nullptr)) {
            return -1;
        }
        return got;
    }
    bool HeldByWriter() override { return !LockFirstByte(file_.Get(), LOCKFILE_EXCLUSIVE_LOCK); }

  private:
    AutoCloseHandle file_{INVALID_HANDLE_VALUE};
};

bool IsReadOnly(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return !Reachable(path) ||
           (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0);
}

// The in-place write's calls on a handle.
class HandleWriter : public OpenFileWriter {
  public:
    explicit HandleWriter(HANDLE file) : file_(file) {}
    bool Size(std::uint64_t* size, std::string* reason) override {
        LARGE_INTEGER length{};
        if (!GetFileSizeEx(file_, &length)) {
            return SystemError(GetLastError(), reason);
        }
        *size = static_cast<std::uint64_t>(length.QuadPart);
        return true;
    }
    bool WriteAt(std::uint64_t at, std::string_view bytes, std::string* reason) override {
        return (MoveTo(at) && WriteAllTo(file_, bytes)) || SystemError(GetLastError(), reason);
    }
    bool SetLength(std::uint64_t length, std::string* reason) override {
        return (MoveTo(length) && SetEndOfFile(file_)) || SystemError(GetLastError(), reason);
    }
    bool Flush(std::string* reason) override {
        return FlushFileBuffers(file_) || SystemError(GetLastError(), reason);
    }

  private:
    bool MoveTo(std::uint64_t at) {
        LARGE_INTEGER position{};
        position.QuadPart = static_cast<LONGLONG>(at);
        return SetFilePointerEx(file_, position, nullptr, FILE_BEGIN) != FALSE;
    }

    HANDLE file_;
};

// Writes the bytes into the file, creating it where it is missing, in its
// own place: a run stopped at any moment leaves the old content or the new.
bool WriteWholeFile(const std::string& path, std::string_view bytes, std::string* reason) {
    AutoCloseHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        return SystemError(GetLastError(), reason);
    }
    HandleWriter writer(file.Get());
    return WriteIntoOpenFile(writer, bytes, reason) &&
           (file.Close() || SystemError(GetLastError(), reason));
}

// Takes the writers' lock on the file's first byte, which a native run under
// Wine takes on the same byte (the kernel's lock, which Wine's locks are):
// false when another run holds it. The byte need not be there yet.
bool LockFirstByte(HANDLE file, DWORD flags) {
    OVERLAPPED at{};
    return LockFileEx(file, flags | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != FALSE;
}

// A temporary sibling of a file. No other Windows program may open it
// while it is written, and it holds the writers' lock, so that another
// run's cleanup, of whichever kind, leaves it alone.
class HandleSibling : public NewSibling {
  public:
    explicit HandleSibling(std::string_view bytes) : bytes_(bytes) {}
    bool Create(const std::string& name, bool* taken, std::string* reason) override {
        file_.Reset(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        const DWORD error = GetLastError();
        if (!file_.Valid()) {
            *taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
                     error == ERROR_ACCESS_DENIED;
            return SystemError(error, reason);
        }
        // A native run's cleanup under Wine holds the lock for a moment while
        // it looks, and may have taken the name before the lock: then the
        // name counts as taken.
        for (int wait = 0; wait < 50 && !LockFirstByte(file_.Get(), LOCKFILE_EXCLUSIVE_LOCK) &&
                           GetLastError() == ERROR_LOCK_VIOLATION;
             ++wait) {
            Sleep(10);
        }
        *taken = GetFileAttributesA(name.c_str()) == INVALID_FILE_ATTRIBUTES;
        return !*taken;
    }
    bool Fill(std::string* reason) override {
        const bool written = WriteAllTo(file_.Get(), bytes_) && FlushFileBuffers(file_.Get());
        const DWORD error = GetLastError();
        return (file_.Close() && written) || SystemError(written ? GetLastError() : error, reason);
    }
    // Wine's MoveFileExA would replace even a read-only file; the caller has
    // asked first.
    bool MoveOver(const std::string& name, const std::string& path, std::string* reason) override {
        return MoveFileExA(name.c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
               SystemError(GetLastError(), reason);
    }
    void Discard(const std::string& name) override { DeleteFileA(name.c_str()); }

  private:
    std::string_view bytes_;
    AutoCloseHandle file_{INVALID_HANDLE_VALUE};
};

// The path made absolute against the working folder; the path itself when
// the system cannot.
std::string FullPathOf(const std::string& path) {
    std::vector<char> full(MAX_PATH);
    DWORD length = Reachable(path) ? GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()),
                                                      full.data(), nullptr)
                                   : 0;
    if (length >= full.size()) {
        full.resize(length + 1);
        length =
            GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    return length == 0 || length >= full.size() ? path : std::string(full.data(), length);
}

// The volume and file number of an existing folder (or file), as text.
bool IdentityOf(const std::string& folder, std::string* identity) {
    AutoCloseHandle handle(
        Reachable(folder)
            ? CreateFileA(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)
            : INVALID_HANDLE_VALUE);
    BY_HANDLE_FILE_INFORMATION info;
    if (!handle.Valid() || !GetFileInformationByHandle(handle.Get(), &info)) {
        return false;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%08lX:%08lX%08lX",
                  static_cast<unsigned long>(info.dwVolumeSerialNumber),
                  static_cast<unsigned long>(info.nFileIndexHigh),
                  static_cast<unsigned long>(info.nFileIndexLow));
    *identity = text;
    return true;
}

// Those of the names that the folder holds, each asked for: under Wine a
// listing costs several times as much as asking for three names, which
// Windows, like Wine, matches whatever their case. A name that is not there
// in a folder that is answers "file not found"; any other failure means the
// folder cannot be reached.
bool AskForNames(const std::string& folder, const std::vector<std::string>& wanted,
                 const CodePage& codePage, std::vector<std::string>* names) {
    names->clear();
    for (const std::string& name : wanted) {
        const std::string path = JoinedPath(folder, name, codePage);
        if (Reachable(path) && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            names->push_back(name);
        } else if (!Reachable(path) || GetLastError() != ERROR_FILE_NOT_FOUND) {
            return false;
        }
    }
    return true;
}

// True when this user may add entries to the folder: opening it for that
// asks its security without changing anything.
bool AcceptsChanges(const std::string& folder) {
    AutoCloseHandle handle(CreateFileA(
        folder.c_str(), FILE_ADD_FILE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return handle.Valid();
}

class Win32FileSystem : public FileSystem {
  public:
    Win32FileSystem() : FileSystem(SystemCodePage()) {}

    Entry Stat(const std::string& path) override {
        Entry entry;
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!Reachable(path) || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
            return entry;
        }
        const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.kind = folder ? EntryKind::kFolder : EntryKind::kFile;
        entry.acceptsChanges = folder && AcceptsChanges(path);
        entry.symlink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entry.readOnly = !folder && (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
        entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        // FILETIME counts 100 ns from 1601-01-01, 11644473600 s before 1970.
        const std::uint64_t ticks =
            (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
            data.ftLastWriteTime.dwLowDateTime;
        entry.modified = static_cast<std::int64_t>(ticks / 10000000) - 11644473600LL;
        return entry;
    }

    std::unique_ptr<FileReader> OpenForReading(const std::string& path,
                                               std::string* reason) override {
        if (!Reachable(path)) {
            SystemError(ERROR_INVALID_NAME, reason);
            return nullptr;
        }
        auto reader = std::make_unique<HandleReader>();
        if (!reader->Open(path)) {
            SystemError(GetLastError(), reason);
            return nullptr;
        }
        return reader;
    }

    bool Write(const std::string& path, std::string_view bytes, WriteMode mode,
               std::string* reason) override {
        if (!Reachable(path)) {
            return SystemError(ERROR_INVALID_NAME, reason);
        }
        if (mode == WriteMode::kInPlace) {
            return WriteWholeFile(path, bytes, reason);
        }
        if (IsReadOnly(path)) {
            return SystemError(ERROR_ACCESS_DENIED, reason);
        }
        HandleSibling sibling(bytes);
        return ReplaceThroughSibling(sibling, path, reason,
                                     [&] { return WriteWholeFile(path, bytes, reason); });
    }

    bool Rename(const std::string& from, const std::string& to, std::string* reason) override {
        if (!Reachable(from) || !Reachable(to)) {
            return SystemError(ERROR_INVALID_NAME, reason);
        }
        // MoveFileA without flags refuses to replace an existing file.
        return MoveFileA(from.c_str(), to.c_str()) || SystemError(GetLastError(), reason);
    }

    // A sibling that a run of this program is still writing is open without
    // sharing, and holds the writers' lock (a native run's under Wine); one
    // whose run has finished has the file's name: none is a leftover. The
    // lock is held here while the name is removed.
    bool Delete(const std::string& path, DeleteMode mode, std::string* reason) override {
        if (!Reachable(path)) {
            return SystemError(ERROR_INVALID_NAME, reason);
        }
        AutoCloseHandle file(INVALID_HANDLE_VALUE);
        if (mode == DeleteMode::kLeftover) {
            file.Reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            const DWORD error = GetLastError();
            if ((!file.Valid() &&
                 (error == ERROR_SHARING_VIOLATION || error == ERROR_FILE_NOT_FOUND)) ||
                (file.Valid() && !LockFirstByte(file.Get(), 0))) {
                return Refuse(Failure::kInUse, reason);
            }
        }
        return DeleteFileA(path.c_str()) || SystemError(GetLastError(), reason);
    }

    int ShellOperation(ShellFileOpRequest& request, std::string*) override {
        SHFILEOPSTRUCTA op{};
        op.hwnd = static_cast<HWND>(request.hwnd);
        op.wFunc = request.wFunc;
        op.pFrom = request.pFrom;
        op.pTo = request.pTo;
        op.fFlags = request.fFlags;
        op.fAnyOperationsAborted = request.fAnyOperationsAborted;
        op.hNameMappings = request.hNameMappings;
        op.lpszProgressTitle = request.lpszProgressTitle;
        int result = SHFileOperationA(&op);
        request.fAnyOperationsAborted = op.fAnyOperationsAborted;
        return result;
    }

    bool ListFolder(const std::string& folder, std::vector<std::string>* names, std::string* key,
                    const std::vector<std::string>* only) override {
        if (!Reachable(folder)) {
            return false;
        }
        if (key != nullptr) {
            *key = FolderKey(folder);
        }
        if (only != nullptr) {
            return AskForNames(folder, *only, AnsiCodePage(), names);
        }
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            return false;
        }
        const std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> closer(search, FindClose);
        names->clear();
        do {
            if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0) {
                names->emplace_back(found.cFileName);
            }
        } while (FindNextFileA(search, &found));
        return true;
    }

    std::string FolderKey(const std::string& path) override {
        // The folder's identity on its volume, whatever spelling, short
        // name, junction or link led there; a folder that is not there yet
        // by its nearest existing folder and the names below it.
        std::string folder = FullPathOf(path);
        std::string rest;
        for (;;) {
            std::string identity;
            if (IdentityOf(folder, &identity)) {
                return identity + rest;
            }
            const std::string parent = FolderOf(folder, AnsiCodePage());
            if (parent.empty() || parent == folder) {
                return AsciiLower(FullPathOf(path));
            }
            rest = "\\" + AsciiLower(LastNameOf(folder, AnsiCodePage())) + rest;
            folder = parent;
        }
    }
};

}  // namespace

std::string FailureText(Failure failure) {
    switch (failure) {
        case Failure::kNotFound:
            return SystemMessage(ERROR_PATH_NOT_FOUND);
        case Failure::kExists:
            return SystemMessage(ERROR_ALREADY_EXISTS);
        case Failure::kIsFolder:
        case Failure::kNotAFile:
        case Failure::kReadOnly:
        case Failure::kAccessDenied:
        case Failure::kLinked:
        case Failure::kNotPermitted:
            return SystemMessage(ERROR_ACCESS_DENIED);
        case Failure::kInUse:
            return SystemMessage(ERROR_SHARING_VIOLATION);
    }
    return std::string();
}

std::unique_ptr<FileSystem> WindowsFiles() {
    return std::make_unique<Win32FileSystem>();
}

}  // namespace platform
