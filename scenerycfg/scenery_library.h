#pragma once

#include <functional>
#include <string>

// The simulator's scenery library (scenery.cfg) as the conflict passes read
// it, for the command-line program: its areas, and the passes with every
// rename reported and a dry run. The dialog program's ConflictScan and
// ConflictRestore walk the library the same way; tests hold the two to it.

// The conflicting files without their extensions, in the passes' order.
inline constexpr const char* kConflictNames[] = {
    "Drey_Facility_CQP8", "Drey_Marrowby_Brenmoor_VTPL", "Drey_Marrowby_Brenmoor_LWM2"};

struct SceneryArea {
    std::string title;   // the section's Title value
    std::string folder;  // resolved as the passes resolve Local; empty: names no folder
    bool active;         // Active is exactly "TRUE"
};

// Visits each area section of fsRoot\scenery.cfg in file order. False when
// there is no scenery.cfg.
bool ForEachSceneryArea(const std::string& fsRoot,
                        const std::function<void(const SceneryArea&)>& visit);

enum class ConflictPassKind { kScan, kRestore };

struct RenameReport {
    std::string from;
    std::string to;
    bool renamed;        // done, or with a dry run: would be done
    std::string reason;  // why not, in the system's words
};

// The scan's or the restore's renames in the order the dialog program's
// pass makes them; with dryRun nothing is renamed and each rename is
// foreseen (a rename whose new name is taken would fail). False when there
// is no scenery.cfg.
bool RunConflictPassReporting(const std::string& fsRoot, ConflictPassKind kind, bool dryRun,
                              const std::function<void(const RenameReport&)>& report);
