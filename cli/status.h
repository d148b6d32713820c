#pragma once

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>
#include <vector>

#include "cli/virtual_store.h"
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

struct SpellingNoteStatus {
    std::string section;
    std::string title;
    std::string note;
};

struct Status {
    std::string package;
    std::string iniPath;
    LoadedSettings settings;
    std::vector<LayerFileStatus> actions;  // one per action of the plan
    // The areas whose Scenery folder is their Cache folder: an apply leaves
    // them alone.
    std::vector<PriorityArea> sceneryIsCache;
    std::vector<std::string> leftovers;  // temporary files of stopped runs
    LibraryRead library;
    int areas = 0;
    int activeAreas = 0;
    std::vector<ConflictAreaStatus> conflicts;
    // Sections read otherwise than their author may have meant, for their
    // spelling alone; they change no exit code.
    std::vector<SpellingNoteStatus> notes;
    std::vector<RenameReport> scanRenames;  // what a scan would do now
    std::vector<std::string> areaFolders;   // every area's folder, once
    VirtualStoreReport virtualStore;

    // An apply would copy or delete a file, a copy is stale, or there are
    // leftovers for it to remove.
    bool ApplyWouldChange() const;
    // A scan would rename, or try to rename, a conflicting file.
    bool ScanWouldChange() const { return !scanRenames.empty(); }
    // Windows keeps per-user copies of files the program reads or writes.
    bool HasVirtualStoreCopies() const { return !virtualStore.copies.empty(); }
};

// Reads the install; nothing is changed (the scan runs on a simulation).
Status GatherStatus(platform::FileSystem& fs, const InstallLayout& layout);
// The status for people, and as JSON: texts in UTF-8; for people, paths as
// the host names them.
void PrintStatus(const Status& status, platform::FileSystem& fs, std::ostream& out);
nlohmann::json StatusJson(const Status& status, platform::FileSystem& fs);
