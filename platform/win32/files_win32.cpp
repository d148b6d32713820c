#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/files_os.h"
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

std::string SystemMessage(DWORD error) {
    char text[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n')) {
        --length;
    }
    return length > 0 ? std::string(text, length) : "error " + std::to_string(error);
}

}  // namespace

int FileExists(const std::string& path) {
    return Reachable(path) && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
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

bool RenameFile(const std::string& from, const std::string& to, std::string* reason) {
    if (!Reachable(from) || !Reachable(to)) {
        *reason = SystemMessage(ERROR_INVALID_NAME);
        return false;
    }
    // MoveFileA without flags refuses to replace an existing file.
    if (MoveFileA(from.c_str(), to.c_str())) {
        return true;
    }
    *reason = SystemMessage(GetLastError());
    return false;
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

std::string ExecutablePath() {
    // GetModuleFileNameA cuts the path to fit the buffer; grow it until the
    // whole path fits.
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
        if (length == 0) {
            return std::string();
        }
        if (length < size) {
            return std::string(buffer.data(), length);
        }
        if (buffer.size() >= 0x10000) {
            return std::string();
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string WindowsPathFromHost(const std::string& hostPath) {
    return hostPath;
}

namespace os {

bool IsReadOnly(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return !Reachable(path) ||
           (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0);
}

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
    // Wine's MoveFileExA would replace even a read-only file; IsReadOnly
    // has been asked first.
    if (!MoveFileExA(sibling.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(sibling.c_str());
        return Replacement::kNotMoved;
    }
    return Replacement::kDone;
}

}  // namespace os

}  // namespace platform
