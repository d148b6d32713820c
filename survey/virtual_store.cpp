#include "survey/virtual_store.h"

#include <map>
#include <set>

#include "layers/layer_plan.h"
#include "layers/leftovers.h"
#include "platform/path_names.h"
#include "scenerycfg/conflict_pass.h"

namespace {

// More folders than a VirtualStore holds; the walk stops there.
constexpr size_t kMostFoldersWalked = 10000;

struct WatchedFile {
    std::string path;
    StoredFile kind;
};

// A path without its drive, in ASCII lower case: how the VirtualStore files
// it; empty for a path that is not on a drive.
std::string StoreKey(const std::string& path) {
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\') {
        return std::string();
    }
    return platform::AsciiLower(path.substr(3));
}

// The files the program reads or writes that the store may hold a copy of.
// A library's areas are many, its copies few: an area's files count only
// where the store holds a copy of its scenery folder.
std::vector<WatchedFile> WatchedFiles(const platform::CodePage& codePage,
                                      const InstallLayout& layout,
                                      const std::vector<std::string>& areaFolders,
                                      const std::map<std::string, std::string>& copies) {
    std::vector<WatchedFile> files = {
        {layout.fsRoot + "\\scenery.cfg", StoredFile::kLibrary},
        {layout.iniPath, StoredFile::kSettings},
        {layout.logPath, StoredFile::kLog},
    };
    // The settings file's temporary siblings have names of their own.
    const std::string package = StoreKey(layout.exeDir);
    const std::string settings = platform::LastNameOf(layout.iniPath, codePage);
    std::set<std::string> storedFolders;
    for (const auto& [key, copy] : copies) {
        storedFolders.insert(platform::FolderOf(key, codePage));
        const std::string name = platform::LastNameOf(copy, codePage);
        if (key.compare(0, package.size(), package) == 0 &&
            key.size() == package.size() + name.size() && IsTemporaryOf(name, settings)) {
            files.push_back({layout.exeDir + name, StoredFile::kSettingsSibling});
        }
    }
    for (const PlannedAction& action : FinalActions(LayerSettings{})) {
        files.push_back({layout.Scenery(action.area) + action.name, StoredFile::kLayer});
    }
    for (const std::string& folder : areaFolders) {
        if (storedFolders.count(StoreKey(ConflictFolderOf(folder, codePage))) == 0) {
            continue;
        }
        for (const char* name : kConflictNames) {
            files.push_back(
                {ConflictFilePath(folder, name, ".bgl", codePage), StoredFile::kConflict});
            files.push_back(
                {ConflictFilePath(folder, name, ".xxx", codePage), StoredFile::kDisabled});
        }
    }
    return files;
}

// The regular files below a folder, each by its whole path. Links are not
// followed and no folder is walked twice, so that the walk ends whatever
// the store holds (a link to its own folder, or to the root).
void FilesBelow(platform::FileSystem& fs, const std::string& folder, std::set<std::string>* walked,
                std::vector<std::string>* files) {
    std::vector<std::string> names;
    if (walked->size() >= kMostFoldersWalked || !walked->insert(fs.FolderKey(folder)).second ||
        !fs.ListFolder(folder, &names)) {
        return;
    }
    for (const std::string& name : names) {
        const std::string path = platform::JoinedPath(folder, name, fs.AnsiCodePage());
        const platform::Entry entry = fs.Stat(path);
        if (entry.symlink) {
            continue;
        }
        if (entry.kind == platform::EntryKind::kFolder) {
            FilesBelow(fs, path, walked, files);
        } else if (entry.kind == platform::EntryKind::kFile) {
            files->push_back(path);
        }
    }
}

}  // namespace

VirtualStoreReport FindVirtualStoreCopies(platform::FileSystem& fs, const InstallLayout& layout,
                                          const std::vector<std::string>& areaFolders,
                                          const std::string& localAppData) {
    VirtualStoreReport report;
    const std::string& appData = localAppData;
    const std::string rootKey = StoreKey(layout.fsRoot);
    if (appData.empty() || rootKey.empty()) {
        return report;
    }
    const platform::CodePage& codePage = fs.AnsiCodePage();
    const std::string store = platform::JoinedPath(appData, "VirtualStore", codePage);
    report.folder = platform::JoinedPath(store, layout.fsRoot.substr(3), codePage);
    std::vector<std::string> stored;
    std::set<std::string> walked;
    FilesBelow(fs, store, &walked, &stored);
    std::map<std::string, std::string> copies;  // by StoreKey of the real file
    for (const std::string& path : stored) {
        copies.emplace(platform::AsciiLower(path.substr(store.size() + 1)), path);
    }
    for (const WatchedFile& file : WatchedFiles(fs.AnsiCodePage(), layout, areaFolders, copies)) {
        const auto found = copies.find(StoreKey(file.path));
        if (found == copies.end()) {
            continue;
        }
        VirtualStoreCopy copy{file.path, found->second, file.kind, fs.Exists(file.path) != 0,
                              false,     false};
        copy.differs = copy.realExists && !platform::SameContent(fs, file.path, copy.copy);
        copy.loadedTwin = file.kind == StoredFile::kDisabled &&
                          fs.Exists(file.path.substr(0, file.path.size() - 4) + ".bgl") != 0;
        report.copies.push_back(std::move(copy));
        copies.erase(found);
    }
    for (const auto& [key, path] : copies) {
        report.otherFiles += key.compare(0, rootKey.size() + 1, rootKey + "\\") == 0 ? 1 : 0;
    }
    return report;
}
