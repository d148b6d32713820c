#include "cli/status.h"

#include <algorithm>
#include <cstdio>

#include "cli/cli_text.h"
#include "cli/findings.h"
#include "layers/layer_options.h"

namespace {

std::string FileState(const ConflictFileState& file) {
    return file.bgl && file.xxx ? "both" : file.bgl ? ".bgl" : ".xxx";
}

// What a VirtualStore copy means, in one line.
const char* Meaning(const VirtualStoreCopy& copy) {
    switch (copy.kind) {
        case StoredFile::kLibrary:
            return "the simulator started without administrator rights reads this copy, started "
                   "as administrator the real file";
        case StoredFile::kSettings:
            return "TolvaneConfig started without administrator rights keeps its settings here; "
                   "started as administrator it does not see them";
        case StoredFile::kSettingsSibling:
            return "left behind by a settings save without administrator rights";
        case StoredFile::kLog:
            return "the log of an apply made without administrator rights";
        case StoredFile::kLayer:
            return !copy.realExists ? "the simulator started as administrator does not see this "
                                      "copy"
                   : copy.differs   ? "the simulator started as administrator loads the real "
                                      "file, which differs from this copy"
                                    : "the same file twice: an apply without administrator "
                                      "rights changes only this copy";
        case StoredFile::kConflict:
            return "the simulator started without administrator rights loads this conflicting "
                   "file";
        case StoredFile::kDisabled:
            break;
    }
    return copy.loadedTwin ? "the real .bgl is still loaded by the simulator started as "
                             "administrator"
                           : "a disabled copy the simulator started as administrator does not "
                             "see";
}

void PrintVirtualStore(const VirtualStoreReport& report, host::HostNames& names,
                       std::ostream& out) {
    if (report.folder.empty()) {
        out << "\nVirtualStore: none here (Windows keeps per-user copies from Vista on).\n";
        return;
    }
    out << "\nVirtualStore (" << names.ShownPath(report.folder) << ")\n";
    if (report.copies.empty()) {
        out << "  no copy of a file this program reads or writes\n";
    }
    for (const VirtualStoreCopy& copy : report.copies) {
        out << "  " << names.ShownPath(copy.copy) << "\n    the real file: "
            << (!copy.realExists ? "not there"
                : copy.differs   ? "there, different"
                                 : "there, the same")
            << "\n    " << Meaning(copy) << "\n";
    }
    if (report.otherFiles > 0) {
        out << "  " << report.otherFiles << " other file" << (report.otherFiles == 1 ? "" : "s")
            << " there\n";
    }
}

const char* Source(const InstallStatus& status, size_t option) {
    return status.settings.fromFile[option] ? "file" : "default";
}

}  // namespace

void PrintStatus(const InstallStatus& status, host::HostNames& names, std::ostream& out) {
    char line[512];
    out << "Package " << names.ShownPath(status.package) << "\n\nSettings ("
        << names.ShownPath(status.iniPath) << ")\n";
    size_t index = 0;
    for (const LayerOption& option : LayerOptions()) {
        std::snprintf(line, sizeof line, "  %-6s %-12s %4d  %s\n", option.section, option.key,
                      status.settings.values.*option.field, Source(status, index++));
        out << line;
    }
    out << "\nLayer files: the plan's actions, and the Scenery folders\n";
    int number = 0;
    for (const LayerFileStatus& action : status.actions) {
        std::snprintf(line, sizeof line, "  %2d  %-6s %-7s %-7s %s%s\n", ++number,
                      AreaName(action.area), action.wanted ? "enable" : "disable",
                      action.present ? "present" : "absent", action.name.c_str(),
                      action.stale ? "  (stale: differs from its Cache master)" : "");
        out << line;
    }
    for (PriorityArea area : status.sceneryIsCache) {
        out << "  " << names.ShownPath(status.layout.Scenery(area))
            << " is its Cache folder (a link from one to the other): an apply copies and "
               "deletes nothing there; make it a folder of its own\n";
    }
    if (!status.leftovers.empty()) {
        out << "  Left behind by runs that were stopped while they wrote (an apply removes "
               "them):\n";
        for (const std::string& leftover : status.leftovers) {
            out << "    " << names.ShownPath(leftover) << "\n";
        }
    }
    out << "\nScenery library (" << names.ShownPath(status.library.path) << ")\n";
    if (status.library.state == LibraryState::kMissing) {
        out << "  not found\n";
    } else {
        out << "  " << status.areas << " areas, " << status.activeAreas << " active\n";
        for (const ConflictAreaStatus& area : status.conflicts) {
            out << "  " << names.Utf8Of(area.title) << (area.active ? "" : " (inactive)")
                << "\n    " << names.ShownPath(area.folder) << "\n";
            for (const ConflictFileState& file : area.files) {
                out << "      " << file.name << ": " << FileState(file) << "\n";
            }
        }
    }
    if (!status.notes.empty()) {
        out << "  Spelling that the simulator and this program read otherwise than meant:\n";
        for (const SpellingNoteStatus& note : status.notes) {
            out << "    [" << names.Utf8Of(note.section) << "] " << names.Utf8Of(note.title) << ": "
                << names.Utf8Of(note.note) << "\n";
        }
    }
    PrintFindings(StatusFindings(status, names, PathStyle::kShown), out);
    out << "\n"
        << (status.ApplyWouldChange() ? "An apply would change the Scenery folders."
                                      : "The Scenery folders match the settings.")
        << "\n";
    const auto renamed = std::count_if(status.scanRenames.begin(), status.scanRenames.end(),
                                       [](const RenameReport& r) { return r.renamed; });
    if (renamed > 0) {
        out << "A scan would rename conflicting files.\n";
    }
    for (const RenameReport& rename : status.scanRenames) {
        if (!rename.renamed) {
            out << "A scan could not rename " << names.ShownPath(rename.from) << ": "
                << names.Utf8Of(rename.reason) << "\n";
        }
    }
    if (status.scanRenames.empty()) {
        out << "No active area holds a conflicting .bgl file.\n";
    }
    PrintVirtualStore(status.virtualStore, names, out);
}

nlohmann::json StatusJson(const InstallStatus& status, host::HostNames& names) {
    nlohmann::json settings = nlohmann::json::array();
    size_t index = 0;
    for (const LayerOption& option : LayerOptions()) {
        settings.push_back({{"section", option.section},
                            {"key", option.key},
                            {"value", status.settings.values.*option.field},
                            {"source", Source(status, index++)}});
    }
    nlohmann::json actions = nlohmann::json::array();
    for (const LayerFileStatus& action : status.actions) {
        actions.push_back({{"area", AreaName(action.area)},
                           {"file", action.name},
                           {"wanted", action.wanted},
                           {"present", action.present},
                           {"stale", action.stale}});
    }
    nlohmann::json sameFolders = nlohmann::json::array();
    for (PriorityArea area : status.sceneryIsCache) {
        sameFolders.push_back(AreaName(area));
    }
    nlohmann::json leftovers = nlohmann::json::array();
    for (const std::string& leftover : status.leftovers) {
        leftovers.push_back(names.Utf8Of(leftover));
    }
    nlohmann::json conflicts = nlohmann::json::array();
    for (const ConflictAreaStatus& area : status.conflicts) {
        nlohmann::json files = nlohmann::json::array();
        for (const ConflictFileState& file : area.files) {
            files.push_back({{"name", file.name}, {"state", FileState(file)}});
        }
        conflicts.push_back({{"title", names.Utf8Of(area.title)},
                             {"folder", names.Utf8Of(area.folder)},
                             {"active", area.active},
                             {"files", files}});
    }
    nlohmann::json notes = nlohmann::json::array();
    for (const SpellingNoteStatus& note : status.notes) {
        notes.push_back({{"section", names.Utf8Of(note.section)},
                         {"title", names.Utf8Of(note.title)},
                         {"note", names.Utf8Of(note.note)}});
    }
    nlohmann::json renames = nlohmann::json::array();
    for (const RenameReport& rename : status.scanRenames) {
        renames.push_back(RenameJson(names, rename));
    }
    nlohmann::json copies = nlohmann::json::array();
    for (const VirtualStoreCopy& copy : status.virtualStore.copies) {
        copies.push_back({{"file", names.Utf8Of(copy.file)},
                          {"copy", names.Utf8Of(copy.copy)},
                          {"realExists", copy.realExists},
                          {"differs", copy.differs},
                          {"meaning", Meaning(copy)}});
    }
    return {{"package", names.Utf8Of(status.package)},
            {"settingsFile", names.Utf8Of(status.iniPath)},
            {"settings", settings},
            {"layers", actions},
            {"sceneryIsCache", sameFolders},
            {"leftovers", leftovers},
            {"library",
             {{"path", names.Utf8Of(status.library.path)},
              {"found", status.library.state != LibraryState::kMissing},
              {"readable", status.library.state == LibraryState::kRead},
              {"areas", status.areas},
              {"activeAreas", status.activeAreas},
              {"activeAreaLimit", kActiveAreaLimit},
              {"conflicts", conflicts},
              {"notes", notes}}},
            {"applyWouldChange", status.ApplyWouldChange()},
            {"scanWouldChange", status.ScanWouldChange()},
            {"scanRenames", renames},
            {"virtualStore",
             {{"folder", names.Utf8Of(status.virtualStore.folder)},
              {"copies", copies},
              {"otherFiles", status.virtualStore.otherFiles}}},
            {"findings", FindingsJson(StatusFindings(status, names, PathStyle::kWindows))}};
}
