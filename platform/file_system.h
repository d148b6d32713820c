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
// FileSystem, and only ever names them in Windows form (C:\dir\file). The
// system's own: Windows' (platform/win32), and posix stand-ins with the same
// contract (platform/posix, through host/, which names the host's files as
// Wine does, and preview/, which refuses what Windows refuses); a
// simulation that keeps every change in memory runs every preview
// (preview/).
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
    // The file may not be written, replaced or deleted by this program: the
    // read-only attribute, or on posix no write permission bit or none for
    // this user.
    bool readOnly = false;
    // Posix: the name is a symbolic link. Reads follow it; writes never do.
    bool symlink = false;
    // Posix: the file has other hard links; it is replaced, never written into.
    bool hardLinked = false;
    // Posix: the entry stands in a sticky folder (mode 1777, as /tmp) and
    // belongs neither to this user nor to the folder's owner: the system
    // lets this user neither delete, rename nor replace it.
    bool stickyProtected = false;
    // Posix: a folder on the way may not be searched by this user, so
    // whether anything stands at the path cannot be told (kind is kNone).
    bool searchDenied = false;
    // A folder that lets this user create, rename and delete its entries.
    // Nothing is changed to find out.
    bool acceptsChanges = false;
    std::uint64_t size = 0;  // bytes of a file
    // The file's last write, in seconds since 1970-01-01 00:00 UTC.
    std::int64_t modified = 0;
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

// What the system's shell makes of a one-file copy, from what stands at its
// source and its destination.
enum class ShellCopyEffect {
    kNoSource,    // refused: kShellErrorFileNotFound
    kRefused,     // refused: kShellErrorUnknown
    kReplaces,    // the destination becomes a copy of the source
    kCopiesInto,  // the destination is a folder: the copy goes into it
};
ShellCopyEffect ShellCopyEffectOf(EntryKind source, EntryKind destination);

// Reads a file opened by OpenForReading.
class FileReader {
  public:
    virtual ~FileReader() = default;
    // Up to size bytes into buffer: how many were read, 0 at the end of the
    // file, -1 when reading failed.
    virtual long long Read(char* buffer, size_t size) = 0;
    // True when a run of the program is writing the file: it holds the
    // writers' lock on it, whichever system the run is on (native or under
    // Wine).
    virtual bool HeldByWriter() = 0;
};

// How a whole file is written.
enum class WriteMode {
    // The bytes first go to TemporarySiblingOf(path), are flushed and then
    // moved over the file, so that a crash leaves the old file or the new
    // one; where that sibling cannot be made or moved, the file is written
    // in place. A read-only file is never touched.
    kReplace,
    // The file is created, or written in its own place: a run stopped at any
    // moment leaves it reading as the old content or the new.
    kInPlace,
};

// What a delete may take.
enum class DeleteMode {
    kFile,  // the file at the path
    // A temporary file that a stopped run left behind (IsTemporaryOf):
    // never one that a run of the program is still writing, nor another
    // file that has taken its name meanwhile (refused as Failure::kInUse).
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

    // Opens a regular file for reading; null, with *reason, when there is
    // none there or it cannot be read. Never blocks on a FIFO or device.
    virtual std::unique_ptr<FileReader> OpenForReading(const std::string& path,
                                                       std::string* reason) = 0;

    // Gives the file the bytes (see WriteMode). False, with *reason, when
    // the file does not hold them.
    virtual bool Write(const std::string& path, std::string_view bytes, WriteMode mode,
                       std::string* reason) = 0;

    // Gives a file a new name; never replaces an existing file of that name.
    virtual bool Rename(const std::string& from, const std::string& to, std::string* reason) = 0;

    // Deletes one file (see DeleteMode).
    virtual bool Delete(const std::string& path, DeleteMode mode, std::string* reason) = 0;

    // The shell's file operation: 0 on success, else an error code. The
    // program makes one request, a one-file copy that replaces the
    // destination silently and creates its missing folders. A failure's
    // reason goes to *reason where the system words it (the posix stand-in
    // and the simulation); the Windows shell gives only its number.
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
// process's own (the file's name, the process number, then "-attempt" after
// the first attempt, and ".tmp"), so that two runs at once never touch
// each other's. A run that is stopped leaves at most this one file.
std::string TemporarySiblingOf(const std::string& path, int attempt = 0);

}  // namespace platform
