#pragma once

#include <memory>

#include "platform/file_system.h"

namespace platform {

// The system's files through the plain Windows calls (GetFileAttributesA,
// DeleteFileA, MoveFileA, the shell's copy, CreateFileA), so that each
// operation behaves exactly as Windows does.
std::unique_ptr<FileSystem> WindowsFiles();

}  // namespace platform
