#pragma once

#include <string>
#include <vector>

#include "fileops/activity_log.h"
#include "layers/layer_plan.h"
#include "layers/layer_settings.h"
#include "layers/leftovers.h"
#include "paths/install_layout.h"
#include "platform/file_system.h"

// What one apply did.
struct ApplyReport {
    std::string settingsBytes;  // what the settings file was given
    bool settingsSaved = false;
    std::string settingsReason;             // why it was not saved
    std::vector<ActionReport> actions;      // the plan's actions, each with its outcome
    std::vector<LeftoverReport> leftovers;  // temporary files of stopped runs
    bool logWritten = false;
    std::string logReason;  // why log.txt was not written
};

// One apply of the settings, in the order "Apply settings and exit" makes
// it: the settings file is saved, the log emptied, the layer plan run
// (each action logging one line), the leftovers of stopped runs removed,
// and log.txt written. No step's outcome stops a later one. The log holds the lines afterwards;
// owner is the window that owns the shell's copy.
ApplyReport ApplySettings(const InstallLayout& layout, const LayerSettings& settings,
                          platform::FileSystem& fs, ActivityLog& log,
                          platform::WindowHandle owner = nullptr);
