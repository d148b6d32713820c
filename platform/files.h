#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The seam to the system for files, paths and the executable. The core
// only ever sees Windows-form paths (C:\dir\file). On posix a host path is
// presented on drive Z:, as Wine does (/tmp/a b/x is Z:\tmp\a b\x), names
// are matched whatever their case, and nothing outside drive Z: is reached:
// a network path or another drive is not found. A path that holds a NUL
// byte never reaches the system: every call on it fails.
namespace platform {

// 1 when anything, file or folder, exists at the path, else 0. Nothing is
// opened.
int FileExists(const std::string& path);

// Deletes one file outright. False when nothing is there or the system
// refuses (read-only, in use, a folder at the path).
bool RemoveFile(const std::string& path);

// Creates the file or cuts it to zero length, then writes the bytes as they
// are (no text-mode translation). False when it cannot be opened or written.
bool WriteWholeFile(const std::string& path, std::string_view bytes);

// Gives a file a new name; never replaces an existing file of that name.
// False on failure, with *reason saying why in the system's words.
bool RenameFile(const std::string& from, const std::string& to, std::string* reason);

// What became of a read.
enum class ReadResult {
    kComplete,   // every byte was read
    kPartial,    // opened, but reading failed part-way or the reader stopped
    kCannotOpen  // nothing there, a folder, or not readable
};

// Hands a piece of a file's bytes on; false stops the reading.
using PieceReader = std::function<bool(std::string_view piece)>;

// Reads the file from start to end in pieces of at most kReadPieceSize
// bytes, bytes as they are, handing each piece to read in order. Nothing of
// the file is kept here, so a file of any size can be read.
inline constexpr size_t kReadPieceSize = 64 * 1024;
ReadResult ReadFileInPieces(const std::string& path, const PieceReader& read);

// The whole file in *bytes, for files known to be small (a layer file, a
// settings file); the INI store reads in pieces instead.
inline ReadResult ReadWholeFile(const std::string& path, std::string* bytes) {
    bytes->clear();
    return ReadFileInPieces(path, [bytes](std::string_view piece) {
        bytes->append(piece);
        return true;
    });
}

// Replaces the file with the bytes. The bytes first go to the temporary
// sibling TemporarySiblingOf(path), are flushed to disk and then moved over
// the file in one step, so that a crash leaves the old file or the new one.
// When that sibling cannot be created or the move fails (no right to create
// files in the folder, a name too long, the file held open elsewhere), the
// file is written in place instead. When the sibling cannot be written
// (disk full) the old file is left as it was. A read-only file is never
// touched. False when the file does not hold the bytes afterwards.
bool ReplaceWholeFile(const std::string& path, std::string_view bytes);

// The one name beside a file that its new content is written to first; a
// crash leaves at most this one file, which the next replacement reuses.
inline std::string TemporarySiblingOf(const std::string& path) {
    return path + ".tmp";
}

// The running executable's whole path in Windows form (no length limit);
// empty when the system cannot tell.
std::string ExecutablePath();

// The Windows form of a host path (the same text on Windows).
std::string WindowsPathFromHost(const std::string& hostPath);

// The names of a folder's entries, "." and ".." left out, in no particular
// order. False when the folder cannot be listed.
bool ListFolder(const std::string& folder, std::vector<std::string>* names);

// For the command-line program on posix: drive letters resolve through
// the Wine prefix's dosdevices links (prefix/dosdevices/c: and so on), as
// Wine resolves them; an empty prefix returns to drive Z: alone. False
// when the prefix has no dosdevices folder, and always on Windows.
bool UseWinePrefix(const std::string& hostPrefix);

}  // namespace platform
