#pragma once

#include <functional>
#include <string>

// Shows a message box: text, caption, style.
using ShowMessageFn =
    std::function<void(const std::string& text, const std::string& caption, unsigned style)>;

// In every active scenery area that the simulator's scenery.cfg lists,
// gives each of the three known conflicting files that is present the
// extension .xxx, so that the simulator no longer loads it.
void ConflictScan(const std::string& fsRoot, const ShowMessageFn& showMessage);

// In every scenery area that scenery.cfg lists, active or not, gives the
// .xxx files their .bgl names back.
void ConflictRestore(const std::string& fsRoot, const ShowMessageFn& showMessage);
