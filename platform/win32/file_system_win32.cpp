#include "platform/file_system.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/win32/handle.h"

namespace platform {

namespace {

// A NUL byte would cut the path short on its way to the system.
bool Reachable(const std::string& path) {
    return path.find('\0') == std::string::npos;
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

}  // namespace

bool RenameFile(const std::string& from, const std::string& to, std::string* reason) {
    if (!Reachable(from) || !Reachable(to)) {
        *reason = "The file name is not valid.";
        return false;
    }
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
    return Reachable(path) && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveFile(const std::string& path) {
    return Reachable(path) && DeleteFileA(path.c_str()) != FALSE;
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
    if (!Reachable(path)) {
        return false;
    }
    AutoCloseHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.Valid() && WriteAllTo(file.Get(), bytes) && file.Close();
}

ReadResult ReadFileInPieces(const std::string& path, const PieceReader& read) {
    if (!Reachable(path)) {
        return ReadResult::kCannotOpen;
    }
    AutoCloseHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.Valid()) {
        return ReadResult::kCannotOpen;
    }
    char piece[kReadPieceSize];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), piece, sizeof piece, &got, nullptr)) {
            return ReadResult::kPartial;
        }
        if (got == 0) {
            return ReadResult::kComplete;
        }
        if (!read(std::string_view(piece, got))) {
            return ReadResult::kPartial;
        }
    }
}

namespace {

enum class Replacement { kDone, kNoSibling, kNotWritten, kNotMoved };

// The first choice of ReplaceWholeFile: the bytes go to the temporary
// sibling, reach the disk, then take the file's place in one move.
Replacement ReplaceThroughSibling(const std::string& path, std::string_view bytes) {
    const std::string sibling = TemporarySiblingOf(path);
    // CREATE_ALWAYS reuses a sibling that a crash left behind.
    AutoCloseHandle file(CreateFileA(sibling.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        return Replacement::kNoSibling;
    }
    bool ok = WriteAllTo(file.Get(), bytes) && FlushFileBuffers(file.Get());
    ok = file.Close() && ok;
    if (!ok) {
        DeleteFileA(sibling.c_str());
        return Replacement::kNotWritten;
    }
    if (!MoveFileExA(sibling.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(sibling.c_str());
        return Replacement::kNotMoved;
    }
    return Replacement::kDone;
}

}  // namespace

bool ReplaceWholeFile(const std::string& path, std::string_view bytes) {
    if (!Reachable(path)) {
        return false;
    }
    // A read-only file is not touched (Wine's MoveFileExA would replace it).
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return false;
    }
    switch (ReplaceThroughSibling(path, bytes)) {
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
