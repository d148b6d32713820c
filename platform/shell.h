#pragma once

#include <cstdint>
#include <string>

// The seam to the Windows shell: its file operation and the message box.
namespace platform {

// An owner window as the core sees it: an HWND on Windows, unused elsewhere.
using WindowHandle = void*;

// The message box style of the program's one message: one OK button and
// the stop icon.
inline constexpr unsigned kMbIconHand = 0x10;

inline constexpr unsigned kFoMove = 1;
inline constexpr unsigned kFoCopy = 2;
inline constexpr unsigned kFoDelete = 3;
inline constexpr unsigned kFoRename = 4;

inline constexpr std::uint16_t kFofMultiDestFiles = 0x0001;
inline constexpr std::uint16_t kFofSilent = 0x0004;
inline constexpr std::uint16_t kFofNoConfirmation = 0x0010;

// One request of the shell's file operation, field for field the shell's
// own SHFILEOPSTRUCTA: it copies, moves, renames or deletes the paths of a
// double-NUL-terminated list.
struct ShellFileOpRequest {
    WindowHandle hwnd;
    unsigned wFunc;
    const char* pFrom;
    const char* pTo;
    std::uint16_t fFlags;
    int fAnyOperationsAborted;
    void* hNameMappings;
    const char* lpszProgressTitle;
};

// The shell's error codes that the posix stand-in and the simulation give.
inline constexpr int kShellErrorFileNotFound = 2;  // the source is not there
inline constexpr int kShellErrorUnknown = 0x402;   // any other failure, or a request not served

// The one request the program makes, a one-file copy: true with its source
// and destination as written. False for any other request, which only the
// Windows shell itself serves.
bool OneFileCopyOf(const ShellFileOpRequest& request, std::string* source,
                   std::string* destination);

}  // namespace platform
