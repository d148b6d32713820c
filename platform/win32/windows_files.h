#pragma once

#include <memory>

#include "platform/file_system.h"

namespace platform {

// The system's files through the Windows calls the program has made since
// its first version (GetFileAttributesA, DeleteFileA, MoveFileA, the
// shell's copy, CreateFileA), so that it behaves exactly as Windows does.
std::unique_ptr<FileSystem> WindowsFiles();

}  // namespace platform
