#include "platform/simulated_file_system.h"

#include <algorithm>
#include <ctime>
#include <utility>

#include "platform/file_rules.h"
#include "platform/path_names.h"

namespace platform {

namespace {

// Reads bytes the simulation keeps.
class MemoryReader : public FileReader {
  public:
    explicit MemoryReader(std::string bytes) : bytes_(std::move(bytes)) {}
    long long Read(char* buffer, size_t size) override {
        const size_t count = std::min(size, bytes_.size() - at_);
        std::copy_n(bytes_.data() + at_, count, buffer);
        at_ += count;
        return static_cast<long long>(count);
    }
    bool HeldByWriter() override { return false; }

  private:
    std::string bytes_;
    size_t at_ = 0;
};

}  // namespace

std::string SimulatedFileSystem::FolderKey(const std::string& folder) {
    auto known = folderKeys_.find(folder);
    if (known == folderKeys_.end()) {
        known = folderKeys_.emplace(folder, base_.FolderKey(folder)).first;
    }
    return known->second;
}

std::string SimulatedFileSystem::EntryKey(const std::string& path) {
    return FolderKey(FolderOf(path, AnsiCodePage())) + "\\" +
           AsciiLower(LastNameOf(path, AnsiCodePage()));
}

const SimulatedFileSystem::Change* SimulatedFileSystem::Find(const std::string& path) {
    // Most paths name nothing this simulation changed: their last name
    // settles it without asking the base for a key.
    if (changedNames_.count(AsciiLower(LastNameOf(path, AnsiCodePage()))) == 0) {
        return nullptr;
    }
    auto found = changes_.find(EntryKey(path));
    return found == changes_.end() ? nullptr : &found->second;
}

void SimulatedFileSystem::Record(const std::string& path, Change change) {
    change.folderKey = FolderKey(FolderOf(path, AnsiCodePage()));
    if (change.name.empty()) {
        change.name = LastNameOf(path, AnsiCodePage());
    }
    changedNames_.insert(AsciiLower(LastNameOf(path, AnsiCodePage())));
    changes_[EntryKey(path)] = std::move(change);
}

bool SimulatedFileSystem::RecordFile(const std::string& path, std::string_view bytes) {
    Change change;
    change.kind = EntryKind::kFile;
    change.bytes.assign(bytes);
    Record(path, std::move(change));
    return true;
}

Entry SimulatedFileSystem::Stat(const std::string& path) {
    const Change* change = Find(path);
    if (change == nullptr) {
        return base_.Stat(path);
    }
    Entry entry;
    entry.kind = change->kind;
    entry.readOnly = change->readOnly;
    entry.acceptsChanges = change->kind == EntryKind::kFolder;
    if (change->kind == EntryKind::kFile && !change->readFrom.empty()) {
        const Entry moved = base_.Stat(change->readFrom);
        entry.size = moved.size;
        entry.modified = moved.modified;
    } else if (change->kind == EntryKind::kFile) {
        entry.size = change->bytes.size();
        entry.modified = static_cast<std::int64_t>(std::time(nullptr));
    }
    return entry;
}

std::unique_ptr<FileReader> SimulatedFileSystem::OpenForReading(const std::string& path,
                                                                std::string* reason) {
    const Change* change = Find(path);
    if (change == nullptr) {
        return base_.OpenForReading(path, reason);
    }
    switch (change->kind) {
        case EntryKind::kFile:
            if (!change->readFrom.empty()) {
                return base_.OpenForReading(change->readFrom, reason);
            }
            return std::make_unique<MemoryReader>(change->bytes);
        case EntryKind::kFolder:
            *reason = FailureText(Failure::kIsFolder);
            return nullptr;
        default:
            *reason = FailureText(Failure::kNotFound);
            return nullptr;
    }
}

bool SimulatedFileSystem::Write(const std::string& path, std::string_view bytes, WriteMode mode,
                                std::string* reason) {
    const Entry entry = Stat(path);
    return (mode == WriteMode::kReplace ? MayReplaceWhole(*this, path, entry, reason)
                                        : MayWriteInPlace(*this, path, entry, reason)) &&
           RecordFile(path, bytes);
}

SimulatedFileSystem::Change SimulatedFileSystem::Carried(const std::string& path,
                                                         const Entry& entry) {
    const Change* change = Find(path);
    if (change != nullptr) {
        Change carried = *change;
        carried.name.clear();
        return carried;
    }
    Change carried;
    carried.kind = entry.kind;
    carried.readOnly = entry.readOnly;
    carried.readFrom = path;
    return carried;
}

bool SimulatedFileSystem::Rename(const std::string& from, const std::string& to,
                                 std::string* reason) {
    if (!MayRename(*this, from, to, reason)) {
        return false;
    }
    Change moved = Carried(from, Stat(from));
    Record(from, Change{});
    Record(to, std::move(moved));
    return true;
}

bool SimulatedFileSystem::Delete(const std::string& path, DeleteMode mode, std::string* reason) {
    if (mode == DeleteMode::kLeftover && Find(path) == nullptr && base_.BeingWritten(path)) {
        return Refuse(Failure::kInUse, reason);
    }
    if (!MayRemove(*this, path, reason)) {
        return false;
    }
    Record(path, Change{});
    return true;
}

void SimulatedFileSystem::MakeFolders(const std::string& folder) {
    const std::string parent = FolderOf(folder, AnsiCodePage());
    if (Stat(folder).kind != EntryKind::kNone || parent.empty() || parent == folder) {
        return;
    }
    MakeFolders(parent);
    Change made;
    made.kind = EntryKind::kFolder;
    Record(folder, std::move(made));
}

int SimulatedFileSystem::ShellOperation(ShellFileOpRequest& request, std::string* reason) {
    std::string source, destination;
    if (!OneFileCopyOf(request, &source, &destination)) {
        return kShellErrorUnknown;
    }
    const int refusal = ShellCopyRefusal(*this, source, destination, reason);
    if (refusal != 0) {
        return refusal;
    }
    const Entry master = Stat(source);
    const std::string place =
        ShellCopyEffectOf(master.kind, Stat(destination).kind) == ShellCopyEffect::kCopiesInto
            ? JoinedPath(destination, LastNameOf(source, AnsiCodePage()), AnsiCodePage())
            : destination;
    // A new copy is read-only where its master is; one that replaces a file
    // is not (as the shell's copy under Wine).
    Change copy = Carried(source, master);
    copy.readOnly = master.readOnly && Stat(place).kind == EntryKind::kNone;
    MakeFolders(FolderOf(place, AnsiCodePage()));
    Record(place, std::move(copy));
    return 0;
}

const SimulatedFileSystem::BaseListing& SimulatedFileSystem::ListBase(
    const std::string& folder, const std::vector<std::string>* only) {
    auto known = listings_.find(folder);
    if (known != listings_.end() &&
        (known->second.whole ||
         (only != nullptr && std::all_of(only->begin(), only->end(), [&](const std::string& name) {
              return AmongNames(name, known->second.asked);
          })))) {
        return known->second;
    }
    BaseListing listing;
    listing.whole = only == nullptr;
    if (only != nullptr) {
        listing.asked = *only;
    }
    listing.listed = base_.ListFolder(folder, &listing.names, &listing.key, only);
    if (listing.listed) {
        folderKeys_.emplace(folder, listing.key);
    }
    return listings_[folder] = std::move(listing);
}

bool SimulatedFileSystem::ListFolder(const std::string& folder, std::vector<std::string>* names,
                                     std::string* key, const std::vector<std::string>* only) {
    // A folder this simulation made or removed is its own; any other is
    // listed by the base, which tells its key as it lists it.
    const std::vector<std::string> none;
    const std::vector<std::string>* listed = &none;
    std::string folderKey;
    if (const Change* change = Find(folder)) {
        if (change->kind != EntryKind::kFolder) {
            return false;
        }
        folderKey = FolderKey(folder);
    } else {
        const BaseListing& base = ListBase(folder, only);
        if (!base.listed) {
            return false;
        }
        folderKey = base.key;
        listed = &base.names;
    }
    auto wanted = [&](const std::string& name) {
        return only == nullptr || AmongNames(name, *only);
    };
    std::set<std::string> keys;
    names->clear();
    for (const std::string& name : *listed) {
        if (!wanted(name)) {
            continue;
        }
        const std::string path = JoinedPath(folder, name, AnsiCodePage());
        const Change* change = Find(path);
        if (change == nullptr || change->kind != EntryKind::kNone) {
            names->push_back(name);
        }
        if (change != nullptr) {
            keys.insert(EntryKey(path));
        }
    }
    const std::string first = folderKey + "\\";
    for (auto at = changes_.lower_bound(first);
         at != changes_.end() && at->first.compare(0, first.size(), first) == 0; ++at) {
        const Change& change = at->second;
        if (change.folderKey == folderKey && change.kind != EntryKind::kNone &&
            keys.count(at->first) == 0 && wanted(change.name)) {
            names->push_back(change.name);
        }
    }
    if (key != nullptr) {
        *key = folderKey;
    }
    return true;
}

}  // namespace platform
