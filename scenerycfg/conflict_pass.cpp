#include "scenerycfg/conflict_pass.h"

#include "platform/memory.h"
#include "platform/path_names.h"
#include "platform/shell.h"
#include "scenerycfg/rename_failures.h"

namespace {

// "TolvConfg", as the package spells it.
const char* const kCaption = "TolvConfg error";

const char* const kScanMissingLibrary =
    "TolvConfig was unable to find the FS scenery.cfg file. This program must be run from the "
    "[FS9]\\Addon Scenery\\Tolvane folder.  Please ensure that the program is installed to the "
    "correct folder, and that the scenery.cfg file is located in your FS9 root folder.";

// The same text but for the small s of "Addon scenery", as users know it.
const char* const kRestoreMissingLibrary =
    "TolvConfig was unable to find the FS scenery.cfg file. This program must be run from the "
    "[FS9]\\Addon scenery\\Tolvane folder.  Please ensure that the program is installed to the "
    "correct folder, and that the scenery.cfg file is located in your FS9 root folder.";

void RunDialogPass(platform::FileSystem& fs, const std::string& fsRoot, ConflictPass pass,
                   const ShowMessageFn& showMessage) {
    RenameFailures failures(fs.AnsiCodePage());
    bool missing = false;
    // Where memory runs out, the pass ends there: files renamed so far keep
    // their new names, as after any pass, and the failures noted are still
    // shown.
    platform::WithinMemory([&] {
        missing = RunConflictPass(fs, fsRoot, pass, [&](const RenameReport& rename) {
                      if (!rename.renamed) {
                          failures.Add(rename.from, rename.reason);
                      }
                  }).state == LibraryState::kMissing;
    });
    platform::WithinMemory([&] {
        if (missing) {
            showMessage(pass == ConflictPass::kScan ? kScanMissingLibrary : kRestoreMissingLibrary,
                        kCaption, platform::kMbIconHand);
        } else if (!failures.Empty()) {
            showMessage(failures.Message(), kCaption, platform::kMbIconHand);
        }
    });
}

}  // namespace

std::string ConflictFolderOf(const std::string& areaFolder, const platform::CodePage& codePage) {
    return platform::JoinedPath(areaFolder, "scenery", codePage);
}

std::string ConflictFilePath(const std::string& areaFolder, const char* name, const char* extension,
                             const platform::CodePage& codePage) {
    return platform::JoinedPath(ConflictFolderOf(areaFolder, codePage),
                                std::string(name) + extension, codePage);
}

namespace {

// The conflicting files' names with each extension, in table order.
struct ConflictNameLists {
    std::vector<std::string> bgl;
    std::vector<std::string> xxx;
    std::vector<std::string> both;  // .bgl, then .xxx
};

const ConflictNameLists& NameLists() {
    static const ConflictNameLists lists = [] {
        ConflictNameLists made;
        for (const char* name : kConflictNames) {
            made.bgl.push_back(std::string(name) + ".bgl");
            made.xxx.push_back(std::string(name) + ".xxx");
        }
        made.both = made.bgl;
        made.both.insert(made.both.end(), made.xxx.begin(), made.xxx.end());
        return made;
    }();
    return lists;
}

// Those of the names that the folder holds, in *held; false when the
// folder is not there. Where it is there but cannot be listed, each name
// is asked for.
bool HeldNames(platform::FileSystem& fs, const std::string& folder,
               const std::vector<std::string>& names, std::vector<std::string>* held,
               std::string* key = nullptr) {
    if (fs.ListFolder(folder, held, key, &names)) {
        return true;
    }
    if (key != nullptr) {
        *key = fs.FolderKey(folder);
    }
    if (fs.Stat(folder).kind != platform::EntryKind::kFolder) {
        return false;
    }
    held->clear();
    for (const std::string& name : names) {
        if (fs.Exists(platform::JoinedPath(folder, name, fs.AnsiCodePage())) != 0) {
            held->push_back(name);
        }
    }
    return true;
}

}  // namespace

AreaContents LookInArea(platform::FileSystem& fs, const std::string& areaFolder) {
    const ConflictNameLists& lists = NameLists();
    AreaContents contents;
    contents.looked = true;
    std::vector<std::string> held;
    if (!HeldNames(fs, ConflictFolderOf(areaFolder, fs.AnsiCodePage()), lists.both, &held,
                   &contents.sceneryKey)) {
        contents.sceneryThere = false;
        contents.folderThere = fs.Stat(areaFolder).kind == platform::EntryKind::kFolder;
        return contents;
    }
    for (size_t i = 0; i < lists.bgl.size(); ++i) {
        const ConflictFileState file{kConflictNames[i], platform::AmongNames(lists.bgl[i], held),
                                     platform::AmongNames(lists.xxx[i], held)};
        if (file.bgl || file.xxx) {
            contents.files.push_back(file);
        }
    }
    return contents;
}

void TreatArea(platform::FileSystem& fs, const SceneryArea& area, ConflictPass pass,
               const RenameReporter& report) {
    const bool scan = pass == ConflictPass::kScan;
    // An area without a folder would name files below the root of the
    // current drive; it is not treated.
    if (area.skipped || area.folder.empty() || (scan && !area.active)) {
        return;
    }
    const std::vector<std::string>& names = scan ? NameLists().bgl : NameLists().xxx;
    const platform::CodePage& codePage = fs.AnsiCodePage();
    std::vector<std::string> held;
    if (!HeldNames(fs, ConflictFolderOf(area.folder, codePage), names, &held)) {
        return;
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (!platform::AmongNames(names[i], held)) {
            continue;
        }
        RenameReport rename{
            ConflictFilePath(area.folder, kConflictNames[i], scan ? ".bgl" : ".xxx", codePage),
            ConflictFilePath(area.folder, kConflictNames[i], scan ? ".xxx" : ".bgl", codePage),
            false, std::string()};
        rename.renamed = fs.Rename(rename.from, rename.to, &rename.reason);
        report(rename);
    }
}

LibraryRead RunConflictPass(platform::FileSystem& fs, const std::string& fsRoot, ConflictPass pass,
                            const RenameReporter& report, LibraryFile library) {
    return ForEachSceneryArea(
        fs, fsRoot, [&](const SceneryArea& area) { TreatArea(fs, area, pass, report); }, library);
}

void ConflictScan(platform::FileSystem& fs, const std::string& fsRoot,
                  const ShowMessageFn& showMessage) {
    RunDialogPass(fs, fsRoot, ConflictPass::kScan, showMessage);
}

void ConflictRestore(platform::FileSystem& fs, const std::string& fsRoot,
                     const ShowMessageFn& showMessage) {
    RunDialogPass(fs, fsRoot, ConflictPass::kRestore, showMessage);
}
