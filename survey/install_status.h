#pragma once

#include <string>
#include <vector>

#include "layers/settings_file.h"
#include "paths/install_layout.h"
#include "platform/file_system.h"
#include "scenerycfg/conflict_pass.h"
#include "survey/library_health.h"
#include "survey/pending_library.h"
#include "survey/virtual_store.h"

// The simulator's program: while it runs, Windows lets no other program
// rename or replace the scenery files it has open.
inline constexpr const char* kSimulatorProgram = "fs9.exe";

// What is on disk now, measured against the saved settings: the settings
// and where each came from, the layer plan's actions and the Scenery
// folders, and the scenery library's conflicting files. Nothing is changed
// to find out: what a scan would do is a scan on a simulation.

// One action of the plan and what its Scenery folder holds for it.
struct LayerFileStatus {
    PriorityArea area;
    std::string name;
    bool wanted;   // the action copies the file into its Scenery folder
    bool present;  // the Scenery folder holds it
    bool stale;    // held, but not byte for byte its Cache master
};

// An area holding a conflicting file under either name.
struct ConflictAreaStatus {
    std::string title;
    std::string folder;
    bool active;
    std::vector<ConflictFileState> files;  // those there under either name
};

// A section read otherwise than its author may have meant, for its
// spelling alone.
struct SpellingNoteStatus {
    std::string section;
    std::string title;
    std::string note;
};

struct InstallStatus {
    InstallLayout layout;
    std::string package;
    std::string iniPath;
    LoadedSettings settings;
    std::vector<LayerFileStatus> actions;  // one per action of the plan
    // An apply would copy or delete a file (the last action on each file
    // decides where it ends) or replace a stale copy.
    bool layersWouldChange = false;
    // The areas whose Scenery folder is their Cache folder: an apply leaves
    // them alone.
    std::vector<PriorityArea> sceneryIsCache;
    std::vector<std::string> leftovers;  // temporary files of stopped runs
    LibraryRead library;
    int areas = 0;
    int activeAreas = 0;
    std::vector<ConflictAreaStatus> conflicts;
    std::vector<SpellingNoteStatus> notes;  // they change no exit code
    std::vector<RenameReport> scanRenames;  // what a scan would do now
    std::vector<std::string> areaFolders;   // every area's folder, once
    // Conflicting files as .xxx in any area, active or not: the names this
    // package gave them, which a restore gives back.
    std::vector<std::string> renamedByPackage;
    LibraryHealth health;
    PendingLibrary pending;
    // The simulator's processes (the front end asks the host).
    std::vector<unsigned long> simulatorProcesses;
    VirtualStoreReport virtualStore;

    // An apply would change the Scenery folders or remove leftovers.
    bool ApplyWouldChange() const { return layersWouldChange || !leftovers.empty(); }
    // A scan would rename, or try to rename, a conflicting file.
    bool ScanWouldChange() const { return !scanRenames.empty(); }
    // Windows keeps per-user copies of files the program reads or writes.
    bool HasVirtualStoreCopies() const { return !virtualStore.copies.empty(); }
    // The library needs mending, or the change waiting in it would leave
    // conflicting files loadable at the simulator's next start.
    bool LibraryNeedsAction() const {
        return (library.state == LibraryState::kRead && health.NeedsAction()) ||
               !pending.leftActive.empty();
    }
};

// Reads the install in one walk of its library. localAppData: where Windows
// keeps this user's local data (the VirtualStore's folder), empty where it
// keeps none.
InstallStatus GatherInstallStatus(platform::FileSystem& fs, const InstallLayout& layout,
                                  const std::string& localAppData);
