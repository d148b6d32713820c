#pragma once

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>
#include <vector>

#include "layers/settings_file.h"
#include "paths/install_layout.h"
#include "platform/file_system.h"
#include "scenerycfg/conflict_pass.h"

// What is on disk now, measured against the saved settings: the settings
// and where each came from, the layer plan's actions and the Scenery
// folders, and the scenery library's conflicting files.
struct LayerFileStatus {
    PriorityArea area;
    std::string name;
    bool wanted;   // the plan wants the file in its Scenery folder
    bool present;  // the Scenery folder holds it
    bool stale;    // held, but not byte for byte its Cache master
};

struct ConflictFileStatus {
    std::string name;  // without extension
    bool bgl;          // present with its .bgl name
    bool xxx;          // present with its .xxx name
};

struct ConflictAreaStatus {
    std::string title;
    std::string folder;
    bool active;
    std::vector<ConflictFileStatus> files;  // those present in either name
};

struct Status {
    std::string package;
    std::string iniPath;
    LoadedSettings settings;
    std::vector<LayerFileStatus> actions;  // one per action of the plan
    LibraryRead library;
    int areas = 0;
    int activeAreas = 0;
    std::vector<ConflictAreaStatus> conflicts;
    std::vector<RenameReport> scanRenames;  // what a scan would do now

    // An apply would copy or delete a file, or a copy is stale.
    bool ApplyWouldChange() const;
    // A scan would rename, or try to rename, a conflicting file.
    bool ScanWouldChange() const { return !scanRenames.empty(); }
};

// Reads the install; nothing is changed (the scan runs on a simulation).
Status GatherStatus(platform::FileSystem& fs, const InstallLayout& layout);
void PrintStatus(const Status& status, std::ostream& out);
nlohmann::json StatusJson(const Status& status);
