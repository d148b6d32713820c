#include "cli/findings.h"

#include <string>

#include "cli/cli_text.h"

namespace {

class FindingMaker {
  public:
    FindingMaker(const InstallStatus& status, host::HostNames& names, PathStyle style)
        : status_(status), names_(names), style_(style) {}

    std::vector<Finding> Make() {
        LibraryChangeWaiting();
        SimulatorRunning();
        if (status_.library.state == LibraryState::kRead) {
            AreaFoldersMissing();
            DuplicateAreaNumbers();
            TooManyActiveAreas();
            PackageAreas();
        }
        RenamedByThisPackage();
        return std::move(findings_);
    }

  private:
    std::string Path(const std::string& path) {
        return style_ == PathStyle::kShown ? names_.ShownPath(path) : names_.Utf8Of(path);
    }
    std::string Text(const std::string& text) { return names_.Utf8Of(text); }
    Finding& Add(const char* key, bool needsAction) {
        findings_.push_back(Finding{key, needsAction, "", {}, "", "", nlohmann::json::object()});
        return findings_.back();
    }

    static const char* ListingName(AreaListing listing) {
        switch (listing) {
            case AreaListing::kActive:
                return "active";
            case AreaListing::kInactive:
                return "inactive";
            case AreaListing::kNotListed:
                break;
        }
        return "not listed";
    }

    void LibraryChangeWaiting() {
        const PendingLibrary& pending = status_.pending;
        if (!pending.waiting) {
            return;
        }
        Finding& finding = Add("libraryChangeWaiting", !pending.leftActive.empty());
        finding.summary =
            "A library change is waiting: " + Path(pending.read.path) +
            (pending.modified ? ", written " + UtcText(*pending.modified, false) : std::string());
        nlohmann::json changes = nlohmann::json::array();
        for (const ActiveChange& change : pending.changes) {
            finding.lines.push_back(Text(change.title) + " (" + Path(change.folder) +
                                    "): " + ListingName(change.now) + " now, " +
                                    ListingName(change.next) + " from the next start");
            changes.push_back({{"title", Text(change.title)},
                               {"folder", names_.Utf8Of(change.folder)},
                               {"now", ListingName(change.now)},
                               {"next", ListingName(change.next)}});
        }
        nlohmann::json leftActive = nlohmann::json::array();
        for (const RenameReport& rename : pending.leftActive) {
            finding.lines.push_back("left loadable at the next start: " + Path(rename.from));
            leftActive.push_back(names_.Utf8Of(rename.from));
        }
        if (pending.read.state == LibraryState::kUnreadable) {
            finding.lines.push_back("it cannot be read: " + Text(pending.read.reason));
        }
        finding.meaning =
            "At its next start the simulator makes this file its scenery.cfg (keeping the old "
            "one as OldScenery.cfg); what reads scenery.cfg until then, the start-up scan too, "
            "reads a library about to be replaced.";
        finding.action = pending.leftActive.empty()
                             ? "Nothing to do: the scan at the next start of the dialog program "
                               "reads the new library once the simulator has started."
                             : "Run tolvane scan --library new to rename them now.";
        finding.details = {
            {"path", names_.Utf8Of(pending.read.path)},
            {"written", pending.modified ? nlohmann::json(UtcText(*pending.modified, true))
                                         : nlohmann::json()},
            {"readable", pending.read.state == LibraryState::kRead},
            {"activeChanges", changes},
            {"leftActive", leftActive}};
    }

    void SimulatorRunning() {
        if (status_.simulatorProcesses.empty()) {
            return;
        }
        Finding& finding = Add("simulatorRunning", false);
        finding.summary =
            "The simulator is running: " + SimulatorProcessesText(status_.simulatorProcesses);
        finding.meaning =
            "Windows lets no other program rename or replace a file the simulator has open, and "
            "the simulator reads its scenery library only when it starts.";
        finding.action =
            "Close the simulator first: tolvane apply, scan and restore refuse while it runs "
            "(unless --force).";
        finding.details = {{"program", kSimulatorProgram},
                           {"processes", status_.simulatorProcesses}};
    }

    void AreaFoldersMissing() {
        const std::vector<MissingAreaFolder>& missing = status_.health.missingFolders;
        if (missing.empty()) {
            return;
        }
        Finding& finding = Add("areaFoldersMissing", true);
        finding.summary = std::to_string(missing.size()) + " active area" +
                          (missing.size() == 1 ? " lacks its folder" : "s lack their folders");
        nlohmann::json areas = nlohmann::json::array();
        for (const MissingAreaFolder& area : missing) {
            const char* what = area.folderMissing ? "no folder" : "no scenery folder in it";
            finding.lines.push_back("[" + Text(area.section) + "] " + Text(area.title) + ": " +
                                    Path(area.folder) + " (" + what + ")");
            areas.push_back({{"section", Text(area.section)},
                             {"title", Text(area.title)},
                             {"folder", names_.Utf8Of(area.folder)},
                             {"missing", area.folderMissing ? "folder" : "scenery folder"}});
        }
        finding.meaning =
            "The simulator cannot load an active area whose folder, or the scenery folder in "
            "it, is not there: often an add-on that was half uninstalled.";
        finding.action =
            "Put the folder back, or switch the area off or delete it in the simulator's "
            "Scenery Library.";
        finding.details = {{"areas", areas}};
    }

    void DuplicateAreaNumbers() {
        const std::vector<DuplicateAreaNumber>& duplicates = status_.health.duplicates;
        if (duplicates.empty()) {
            return;
        }
        Finding& finding = Add("duplicateAreaNumbers", true);
        finding.summary = "Area numbers given more than once: " + std::to_string(duplicates.size());
        nlohmann::json numbers = nlohmann::json::array();
        for (const DuplicateAreaNumber& duplicate : duplicates) {
            std::string line = std::to_string(duplicate.number) + ":";
            nlohmann::json sections = nlohmann::json::array();
            for (const std::string& section : duplicate.sections) {
                line += " [" + Text(section) + "]";
                sections.push_back(Text(section));
            }
            finding.lines.push_back(line);
            numbers.push_back({{"number", duplicate.number}, {"sections", sections}});
        }
        finding.meaning =
            "Each [Area.NNN] number must be unique: of two areas with one number, the simulator "
            "and the programs that read its library may each read another.";
        finding.action =
            "Give each area a number of its own (the simulator numbers them afresh when its "
            "Scenery Library is changed).";
        finding.details = {{"numbers", numbers}};
    }

    void TooManyActiveAreas() {
        const LibraryHealth& health = status_.health;
        if (!health.TooManyActive()) {
            return;
        }
        Finding& finding = Add("tooManyActiveAreas", true);
        finding.summary = std::to_string(health.activeAreas) + " active areas: more than the " +
                          std::to_string(kActiveAreaLimit) + " the simulator loads";
        nlohmann::json beyond = nlohmann::json::array();
        for (PriorityArea area : {PriorityArea::Higher, PriorityArea::Lower}) {
            if (health.BeyondLimit(area)) {
                finding.lines.push_back(std::string(PackageAreaName(area)) + " is number " +
                                        std::to_string(health.Package(area).place) +
                                        " of the active areas: it may not load");
                beyond.push_back(AreaName(area));
            }
        }
        finding.meaning = "With more than " + std::to_string(kActiveAreaLimit) +
                          " active areas the simulator loads for sure only those marked "
                          "Required=TRUE, and no longer keeps their order.";
        finding.action = "Switch off the areas you do not fly over in the Scenery Library.";
        finding.details = {{"activeAreas", health.activeAreas},
                           {"limit", kActiveAreaLimit},
                           {"packageAreasBeyond", beyond}};
    }

    void PackageAreas() {
        const LibraryHealth& health = status_.health;
        nlohmann::json missing = nlohmann::json::array();
        nlohmann::json inactive = nlohmann::json::array();
        std::vector<std::string> missingLines;
        std::vector<std::string> inactiveLines;
        for (PriorityArea area : {PriorityArea::Higher, PriorityArea::Lower}) {
            const PackageAreaState& state = health.Package(area);
            const std::string folder = status_.layout.AreaFolder(area);
            if (!state.listed) {
                missingLines.push_back(std::string(PackageAreaName(area)) + ": " + Path(folder));
                missing.push_back({{"area", AreaName(area)}, {"folder", names_.Utf8Of(folder)}});
            } else if (!state.active) {
                inactiveLines.push_back(std::string(PackageAreaName(area)) + ": [" +
                                        Text(state.section) + "] " + Text(state.title));
                inactive.push_back({{"area", AreaName(area)}, {"section", Text(state.section)}});
            }
        }
        if (!missing.empty()) {
            Finding& finding = Add("packageAreaMissing", true);
            finding.summary = "The library does not list the package's area" +
                              std::string(missing.size() == 1 ? "" : "s");
            finding.lines = missingLines;
            finding.meaning =
                "The simulator loads no layer file of an area its library does not "
                "list.";
            finding.action = "Add the folder with Add Area in the simulator's Scenery Library.";
            finding.details = {{"areas", missing}};
        }
        if (!inactive.empty()) {
            Finding& finding = Add("packageAreaInactive", true);
            finding.summary = "The package's area" +
                              std::string(inactive.size() == 1 ? " is" : "s are") + " switched off";
            finding.lines = inactiveLines;
            finding.meaning = "The simulator loads no layer file of an inactive area.";
            finding.action = "Switch it on in the simulator's Scenery Library.";
            finding.details = {{"areas", inactive}};
        }
        if (health.higher.listed && health.lower.listed && !health.PackageInOrder()) {
            Finding& finding = Add("packageAreasOutOfOrder", true);
            finding.summary = std::string(PackageAreaName(PriorityArea::Lower)) + " (layer " +
                              std::to_string(health.lower.layer) + ") is not below " +
                              PackageAreaName(PriorityArea::Higher) + " (layer " +
                              std::to_string(health.higher.layer) + ")";
            finding.meaning =
                "An area covers those below it; in this order the package's layer files lose to "
                "what they should cover.";
            finding.action = std::string("Move ") + PackageAreaName(PriorityArea::Higher) +
                             " above " + PackageAreaName(PriorityArea::Lower) +
                             " in the simulator's Scenery Library.";
            finding.details = {{"higherLayer", health.higher.layer},
                               {"lowerLayer", health.lower.layer}};
        }
    }

    void RenamedByThisPackage() {
        const std::vector<std::string>& renamed = status_.renamedByPackage;
        if (renamed.empty()) {
            return;
        }
        Finding& finding = Add("renamedByThisPackage", false);
        finding.summary = std::to_string(renamed.size()) + " file" +
                          (renamed.size() == 1 ? "" : "s") + " renamed by this package";
        nlohmann::json files = nlohmann::json::array();
        for (const std::string& path : renamed) {
            finding.lines.push_back(Path(path));
            files.push_back(names_.Utf8Of(path));
        }
        finding.meaning =
            "This package renames these files of other add-ons to .xxx so that the simulator "
            "skips them; they keep that name if the package is deleted without being undone.";
        finding.action =
            "Before you remove the package, run tolvane restore (or TolvaneConfig.exe -u).";
        finding.details = {{"files", files}};
    }

    const InstallStatus& status_;
    host::HostNames& names_;
    PathStyle style_;
    std::vector<Finding> findings_;
};

}  // namespace

std::vector<Finding> StatusFindings(const InstallStatus& status, host::HostNames& names,
                                    PathStyle style) {
    return FindingMaker(status, names, style).Make();
}

void PrintFindings(const std::vector<Finding>& findings, std::ostream& out) {
    out << "\nWarnings" << (findings.empty() ? ": none\n" : "\n");
    for (const Finding& finding : findings) {
        out << "  " << finding.summary << "\n";
        for (const std::string& line : finding.lines) {
            out << "    " << line << "\n";
        }
        out << "    What it means: " << finding.meaning << "\n    To do: " << finding.action
            << "\n";
    }
}

nlohmann::json FindingsJson(const std::vector<Finding>& findings) {
    nlohmann::json list = nlohmann::json::array();
    for (const Finding& finding : findings) {
        list.push_back({{"key", finding.key},
                        {"needsAction", finding.needsAction},
                        {"summary", finding.summary},
                        {"meaning", finding.meaning},
                        {"action", finding.action},
                        {"details", finding.details}});
    }
    return list;
}

std::string UtcText(std::int64_t seconds, bool iso) {
    // The civil date of a day count from 1970-01-01 (proleptic Gregorian).
    std::int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    const std::int64_t second = seconds - days * 86400;
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const std::int64_t day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const std::int64_t month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    char text[64];
    std::snprintf(text, sizeof text,
                  iso ? "%04lld-%02lld-%02lldT%02lld:%02lld:%02lldZ"
                      : "%04lld-%02lld-%02lld %02lld:%02lld:%02lld UTC",
                  static_cast<long long>(year), static_cast<long long>(month),
                  static_cast<long long>(day), static_cast<long long>(second / 3600),
                  static_cast<long long>(second / 60 % 60), static_cast<long long>(second % 60));
    return text;
}
