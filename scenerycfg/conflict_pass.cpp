#include "scenerycfg/conflict_pass.h"

#include <exception>

#include "ini/ini_store.h"
#include "paths/path_text.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "scenerycfg/area_path.h"
#include "scenerycfg/rename_failures.h"

namespace {

struct ConflictFile {
    const char* active;
    const char* disabled;
};

// In the order both passes treat them.
const ConflictFile kConflictFiles[] = {
    {"scenery\\Drey_Facility_CQP8.bgl", "scenery\\Drey_Facility_CQP8.xxx"},
    {"scenery\\Drey_Marrowby_Brenmoor_VTPL.bgl", "scenery\\Drey_Marrowby_Brenmoor_VTPL.xxx"},
    {"scenery\\Drey_Marrowby_Brenmoor_LWM2.bgl", "scenery\\Drey_Marrowby_Brenmoor_LWM2.xxx"},
};

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

enum class Pass { kScan, kRestore };

// Renames what is present in one area; a file that cannot be renamed keeps
// its name and is noted, and the pass goes on.
void TreatArea(const std::string& folder, Pass pass, RenameFailures* failures) {
    for (const ConflictFile& file : kConflictFiles) {
        std::string from = folder + "\\" + (pass == Pass::kScan ? file.active : file.disabled);
        std::string to = folder + "\\" + (pass == Pass::kScan ? file.disabled : file.active);
        if (platform::FileExists(from) == 0) {
            continue;
        }
        std::string reason;
        if (!platform::RenameFile(from, to, &reason)) {
            failures->Add(from, reason);
        }
    }
}

void TreatLibrary(const std::string& fsRoot, const std::string& library, Pass pass,
                  RenameFailures* failures) {
    CIniStore store(library);
    store.Load();
    for (int i = 0; i < store.SectionCount(); ++i) {
        const std::string section = store.SectionName(i);
        if (section.find("Area.") == std::string::npos) {
            continue;
        }
        // Every trailing backslash goes and exactly one comes back: the
        // resolver expects a folder path that ends in one.
        const std::string local =
            WithoutTrailingBackslashes(store.GetString(section, "Local")) + "\\";
        if (pass == Pass::kScan && store.GetString(section, "Active") != "TRUE") {
            continue;
        }
        // An area without a folder would name files below the root of the
        // current drive; it is skipped.
        const std::string folder = ResolveAreaPath(fsRoot, local);
        if (folder.empty()) {
            continue;
        }
        TreatArea(folder, pass, failures);
    }
}

void RunPass(const std::string& fsRoot, Pass pass, const ShowMessageFn& showMessage) {
    RenameFailures failures;
    try {
        const std::string library = fsRoot + "\\scenery.cfg";
        if (platform::FileExists(library) == 0) {
            showMessage(pass == Pass::kScan ? kScanMissingLibrary : kRestoreMissingLibrary,
                        kCaption, platform::kMbIconHand);
            return;
        }
        TreatLibrary(fsRoot, library, pass, &failures);
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

void ConflictScan(const std::string& fsRoot, const ShowMessageFn& showMessage) {
    RunPass(fsRoot, Pass::kScan, showMessage);
}

void ConflictRestore(const std::string& fsRoot, const ShowMessageFn& showMessage) {
    RunPass(fsRoot, Pass::kRestore, showMessage);
}
