#include "preview/simulated_file_system.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/path_names.h"
#include "preview/file_rules.h"

namespace preview {

using namespace platform;

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

// Keeps the changes made on it in memory, over another file system that
// nothing changes.
class ChangeOverlay : public FileSystem {
  public:
    explicit ChangeOverlay(FileSystem& base) : FileSystem(base.AnsiCodePage()), base_(base) {}

    Entry Stat(const std::string& path) override;
    std::unique_ptr<FileReader> OpenForReading(const std::string& path,
                                               std::string* reason) override;
    bool Write(const std::string& path, std::string_view bytes, WriteMode mode,
               std::string* reason) override;
    bool Rename(const std::string& from, const std::string& to, std::string* reason) override;
    bool Delete(const std::string& path, DeleteMode mode, std::string* reason) override;
    int ShellOperation(ShellFileOpRequest& request, std::string* reason) override;
    bool ListFolder(const std::string& folder, std::vector<std::string>* names,
                    std::string* key = nullptr,
                    const std::vector<std::string>* only = nullptr) override;
    std::string FolderKey(const std::string& folder) override;

  private:
    // An entry as this simulation has left it.
    struct Change {
        EntryKind kind = EntryKind::kNone;  // kNone: removed or renamed away
        bool readOnly = false;
        std::string bytes;     // a file written here
        std::string readFrom;  // or: a file whose bytes are the base's file of this name
        std::string folderKey;
        std::string name;  // as it was spelled when it came into being
    };

    // The same text for every spelling of the entry at path.
    std::string EntryKey(const std::string& path);
    // The change of the entry at path, or null when it is as the base has it.
    const Change* Find(const std::string& path);
    void Record(const std::string& path, Change change);
    // Records a file of these bytes at path; true.
    bool RecordFile(const std::string& path, std::string_view bytes);
    // The change that carries the file at path over to another name.
    Change Carried(const std::string& path, const Entry& entry);
    // Makes the folder and the missing folders above it, as the shell's copy
    // does once the rules have let it.
    void MakeFolders(const std::string& folder);

    // The base's answer about a folder's entries.
    struct BaseListing {
        bool listed = false;
        std::string key;
        std::vector<std::string> names;
        bool whole = false;  // every entry; else those of asked it holds
        std::vector<std::string> asked;
    };
    // The base's entries of the folder (those of only, or all), asked once.
    const BaseListing& ListBase(const std::string& folder, const std::vector<std::string>* only);

    FileSystem& base_;
    // The base's folder keys, asked once: nothing on the base changes
    // meanwhile.
    std::unordered_map<std::string, std::string> folderKeys_;
    // The base's listings by folder as asked: status reads each area's
    // folder, then the scan it previews finds it known.
    std::unordered_map<std::string, BaseListing> listings_;
    std::map<std::string, Change> changes_;  // by EntryKey: a folder's entries stand together
    std::set<std::string> changedNames_;     // their last names in ASCII lower case
};

std::string ChangeOverlay::FolderKey(const std::string& folder) {
    auto known = folderKeys_.find(folder);
    if (known == folderKeys_.end()) {
        known = folderKeys_.emplace(folder, base_.FolderKey(folder)).first;
    }
    return known->second;
}

std::string ChangeOverlay::EntryKey(const std::string& path) {
    return FolderKey(FolderOf(path, AnsiCodePage())) + "\\" +
           AsciiLower(LastNameOf(path, AnsiCodePage()));
}

const ChangeOverlay::Change* ChangeOverlay::Find(const std::string& path) {
    // Most paths name nothing this simulation changed: their last name
    // settles it without asking the base for a key.
    if (changedNames_.count(AsciiLower(LastNameOf(path, AnsiCodePage()))) == 0) {
        return nullptr;
    }
    auto found = changes_.find(EntryKey(path));
    return found == changes_.end() ? nullptr : &found->second;
}

void ChangeOverlay::Record(const std::string& path, Change change) {
    change.folderKey = FolderKey(FolderOf(path, AnsiCodePage()));
    if (change.name.empty()) {
        change.name = LastNameOf(path, AnsiCodePage());
    }
    changedNames_.insert(AsciiLower(LastNameOf(path, AnsiCodePage())));
    changes_[EntryKey(path)] = std::move(change);
}

bool ChangeOverlay::RecordFile(const std::string& path, std::string_view bytes) {
    Change change;
    change.kind = EntryKind::kFile;
    change.bytes.assign(bytes);
    Record(path, std::move(change));
    return true;
}

Entry ChangeOverlay::Stat(const std::string& path) {
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

std::unique_ptr<FileReader> ChangeOverlay::OpenForReading(const std::string& path,
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

bool ChangeOverlay::Write(const std::string& path, std::string_view bytes, WriteMode,
                          std::string*) {
    return RecordFile(path, bytes);
}

ChangeOverlay::Change ChangeOverlay::Carried(const std::string& path, const Entry& entry) {
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

bool ChangeOverlay::Rename(const std::string& from, const std::string& to, std::string*) {
    Change moved = Carried(from, Stat(from));
    Record(from, Change{});
    Record(to, std::move(moved));
    return true;
}

bool ChangeOverlay::Delete(const std::string& path, DeleteMode mode, std::string* reason) {
    if (mode == DeleteMode::kLeftover && Find(path) == nullptr && BeingWritten(base_, path)) {
        return Refuse(Failure::kInUse, reason);
    }
    Record(path, Change{});
    return true;
}

void ChangeOverlay::MakeFolders(const std::string& folder) {
    const std::string parent = FolderOf(folder, AnsiCodePage());
    if (Stat(folder).kind != EntryKind::kNone || parent.empty() || parent == folder) {
        return;
    }
    MakeFolders(parent);
    Change made;
    made.kind = EntryKind::kFolder;
    Record(folder, std::move(made));
}

int ChangeOverlay::ShellOperation(ShellFileOpRequest& request, std::string*) {
    std::string source, destination;
    if (!OneFileCopyOf(request, &source, &destination)) {
        return kShellErrorUnknown;
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

const ChangeOverlay::BaseListing& ChangeOverlay::ListBase(const std::string& folder,
                                                          const std::vector<std::string>* only) {
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

bool ChangeOverlay::ListFolder(const std::string& folder, std::vector<std::string>* names,
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

SimulatedFileSystem::SimulatedFileSystem(FileSystem& base)
    : SimulatedFileSystem(std::make_unique<ChangeOverlay>(base)) {}

SimulatedFileSystem::SimulatedFileSystem(std::unique_ptr<ChangeOverlay> changes)
    : RuledFileSystem(*changes), changes_(std::move(changes)) {}

SimulatedFileSystem::~SimulatedFileSystem() = default;

}  // namespace preview
