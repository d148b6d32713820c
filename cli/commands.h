#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/install_layout.h"
#include "scenerycfg/scenery_library.h"

// The command-line program's commands that change things (or with a dry
// run say what they would change). Each returns the exit code.

// A settings-file key and the value --set gives it.
using SettingChange = std::pair<std::string, int>;

// The saved settings, changed, saved and applied as the dialog's apply does
// (same settings file, same log.txt).
int RunApply(const InstallLayout& layout, const std::vector<SettingChange>& changes, bool dryRun,
             bool json, std::ostream& out, std::ostream& err);

// The dialog program's start-up scan, or its -u restore.
int RunConflictPass(const InstallLayout& layout, ConflictPassKind kind, bool dryRun, bool json,
                    std::ostream& out, std::ostream& err);
