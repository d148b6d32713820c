#include "scenerycfg/conflict_pass.h"

#include <exception>

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
    RenameFailures failures;
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

LibraryRead RunConflictPass(platform::FileSystem& fs, const std::string& fsRoot, ConflictPass pass,
                            const std::function<void(const RenameReport&)>& report) {
    const bool scan = pass == ConflictPass::kScan;
    return ForEachSceneryArea(fs, fsRoot, [&](const SceneryArea& area) {
        // An area without a folder would name files below the root of the
        // current drive; it is skipped.
        if (area.skipped || area.folder.empty() || (scan && !area.active)) {
            return;
        }
        for (const char* name : kConflictNames) {
            const std::string base = area.folder + "\\scenery\\" + name;
            RenameReport rename{base + (scan ? ".bgl" : ".xxx"), base + (scan ? ".xxx" : ".bgl"),
                                false, std::string()};
            if (fs.Exists(rename.from) == 0) {
                continue;
            }
            rename.renamed = fs.Rename(rename.from, rename.to, &rename.reason);
            report(rename);
        }
    });
}

void ConflictScan(platform::FileSystem& fs, const std::string& fsRoot,
                  const ShowMessageFn& showMessage) {
    RunDialogPass(fs, fsRoot, ConflictPass::kScan, showMessage);
}

void ConflictRestore(platform::FileSystem& fs, const std::string& fsRoot,
                     const ShowMessageFn& showMessage) {
    RunDialogPass(fs, fsRoot, ConflictPass::kRestore, showMessage);
}
