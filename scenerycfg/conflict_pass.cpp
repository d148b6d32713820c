#include "scenerycfg/conflict_pass.h"

#include <vector>

#include "fileops/file_exists.h"
#include "ini/ini_store.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "scenerycfg/area_path.h"

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

const char* const kCaption = "TolvConfg error";

const char* const kScanMissingLibrary =
    "TolvConfig was unable to find the FS scenery.cfg file. This program must be run from the "
    "[FS9]\\Addon Scenery\\Tolvane folder.  Please ensure that the program is installed to the "
    "correct folder, and that the scenery.cfg file is located in your FS9 root folder.";

const char* const kRestoreMissingLibrary =
    "TolvConfig was unable to find the FS scenery.cfg file. This program must be run from the "
    "[FS9]\\Addon scenery\\Tolvane folder.  Please ensure that the program is installed to the "
    "correct folder, and that the scenery.cfg file is located in your FS9 root folder.";

enum class Pass { kScan, kRestore };

// Renames what is present in one area; a file that cannot be renamed keeps
// its name and is noted, and the pass goes on.
void TreatArea(const std::string& folder, Pass pass, std::vector<std::string>* failures) {
    for (const ConflictFile& file : kConflictFiles) {
        std::string from = folder + "\\" + (pass == Pass::kScan ? file.active : file.disabled);
        std::string to = folder + "\\" + (pass == Pass::kScan ? file.disabled : file.active);
        if (FileExists(from) == 0) {
            continue;
        }
        std::string reason;
        if (!platform::RenameFile(from, to, &reason)) {
            failures->push_back(from + "\n    " + reason);
        }
    }
}

void RunPass(const std::string& fsRoot, Pass pass, const ShowMessageFn& showMessage) {
    const std::string library = fsRoot + "\\scenery.cfg";
    if (FileExists(library) == 0) {
        showMessage(pass == Pass::kScan ? kScanMissingLibrary : kRestoreMissingLibrary, kCaption,
                    platform::kMbIconHand);
        return;
    }
    CIniStore store(library);
    store.Load();
    std::vector<std::string> failures;
    for (int i = 0; i < store.SectionCount(); ++i) {
        const std::string section = store.SectionName(i);
        if (section.find("Area.") == std::string::npos) {
            continue;
        }
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
        TreatArea(folder, pass, &failures);
    }
    if (!failures.empty()) {
        std::string text = "TolvaneConfig could not rename these files; they keep their names:";
        for (const std::string& failure : failures) {
            text += "\n\n" + failure;
        }
        showMessage(text, kCaption, platform::kMbIconHand);
    }
}

}  // namespace

void ConflictScan(const std::string& fsRoot, const ShowMessageFn& showMessage) {
    RunPass(fsRoot, Pass::kScan, showMessage);
}

void ConflictRestore(const std::string& fsRoot, const ShowMessageFn& showMessage) {
    RunPass(fsRoot, Pass::kRestore, showMessage);
}
