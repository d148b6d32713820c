#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "scenerycfg/scenery_library.h"

// The three files known to conflict with the package, in the order both
// passes treat them: each lies in an area's "scenery" folder, named .bgl
// while the simulator loads it and .xxx while it is disabled.
inline constexpr const char* kConflictNames[] = {
    "Drey_Facility_CQP8", "Drey_Marrowby_Brenmoor_VTPL", "Drey_Marrowby_Brenmoor_LWM2"};

// The folder of an area where its conflicting files lie: "scenery" below it.
std::string ConflictFolderOf(const std::string& areaFolder, const platform::CodePage& codePage);
// Where a conflicting file of an area lies: that folder, then the name and
// its extension (".bgl" or ".xxx").
std::string ConflictFilePath(const std::string& areaFolder, const char* name, const char* extension,
                             const platform::CodePage& codePage);

// One conflicting file of an area: whether it is there under each name.
struct ConflictFileState {
    const char* name;  // one of kConflictNames
    bool bgl;          // there as .bgl
    bool xxx;          // there as .xxx
};

// What an area's folder holds.
struct AreaContents {
    bool looked = false;                   // the folder was looked at
    bool folderThere = true;               // the area's folder is a folder
    bool sceneryThere = true;              // and so is the "scenery" folder below it
    std::vector<ConflictFileState> files;  // those there under either name
    // The scenery folder's FolderKey: the same for every spelling of the
    // area's folder.
    std::string sceneryKey;
};

// Looks at an area's folder: its conflicting files under both names, and
// where there are none, whether its folders are there. One question to the
// file system in an area that has its folders.
AreaContents LookInArea(platform::FileSystem& fs, const std::string& areaFolder);

enum class ConflictPass {
    kScan,     // at every start: .bgl to .xxx in every active area
    kRestore,  // -u: .xxx back to .bgl in every area, active or not
};

struct RenameReport {
    std::string from;
    std::string to;
    bool renamed;        // done (on a simulated file system: would be done)
    std::string reason;  // why not, in the system's words
};

using RenameReporter = std::function<void(const RenameReport&)>;

// The conflict engine on one area of the library: when the pass treats it,
// its scenery folder is asked once for the names the pass renames, and each
// one there is renamed and reported in order. A rename that fails leaves
// its file as it is.
void TreatArea(platform::FileSystem& fs, const SceneryArea& area, ConflictPass pass,
               const RenameReporter& report);

// The engine over one walk of the library (scenery.cfg unless library says
// otherwise), area by area.
LibraryRead RunConflictPass(platform::FileSystem& fs, const std::string& fsRoot, ConflictPass pass,
                            const RenameReporter& report,
                            LibraryFile library = LibraryFile::kCurrent);

// Shows a message box: text, caption, style.
using ShowMessageFn =
    std::function<void(const std::string& text, const std::string& caption, unsigned style)>;

// The dialog program's passes: the engine, then the message about a missing
// scenery.cfg or about the files that could not be renamed.
void ConflictScan(platform::FileSystem& fs, const std::string& fsRoot,
                  const ShowMessageFn& showMessage);
void ConflictRestore(platform::FileSystem& fs, const std::string& fsRoot,
                     const ShowMessageFn& showMessage);
