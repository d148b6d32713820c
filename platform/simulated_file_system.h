#pragma once

#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/file_system.h"

namespace platform {

// A file system that reads through to another and keeps every change in
// memory: nothing on the other one changes. What it would refuse it learns
// from the other one (what stands at a path, whether a folder lets this
// user change its entries, which spellings name the same entry), and it
// refuses it as the system does, in the system's words. Every preview is
// the real code run on one of these.
class SimulatedFileSystem : public FileSystem {
  public:
    explicit SimulatedFileSystem(FileSystem& base) : FileSystem(base.AnsiCodePage()), base_(base) {}

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

}  // namespace platform
