#include "scenerycfg/conflict_pass.h"

#include <algorithm>
#include <exception>

#include "platform/path_names.h"
#include "platform/shell.h"
#include "scenerycfg/rename_failures.h"

namespace {

// "TolvConfg" is how the package has always spelt this caption.
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
    try {
        const LibraryRead library =
            RunConflictPass(fs, fsRoot, pass, [&](const RenameReport& rename) {
                if (!rename.renamed) {
                    failures.Add(rename.from, rename.reason);
                }
            });
        if (library.state == LibraryState::kMissing) {
            showMessage(pass == ConflictPass::kScan ? kScanMissingLibrary : kRestoreMissingLibrary,
                        kCaption, platform::kMbIconHand);
            return;
        }
    } catch (const std::exception&) {
        // Out of memory: the pass ends here. Files renamed so far keep their
        // new names, as after any pass; the failures noted are still shown.
    }
    try {
        if (!failures.Empty()) {
            showMessage(failures.Message(), kCaption, platform::kMbIconHand);
        }
    } catch (const std::exception&) {
    }
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

// What the area's folder holds: its conflicting files from one listing of
// its scenery folder, their names matched as Windows matches them. Where
// that folder is there but cannot be listed, each name is asked for; where
// it is not there, whether the area's folder is.
AreaContents ContentsOf(platform::FileSystem& fs, const std::string& folder) {
    AreaContents contents;
    contents.looked = true;
    std::vector<std::string> names;
    const std::string scenery = ConflictFolderOf(folder, fs.AnsiCodePage());
    const bool listed = fs.ListFolder(scenery, &names);
    if (!listed && fs.Stat(scenery).kind != platform::EntryKind::kFolder) {
        contents.sceneryThere = false;
        contents.folderThere = fs.Stat(folder).kind == platform::EntryKind::kFolder;
        return contents;
    }
    auto holds = [&](const char* name, const char* extension) {
        if (!listed) {
            return fs.Exists(ConflictFilePath(folder, name, extension, fs.AnsiCodePage())) != 0;
        }
        const std::string wanted = std::string(name) + extension;
        return std::any_of(names.begin(), names.end(), [&](const std::string& entry) {
            return platform::SameFileName(entry, wanted);
        });
    };
    for (const char* name : kConflictNames) {
        const ConflictFileState file{name, holds(name, ".bgl"), holds(name, ".xxx")};
        if (file.bgl || file.xxx) {
            contents.files.push_back(file);
        }
    }
    return contents;
}

}  // namespace

LibraryRead RunConflictPass(platform::FileSystem& fs, const std::string& fsRoot, ConflictPass pass,
                            const ConflictPassListener& listener, LibraryFile library) {
    const bool scan = pass == ConflictPass::kScan;
    auto visit = [&](const SceneryArea& area) {
        // An area without a folder would name files below the root of the
        // current drive; it is not treated.
        const bool treated = !area.skipped && !area.folder.empty() && (!scan || area.active);
        const AreaContents contents =
            treated || (listener.lookEverywhere && !area.skipped && !area.folder.empty())
                ? ContentsOf(fs, area.folder)
                : AreaContents();
        if (listener.area) {
            listener.area(area, contents);
        }
        if (!treated) {
            return;
        }
        for (const ConflictFileState& file : contents.files) {
            if (!(scan ? file.bgl : file.xxx)) {
                continue;
            }
            const platform::CodePage& codePage = fs.AnsiCodePage();
            RenameReport rename{
                ConflictFilePath(area.folder, file.name, scan ? ".bgl" : ".xxx", codePage),
                ConflictFilePath(area.folder, file.name, scan ? ".xxx" : ".bgl", codePage), false,
                std::string()};
            rename.renamed = fs.Rename(rename.from, rename.to, &rename.reason);
            if (listener.rename) {
                listener.rename(rename);
            }
        }
    };
    return ForEachSceneryArea(fs, fsRoot, visit, library);
}

LibraryRead RunConflictPass(platform::FileSystem& fs, const std::string& fsRoot, ConflictPass pass,
                            const std::function<void(const RenameReport&)>& report,
                            LibraryFile library) {
    ConflictPassListener listener;
    listener.rename = report;
    return RunConflictPass(fs, fsRoot, pass, listener, library);
}

void ConflictScan(platform::FileSystem& fs, const std::string& fsRoot,
                  const ShowMessageFn& showMessage) {
    RunDialogPass(fs, fsRoot, ConflictPass::kScan, showMessage);
}

void ConflictRestore(platform::FileSystem& fs, const std::string& fsRoot,
                     const ShowMessageFn& showMessage) {
    RunDialogPass(fs, fsRoot, ConflictPass::kRestore, showMessage);
}
