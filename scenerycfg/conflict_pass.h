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

// What an area's folder holds, as far as a pass looked at it.
struct AreaContents {
    bool looked = false;                   // the pass looked at the folder
    bool folderThere = true;               // the area's folder is a folder
    bool sceneryThere = true;              // and so is the "scenery" folder below it
    std::vector<ConflictFileState> files;  // those there under either name
};

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

// What a pass reports, in the order it meets it.
struct ConflictPassListener {
    // Each area section, and each section skipped for its spelling, with
    // what its folder holds, the conflicting files as they were before the
    // pass renamed any. Folders are looked at in every area when
    // lookEverywhere is set, else only where the pass treats them.
    std::function<void(const SceneryArea&, const AreaContents&)> area;
    // Each rename made, or tried and failed.
    std::function<void(const RenameReport&)> rename;
    bool lookEverywhere = false;
};

// The conflict engine: one walk of the library (scenery.cfg unless library
// says otherwise); in each area it treats, its scenery folder is looked at
// once and each conflicting file there is renamed and reported in order. A
// rename that fails leaves its file as it is and the pass goes on.
LibraryRead RunConflictPass(platform::FileSystem& fs, const std::string& fsRoot, ConflictPass pass,
                            const ConflictPassListener& listener,
                            LibraryFile library = LibraryFile::kCurrent);
// The same, reporting the renames alone.
LibraryRead RunConflictPass(platform::FileSystem& fs, const std::string& fsRoot, ConflictPass pass,
                            const std::function<void(const RenameReport&)>& report,
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
