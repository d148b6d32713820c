#pragma once

#include <functional>
#include <string>

#include "platform/file_system.h"
#include "scenerycfg/scenery_library.h"

// The three files known to conflict with the package, in the order both
// passes treat them: each lies in an area's "scenery" folder, named .bgl
// while the simulator loads it and .xxx while it is disabled.
inline constexpr const char* kConflictNames[] = {
    "Drey_Facility_CQP8", "Drey_Marrowby_Brenmoor_VTPL", "Drey_Marrowby_Brenmoor_LWM2"};

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

// The conflict engine: one walk of the library, each rename made and
// reported in order; a rename that fails leaves its file as it is and the
// pass goes on.
LibraryRead RunConflictPass(platform::FileSystem& fs, const std::string& fsRoot, ConflictPass pass,
                            const std::function<void(const RenameReport&)>& report);

// Shows a message box: text, caption, style.
using ShowMessageFn =
    std::function<void(const std::string& text, const std::string& caption, unsigned style)>;

// The dialog program's passes: the engine, then the message about a missing
// scenery.cfg or about the files that could not be renamed.
void ConflictScan(platform::FileSystem& fs, const std::string& fsRoot,
                  const ShowMessageFn& showMessage);
void ConflictRestore(platform::FileSystem& fs, const std::string& fsRoot,
                     const ShowMessageFn& showMessage);
