#include "platform/file_rules.h"

#include "platform/path_names.h"

namespace platform {

bool Refuse(Failure failure, std::string* reason) {
    *reason = FailureText(failure);
    return false;
}

bool MayCreate(FileSystem& fs, const std::string& path, std::string* reason) {
    const std::string folder = FolderOf(path);
    if (fs.Stat(folder).kind != EntryKind::kFolder) {
        return Refuse(Failure::kNotFound, reason);
    }
    return fs.FolderAcceptsChanges(folder) || Refuse(Failure::kAccessDenied, reason);
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
    if (!MayWriteWhole(fs, path, entry, reason)) {
        return false;
    }
    return (!entry.symlink && !entry.hardLinked) || fs.FolderAcceptsChanges(FolderOf(path)) ||
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
    if (fs.Stat(from).kind == EntryKind::kNone) {
        return Refuse(Failure::kNotFound, reason);
    }
    // Another case of the new name counts as taken, as on Windows.
    if (fs.Stat(to).kind != EntryKind::kNone) {
        return Refuse(Failure::kExists, reason);
    }
    if (!fs.FolderAcceptsChanges(FolderOf(from))) {
        return Refuse(Failure::kAccessDenied, reason);
    }
    return MayCreate(fs, to, reason);
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
    return fs.FolderAcceptsChanges(FolderOf(path)) || Refuse(Failure::kAccessDenied, reason);
}

}  // namespace platform
