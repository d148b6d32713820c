#include "preview/file_rules.h"

#include "platform/path_names.h"

namespace preview {

using platform::EntryKind;
using platform::Failure;
using platform::FolderOf;
using platform::JoinedPath;
using platform::kShellErrorFileNotFound;
using platform::kShellErrorUnknown;
using platform::LastNameOf;
using platform::Refuse;

namespace {

// The entry at path leaves its name (deleted, or replaced by another): its
// folder must allow it, and a sticky one keeps other users' entries.
bool MayTakeAway(FileSystem& fs, const std::string& path, const Entry& entry, std::string* reason) {
    if (!fs.Stat(FolderOf(path, fs.AnsiCodePage())).acceptsChanges) {
        return Refuse(Failure::kAccessDenied, reason);
    }
    return !entry.stickyProtected || Refuse(Failure::kNotPermitted, reason);
}

}  // namespace

bool BeingWritten(FileSystem& fs, const std::string& path) {
    // Gone: its run has given it the file's name.
    if (fs.Stat(path).kind == EntryKind::kNone) {
        return true;
    }
    std::string reason;
    const std::unique_ptr<platform::FileReader> reader = fs.OpenForReading(path, &reason);
    return reader != nullptr ? reader->HeldByWriter()
                             : reason == platform::FailureText(Failure::kInUse);
}

bool MayCreate(FileSystem& fs, const std::string& path, std::string* reason) {
    const Entry folder = fs.Stat(FolderOf(path, fs.AnsiCodePage()));
    if (folder.kind != EntryKind::kFolder) {
        return Refuse(Failure::kNotFound, reason);
    }
    return folder.acceptsChanges || Refuse(Failure::kAccessDenied, reason);
}

bool MayWriteWhole(FileSystem& fs, const std::string& path, const Entry& entry,
                   std::string* reason) {
    if (entry.kind == EntryKind::kFolder) {
        return Refuse(Failure::kIsFolder, reason);
    }
    if (entry.kind == EntryKind::kOther) {
        return Refuse(Failure::kNotAFile, reason);
    }
    if (entry.readOnly) {
        return Refuse(Failure::kReadOnly, reason);
    }
    return entry.kind != EntryKind::kNone || MayCreate(fs, path, reason);
}

bool MayReplaceWhole(FileSystem& fs, const std::string& path, const Entry& entry,
                     std::string* reason) {
    if (entry.stickyProtected) {
        return MayWriteInPlace(fs, path, entry, reason);
    }
    if (!MayWriteWhole(fs, path, entry, reason)) {
        return false;
    }
    return (!entry.symlink && !entry.hardLinked) ||
           fs.Stat(FolderOf(path, fs.AnsiCodePage())).acceptsChanges ||
           Refuse(Failure::kLinked, reason);
}

bool MayWriteInPlace(FileSystem& fs, const std::string& path, const Entry& entry,
                     std::string* reason) {
    if (!MayWriteWhole(fs, path, entry, reason)) {
        return false;
    }
    if (entry.symlink) {
        return Refuse(Failure::kLinked, reason);
    }
    return !entry.hardLinked || MayCreate(fs, path, reason);
}

bool MayRename(FileSystem& fs, const std::string& from, const std::string& to,
               std::string* reason) {
    const Entry entry = fs.Stat(from);
    if (entry.kind == EntryKind::kNone) {
        return Refuse(Failure::kNotFound, reason);
    }
    // Another case of the new name counts as taken, as on Windows.
    if (fs.Stat(to).kind != EntryKind::kNone) {
        return Refuse(Failure::kExists, reason);
    }
    return MayTakeAway(fs, from, entry, reason) && MayCreate(fs, to, reason);
}

bool MayRemove(FileSystem& fs, const std::string& path, std::string* reason) {
    const Entry entry = fs.Stat(path);
    if (entry.kind == EntryKind::kNone) {
        return Refuse(Failure::kNotFound, reason);
    }
    if (entry.kind == EntryKind::kFolder) {
        return Refuse(Failure::kIsFolder, reason);
    }
    if (entry.readOnly) {
        return Refuse(Failure::kReadOnly, reason);
    }
    return MayTakeAway(fs, path, entry, reason);
}

bool MayMakeFolders(FileSystem& fs, const std::string& folder, std::string* reason) {
    const Entry entry = fs.Stat(folder);
    const EntryKind kind = entry.kind;
    if (kind == EntryKind::kFolder) {
        return entry.acceptsChanges || Refuse(Failure::kAccessDenied, reason);
    }
    const std::string parent = FolderOf(folder, fs.AnsiCodePage());
    if (kind != EntryKind::kNone || parent.empty() || parent == folder) {
        return Refuse(Failure::kNotFound, reason);
    }
    return MayMakeFolders(fs, parent, reason);
}

namespace {

bool MayCopyFromEntry(FileSystem& fs, const std::string& source, const Entry& entry,
                      std::string* reason) {
    if (entry.kind == EntryKind::kNone) {
        return Refuse(entry.searchDenied ? Failure::kAccessDenied : Failure::kNotFound, reason);
    }
    // The program copies one regular file, whatever else the shell copies.
    if (entry.kind != EntryKind::kFile) {
        return Refuse(entry.kind == EntryKind::kFolder ? Failure::kIsFolder : Failure::kNotAFile,
                      reason);
    }
    // Whether this user may read it only an open tells; nothing is read.
    return fs.OpenForReading(source, reason) != nullptr;
}

}  // namespace

bool MayCopyFrom(FileSystem& fs, const std::string& source, std::string* reason) {
    return MayCopyFromEntry(fs, source, fs.Stat(source), reason);
}

ShellCopyEffect ShellCopyEffectOf(EntryKind source, EntryKind destination) {
#ifdef _WIN32
    const bool copiesInto = true;
    const bool anySource = source != EntryKind::kNone;
#else
    const bool copiesInto = false;
    const bool anySource = source == EntryKind::kFile;
#endif
    if (!anySource) {
        return ShellCopyEffect::kNoSource;
    }
    if (destination != EntryKind::kFolder) {
        return ShellCopyEffect::kReplaces;
    }
    return copiesInto ? ShellCopyEffect::kCopiesInto : ShellCopyEffect::kRefused;
}

int ShellCopyRefusal(FileSystem& fs, const std::string& source, const std::string& destination,
                     std::string* reason) {
    const Entry master = fs.Stat(source);
    if (!MayCopyFromEntry(fs, source, master, reason)) {
        return kShellErrorFileNotFound;
    }
    std::string place = destination;
    Entry target = fs.Stat(destination);
    switch (ShellCopyEffectOf(master.kind, target.kind)) {
        case ShellCopyEffect::kNoSource:
        case ShellCopyEffect::kRefused:
            Refuse(Failure::kIsFolder, reason);
            return kShellErrorUnknown;
        case ShellCopyEffect::kCopiesInto:
            place =
                JoinedPath(destination, LastNameOf(source, fs.AnsiCodePage()), fs.AnsiCodePage());
            target = fs.Stat(place);
            break;
        case ShellCopyEffect::kReplaces:
            break;
    }
    // A file there is replaced, a read-only one too, as the shell does.
    const bool allowed = target.kind == EntryKind::kNone
                             ? MayMakeFolders(fs, FolderOf(place, fs.AnsiCodePage()), reason)
                         : target.kind == EntryKind::kFolder
                             ? Refuse(Failure::kIsFolder, reason)
                             : MayTakeAway(fs, place, target, reason);
    return allowed ? 0 : kShellErrorUnknown;
}

}  // namespace preview
