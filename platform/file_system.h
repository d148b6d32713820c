#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"
#include "platform/shell.h"

// The seam to the system for files. The core reaches files only through a
// FileSystem, and only ever names them in Windows form (C:\dir\file):
// Windows' own calls (win32/), the posix calls (posix/, named through
// host/ and ruled by preview/ as Windows rules them), or a simulation that
// keeps every change in memory, which runs every preview (preview/).
namespace platform {

enum class EntryKind {
    kNone,    // nothing at the path
    kFile,    // a regular file
    kFolder,  // a folder
    kOther    // anything else: a FIFO, a device, a socket, a dangling link
};

// What stands at a path. Nothing is opened.
struct Entry {
    EntryKind kind = EntryKind::kNone;
    // The read-only attribute; on posix no write permission bit, or none for
    // this user.
    bool readOnly = false;
    bool symlink = false;     // posix: reads follow the link, writes never do
    bool hardLinked = false;  // posix: replaced, never written into
    // Posix: in a sticky folder (as /tmp), and neither this user's nor the
    // folder owner's: this user may neither delete, rename nor replace it.
    bool stickyProtected = false;
    // Posix: a folder on the way may not be searched, so whether anything
    // stands there cannot be told (kind is kNone).
    bool searchDenied = false;
    bool acceptsChanges = false;  // a folder where this user may add, rename, delete
    std::uint64_t size = 0;       // bytes of a file
    std::int64_t modified = 0;    // a file's last write, seconds since 1970 (UTC)
};

// Why an operation was refused, for the refusals a simulation foresees. Each
// system words them as it words its own errors.
enum class Failure {
    kNotFound,      // nothing at the path, or its folder is missing
    kExists,        // the new name is taken
    kIsFolder,      // a folder where a file was expected
    kNotAFile,      // a FIFO, a device or a socket where a file was expected
    kReadOnly,      // the file may not be changed
    kAccessDenied,  // the folder does not let this user change its entries
    kLinked,        // a link where the program writes
    kNotPermitted,  // a sticky folder keeps another user's entry from this user
    kInUse,         // another run of the program is writing the file
};

// The system's words for a refusal.
std::string FailureText(Failure failure);

// *reason becomes the failure's text; false, for a refusal's return.
bool Refuse(Failure failure, std::string* reason);

class FileReader {
  public:
    virtual ~FileReader() = default;
    // Up to size bytes: how many were read, 0 at the end, -1 on failure.
    virtual long long Read(char* buffer, size_t size) = 0;
    // A run of the program, native or under Wine, holds the writers' lock.
    virtual bool HeldByWriter() = 0;
};

// How a whole file is written (whole_file.h says how each stays whole).
enum class WriteMode {
    kReplace,  // through a temporary sibling, else in place
    kInPlace,  // in its own place; created where it is missing
};

enum class DeleteMode {
    kFile,
    // A temporary file a stopped run left: never one a run still writes,
    // nor another that has taken its name meanwhile (Failure::kInUse).
    kLeftover,
};

class FileSystem {
  public:
    explicit FileSystem(const CodePage& codePage) : codePage_(codePage) {}
    virtual ~FileSystem() = default;
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;

    // The ANSI code page the paths are in, for splitting them.
    const CodePage& AnsiCodePage() const { return codePage_; }

    // What stands at the path; links are followed for the kind.
    virtual Entry Stat(const std::string& path) = 0;
    // A regular file opened for reading, never waiting on a FIFO or device;
    // null, with *reason, when there is none or it cannot be read.
    virtual std::unique_ptr<FileReader> OpenForReading(const std::string& path,
                                                       std::string* reason) = 0;
    // False, with *reason, when the file does not hold the bytes.
    virtual bool Write(const std::string& path, std::string_view bytes, WriteMode mode,
                       std::string* reason) = 0;
    // Never replaces an existing file of the new name.
    virtual bool Rename(const std::string& from, const std::string& to, std::string* reason) = 0;
    virtual bool Delete(const std::string& path, DeleteMode mode, std::string* reason) = 0;
    // The shell's file operation: 0, else its error code. The program asks
    // for one-file copies that replace the destination silently and make
    // its missing folders; the reason where the system words it (not the
    // Windows shell, which gives only its number).
    virtual int ShellOperation(ShellFileOpRequest& request, std::string* reason) = 0;

    // The names of a folder's entries, "." and ".." left out, in no
    // particular order, and the folder's FolderKey in *key when asked for
    // (a listing tells it cheaply). With only, just those of its names that
    // the folder holds, matched as Windows matches names: where asking for
    // each name costs less than a listing (Windows, Wine), each is asked
    // for and comes back as only spells it. False when the folder cannot be
    // listed, or, asked by name, cannot be reached.
    virtual bool ListFolder(const std::string& folder, std::vector<std::string>* names,
                            std::string* key = nullptr,
                            const std::vector<std::string>* only = nullptr) = 0;

    // The same text for every spelling of one folder: other case, other
    // separators, a link to it, another drive that maps to the same place.
    // A folder that is not there yet is keyed by its nearest existing folder
    // and the names below that.
    virtual std::string FolderKey(const std::string& folder) = 0;

    // 1 when anything, file or folder, exists at the path, else 0.
    int Exists(const std::string& path) { return Stat(path).kind != EntryKind::kNone ? 1 : 0; }

  private:
    const CodePage codePage_;
};

// What became of a read.
enum class ReadResult {
    kComplete,   // every byte was read
    kPartial,    // opened, but reading failed part-way or the reader stopped
    kCannotOpen  // nothing there, not a regular file, or not readable
};

// Hands a piece of a file's bytes on; false stops the reading.
using PieceReader = std::function<bool(std::string_view piece)>;

// Reads the file from start to end in pieces of at most kReadPieceSize
// bytes, handing each piece to read in order. Nothing of the file is kept
// here, so a file of any size can be read.
inline constexpr size_t kReadPieceSize = 64 * 1024;
ReadResult ReadInPieces(FileSystem& fs, const std::string& path, const PieceReader& read,
                        std::string* reason);

// The whole file in *bytes, for files known to be small.
ReadResult ReadWhole(FileSystem& fs, const std::string& path, std::string* bytes,
                     std::string* reason);

// True when both are regular files of the same bytes. Sizes are compared
// first, then the bytes in pieces: memory stays fixed whatever the sizes.
bool SameContent(FileSystem& fs, const std::string& a, const std::string& b);

// A name beside a file that its new content is written to first, this
// process's own (the file's name, the process number, "-attempt" after the
// first attempt, ".tmp"): two runs at once never touch each other's.
std::string TemporarySiblingOf(const std::string& path, int attempt = 0);

}  // namespace platform
