#include "platform/file_system.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/win32/handle.h"

namespace platform {

namespace {

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

}  // namespace

bool RenameFile(const std::string& from, const std::string& to, std::string* reason) {
    // MoveFileA without flags refuses to replace an existing file.
    if (MoveFileA(from.c_str(), to.c_str())) {
        return true;
    }
    DWORD error = GetLastError();
    char text[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n')) {
        --length;
    }
    *reason = length > 0 ? std::string(text, length) : "error " + std::to_string(error);
    return false;
}

bool QueryFileStatus(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveFile(const std::string& path) {
    return DeleteFileA(path.c_str()) != FALSE;
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
    AutoCloseHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.Valid() && WriteAllTo(file.Get(), bytes) && file.Close();
}

namespace {

enum class NewFile { kWritten, kNameTaken, kFailed };

// Writes the bytes to a file of that name that must not exist yet, and
// flushes them to disk. A file it created but could not fill is removed.
NewFile WriteNewAndFlush(const std::string& path, std::string_view bytes) {
    AutoCloseHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        return GetLastError() == ERROR_FILE_EXISTS ? NewFile::kNameTaken : NewFile::kFailed;
    }
    bool ok = WriteAllTo(file.Get(), bytes) && FlushFileBuffers(file.Get());
    ok = file.Close() && ok;
    if (!ok) {
        DeleteFileA(path.c_str());
    }
    return ok ? NewFile::kWritten : NewFile::kFailed;
}

}  // namespace

ReadResult ReadWholeFile(const std::string& path, std::string* bytes) {
    bytes->clear();
    AutoCloseHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        return ReadResult::kCannotOpen;
    }
    LARGE_INTEGER size{};
    size_t capacity =
        GetFileSizeEx(file.Get(), &size) ? static_cast<size_t>(size.QuadPart) + 1 : 65536;
    size_t filled = 0;
    for (;;) {
        if (filled == capacity) {
            capacity *= 2;
        }
        bytes->resize(capacity);
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(capacity - filled, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(file.Get(), bytes->data() + filled, chunk, &got, nullptr)) {
            bytes->resize(filled);
            return ReadResult::kPartial;
        }
        if (got == 0) {
            bytes->resize(filled);
            return ReadResult::kComplete;
        }
        filled += got;
    }
}

bool ReplaceWholeFile(const std::string& path, std::string_view bytes) {
    // A read-only file is not replaced (some systems would let the move
    // replace it).
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return false;
    }
    // The new content goes to a sibling of the target, so that the final
    // move stays on one volume and replaces the target in one step.
    unsigned stamp = static_cast<unsigned>(GetTickCount()) ^ GetCurrentProcessId();
    for (unsigned attempt = 0; attempt < 16; ++attempt) {
        std::string temporary = path + ".new" + std::to_string(stamp + attempt);
        NewFile written = WriteNewAndFlush(temporary, bytes);
        if (written == NewFile::kNameTaken) {
            continue;
        }
        if (written == NewFile::kFailed) {
            return false;
        }
        if (MoveFileExA(temporary.c_str(), path.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        DeleteFileA(temporary.c_str());
        return false;
    }
    return false;
}

}  // namespace platform
