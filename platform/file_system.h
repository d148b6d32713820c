#pragma once

#include <string>
#include <string_view>

// File services on Windows-form paths (C:\dir\file). On posix the seam maps
// them to host paths first (see host_path.h).
namespace platform {

// True when anything, file or folder, exists at the path. Nothing is opened.
bool QueryFileStatus(const std::string& path);

// Deletes one file outright. False when nothing is there or the system
// refuses (read-only, in use, a folder at the path).
bool RemoveFile(const std::string& path);

// Creates the file or cuts it to zero length, then writes the bytes as they
// are (no text-mode translation). False when it cannot be opened or written.
bool WriteWholeFile(const std::string& path, std::string_view bytes);

// Gives a file a new name; never replaces an existing file of that name.
// False on failure, with *reason saying why in the system's words.
bool RenameFile(const std::string& from, const std::string& to, std::string* reason);

// What became of a whole-file read.
enum class ReadResult {
    kComplete,   // every byte was read
    kPartial,    // opened, but reading failed part-way: *bytes holds what was read
    kCannotOpen  // nothing there, a folder, or not readable
};

// Reads the whole file in large blocks, bytes as they are.
ReadResult ReadWholeFile(const std::string& path, std::string* bytes);

// Replaces the file with the bytes in one step: they are written to a new
// file in the same folder, flushed to disk, and only then put in place of
// the old one. On failure the old file is left whole and the new one
// removed. A file that may not be written (read-only) is not replaced.
bool ReplaceWholeFile(const std::string& path, std::string_view bytes);

}  // namespace platform
