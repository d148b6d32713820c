#include "cli/commands.h"

#include <nlohmann/json.hpp>

#include "cli/cli_text.h"
#include "layers/apply.h"
#include "layers/layer_options.h"
#include "layers/settings_file.h"
#include "survey/install_status.h"

namespace {

// What the apply will be made of: the saved settings with the changes, each
// value 0 or 1 as the dialog's check boxes give them back.
LayerSettings ChosenSettings(LayerSettings settings, const std::vector<SettingChange>& changes) {
    for (const auto& [key, value] : changes) {
        for (const LayerOption& option : LayerOptions()) {
            if (key == option.key) {
                settings.*option.field = value;
            }
        }
    }
    for (const LayerOption& option : LayerOptions()) {
        settings.*option.field = settings.*option.field != 0 ? 1 : 0;
    }
    return settings;
}

const char* ResultName(ActionResult result) {
    switch (result) {
        case ActionResult::kDone:
            return "done";
        case ActionResult::kNotThere:
            return "not there";
        case ActionResult::kFailed:
            break;
    }
    return "failed";
}

// Every failure of the apply on standard error, with its reason; true when
// there was one. A delete of a file that was not there is none.
bool ReportFailures(const CommandContext& context, const ApplyReport& report) {
    const std::string could = context.dryRun ? "would not " : "could not ";
    bool failed = false;
    auto fail = [&](const std::string& what, const std::string& reason) {
        context.err << "tolvane: " << could << what << ": " << context.names.Utf8Of(reason) << "\n";
        failed = true;
    };
    auto shown = [&](const std::string& path) { return context.names.ShownPath(path); };
    if (!report.settingsSaved) {
        fail("write " + shown(context.layout.iniPath), report.settingsReason);
    }
    for (const ActionReport& action : report.actions) {
        if (action.outcome.result != ActionResult::kFailed) {
            continue;
        }
        const std::string copy =
            shown(context.layout.Scenery(action.action.area) + action.action.name);
        fail(action.action.enable
                 ? "copy " + shown(context.layout.Cache(action.action.area) + action.action.name) +
                       " to " + copy
                 : "delete " + copy,
             action.outcome.reason);
    }
    for (const LeftoverReport& leftover : report.leftovers) {
        if (!leftover.removed) {
            fail("remove " + shown(leftover.path), leftover.reason);
        }
    }
    if (!report.logWritten) {
        fail("write " + shown(context.layout.logPath), report.logReason);
    }
    return failed;
}

nlohmann::json ApplyJson(const CommandContext& context, const ApplyReport& report,
                         const ActivityLog& log) {
    host::HostNames& names = context.names;
    nlohmann::json actions = nlohmann::json::array();
    for (const ActionReport& action : report.actions) {
        actions.push_back({{"area", AreaName(action.action.area)},
                           {"file", action.action.name},
                           {"action", action.action.enable ? "copy" : "delete"},
                           {"result", ResultName(action.outcome.result)},
                           {"reason", names.Utf8Of(action.outcome.reason)}});
    }
    nlohmann::json lines = nlohmann::json::array();
    for (const std::string& line : LinesOf(log.Text())) {
        lines.push_back(names.Utf8Of(line));
    }
    nlohmann::json leftovers = nlohmann::json::array();
    for (const LeftoverReport& leftover : report.leftovers) {
        leftovers.push_back({{"path", names.Utf8Of(leftover.path)},
                             {"removed", leftover.removed},
                             {"reason", names.Utf8Of(leftover.reason)}});
    }
    return {{"command", "apply"},
            {"dryRun", context.dryRun},
            {"settingsFile", names.Utf8Of(context.layout.iniPath)},
            {"settingsFileContent", report.settingsBytes},
            {"settingsSaved", report.settingsSaved},
            {"logFile", names.Utf8Of(context.layout.logPath)},
            {"log", lines},
            {"logWritten", report.logWritten},
            {"actions", actions},
            {"leftovers", leftovers}};
}

void PrintApply(const CommandContext& context, const ApplyReport& report, const ActivityLog& log) {
    std::ostream& out = context.out;
    const bool dry = context.dryRun;
    const std::string iniPath = context.names.ShownPath(context.layout.iniPath);
    if (report.settingsSaved) {
        out << (dry ? "Would write " : "Wrote ") << iniPath << ":\n";
        for (const std::string& line : LinesOf(report.settingsBytes)) {
            const std::string text = line.substr(0, line.size() - 1);  // without its CR
            if (!text.empty()) {
                out << "  " << text << "\n";
            }
        }
    } else {
        out << (dry ? "Would not write " : "Could not write ") << iniPath << "\n";
    }
    out << (dry ? "Would take these actions, " : "Took these actions, ")
        << (report.logWritten ? "logged to " : "not logged to ")
        << context.names.ShownPath(context.layout.logPath) << ":\n";
    for (const std::string& line : LinesOf(log.Text())) {
        out << "  " << context.names.Utf8Of(line) << "\n";
    }
    for (const LeftoverReport& leftover : report.leftovers) {
        if (leftover.removed) {
            out << (dry ? "Would remove " : "Removed ") << context.names.ShownPath(leftover.path)
                << ", left behind by a run that was stopped\n";
        }
    }
}

}  // namespace

bool LibraryReadable(host::HostNames& names, const LibraryRead& library, std::string* problem,
                     LibraryFile file) {
    switch (library.state) {
        case LibraryState::kMissing:
            *problem = file == LibraryFile::kPending
                           ? "no NewScenery.cfg at " + names.ShownPath(library.path) +
                                 ": no library change is waiting"
                           : "no scenery.cfg at " + names.ShownPath(library.path) +
                                 " (the package folder must be [FS9]\\Addon Scenery\\Tolvane)";
            return false;
        case LibraryState::kUnreadable:
            *problem = "cannot read " + names.ShownPath(library.path) + ": " +
                       names.Utf8Of(library.reason);
            return false;
        case LibraryState::kRead:
            break;
    }
    return true;
}

int RunApply(const CommandContext& context, const std::vector<SettingChange>& changes) {
    const LoadedSettings saved = LoadLayerSettings(context.fs, context.layout.iniPath);
    if (saved.state == SettingsFileState::kUnreadable) {
        context.err << "tolvane: cannot read " << context.names.ShownPath(context.layout.iniPath)
                    << ": " << context.names.Utf8Of(saved.reason) << " (nothing was applied)\n";
        return 2;
    }
    ActivityLog log;
    const ApplyReport report =
        ApplySettings(context.layout, ChosenSettings(saved.values, changes), context.fs, log);
    if (context.json) {
        context.out << ApplyJson(context, report, log).dump(2) << "\n";
    } else {
        PrintApply(context, report, log);
    }
    return ReportFailures(context, report) ? 1 : 0;
}

bool SimulatorClosed(const std::vector<unsigned long>& processes, std::string* problem) {
    if (processes.empty()) {
        return true;
    }
    *problem = "the simulator is running (" + SimulatorProcessesText(processes) +
               "): close it first, or run the command again with --force";
    return false;
}

int RunConflictCommand(const CommandContext& context, ConflictPass pass, LibraryFile file) {
    nlohmann::json renames = nlohmann::json::array();
    bool failed = false;
    const LibraryRead library = RunConflictPass(
        context.fs, context.layout.fsRoot, pass,
        [&](const RenameReport& rename) {
            failed = failed || !rename.renamed;
            if (context.json) {
                renames.push_back(RenameJson(context.names, rename));
            } else if (rename.renamed) {
                context.out << (context.dryRun ? "would rename " : "renamed ")
                            << context.names.ShownPath(rename.from) << " -> "
                            << context.names.ShownPath(rename.to) << "\n";
            }
            if (!rename.renamed) {
                context.err << "tolvane: "
                            << (context.dryRun ? "would not rename " : "could not rename ")
                            << context.names.ShownPath(rename.from) << ": "
                            << context.names.Utf8Of(rename.reason) << "\n";
            }
        },
        file);
    std::string problem;
    if (!LibraryReadable(context.names, library, &problem, file)) {
        context.err << "tolvane: " << problem << "\n";
        return 2;
    }
    if (context.json) {
        context.out << nlohmann::json{{"command", pass == ConflictPass::kScan ? "scan" : "restore"},
                                      {"dryRun", context.dryRun},
                                      {"library", context.names.Utf8Of(library.path)},
                                      {"renames", renames}}
                           .dump(2)
                    << "\n";
    }
    return failed ? 1 : 0;
}
