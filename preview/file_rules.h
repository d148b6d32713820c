#pragma once

#include <string>

#include "platform/file_system.h"

// What Windows refuses of the program's file operations, checked in the
// order the system meets the refusals. The posix stand-ins and every
// preview act through a RuledFileSystem that checks them first, so that a
// preview refuses what the real run refuses, in the same words. Each is
// false, with *reason, when the operation is refused.
namespace preview {

using platform::Entry;
using platform::FileSystem;

// True when a run of the program is writing the file (it holds it, or has
// given it another name since): no leftover. Nothing is changed.
bool BeingWritten(FileSystem& fs, const std::string& path);

// A new entry at path: its folder must be there and let this user add to it.
bool MayCreate(FileSystem& fs, const std::string& path, std::string* reason);

// A whole file written at path, where entry stands: never into a folder,
// a FIFO, a device or a read-only file.
bool MayWriteWhole(FileSystem& fs, const std::string& path, const Entry& entry,
                   std::string* reason);

// The same, replaced through a sibling: a link is replaced itself, which
// its folder must allow (where it does not, the file would be written in
// place, which a link refuses). A file a sticky folder keeps from this user
// can only be written in place.
bool MayReplaceWhole(FileSystem& fs, const std::string& path, const Entry& entry,
                     std::string* reason);

// The same, written in place: never through a symbolic link; a file with
// other hard links is replaced, which its folder must allow.
bool MayWriteInPlace(FileSystem& fs, const std::string& path, const Entry& entry,
                     std::string* reason);

// A rename that never replaces: from must be there, to must not.
bool MayRename(FileSystem& fs, const std::string& from, const std::string& to, std::string* reason);

// A file deleted: not a folder, not read-only, in a folder that allows it
// (a sticky one only for the file's or the folder's owner).
bool MayRemove(FileSystem& fs, const std::string& path, std::string* reason);

// The folder, and the missing folders above it that the shell's copy
// makes: the nearest one that is there must let this user add to it.
bool MayMakeFolders(FileSystem& fs, const std::string& folder, std::string* reason);

// What the system's shell makes of a one-file copy, from what stands at its
// source and its destination. Windows' shell copies a file or a whole
// folder, into a folder that stands at the destination; the posix stand-in
// copies one regular file and leaves a folder at the name alone. Either
// replaces a file there, a read-only one too.
enum class ShellCopyEffect {
    kNoSource,    // refused: kShellErrorFileNotFound
    kRefused,     // refused: kShellErrorUnknown
    kReplaces,    // the destination becomes a copy of the source
    kCopiesInto,  // the destination is a folder: the copy goes into it
};
ShellCopyEffect ShellCopyEffectOf(platform::EntryKind source, platform::EntryKind destination);

// The shell's one-file copy from source to destination: the source must
// be a regular file this user may read, and the destination's folder must take
// the copy (ShellCopyEffectOf says what becomes of a folder there). 0 when
// it may go ahead, else the shell's error code with *reason:
// kShellErrorFileNotFound for the source, kShellErrorUnknown for the
// destination.
int ShellCopyRefusal(FileSystem& fs, const std::string& source, const std::string& destination,
                     std::string* reason);

// The source half of ShellCopyRefusal: true when this user may read it.
bool MayCopyFrom(FileSystem& fs, const std::string& source, std::string* reason);

}  // namespace preview
