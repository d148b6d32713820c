#pragma once

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>
#include <vector>

#include "app/install_layout.h"
#include "layers/settings_sources.h"

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
    std::vector<LoadedOption> settings;
    std::vector<LayerFileStatus> actions;  // one per action of the plan
    std::string libraryPath;
    bool libraryFound = false;
    int areas = 0;
    int activeAreas = 0;
    std::vector<ConflictAreaStatus> conflicts;

    // An apply would copy or delete a file, or a copy is stale.
    bool ApplyWouldChange() const;
    // An active area holds a conflicting file with its .bgl name.
    bool ScanWouldChange() const;
};

Status GatherStatus(const InstallLayout& layout);
void PrintStatus(const Status& status, std::ostream& out);
nlohmann::json StatusJson(const Status& status);
