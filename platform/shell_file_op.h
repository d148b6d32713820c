#pragma once

#include <cstdint>

#include "platform/window_handle.h"

// The shell's file operation: one request copies, moves, renames or deletes
// the paths of a double-NUL-terminated list. The request mirrors the
// shell's own SHFILEOPSTRUCTA field for field.
namespace platform {

inline constexpr unsigned kFoMove = 1;
inline constexpr unsigned kFoCopy = 2;
inline constexpr unsigned kFoDelete = 3;
inline constexpr unsigned kFoRename = 4;

inline constexpr std::uint16_t kFofMultiDestFiles = 0x0001;
inline constexpr std::uint16_t kFofSilent = 0x0004;
inline constexpr std::uint16_t kFofNoConfirmation = 0x0010;

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

// Carries out the request synchronously; 0 on success, else an error code.
// fAnyOperationsAborted is updated as the shell leaves it.
int ShellFileOperation(ShellFileOpRequest& request);

}  // namespace platform
