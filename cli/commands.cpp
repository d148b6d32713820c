#include "cli/commands.h"

#include <nlohmann/json.hpp>

#include "fileops/activity_log.h"
#include "fileops/foreseen_files.h"
#include "ini/ini_store.h"
#include "layers/layer_options.h"
#include "layers/layer_plan.h"
#include "layers/planned_actions.h"
#include "layers/settings_file.h"
#include "platform/files.h"

namespace {

std::string FileText(const std::string& path) {
    std::string bytes;
    platform::ReadWholeFile(path, &bytes);
    return bytes;
}

// The bytes SaveLayerSettings writes for the settings.
std::string SettingsFileBytes(const std::string& iniPath, const LayerSettings& settings) {
    CIniStore store(iniPath);
    for (const LayerOption& option : LayerOptions()) {
        store.SetInt(option.section, option.key, settings.*option.field, true);
    }
    return store.Serialize();
}

// What the apply will be made of: the saved settings with the changes, each
// value 0 or 1 as the dialog's check boxes give them back.
LayerSettings ChosenSettings(const InstallLayout& layout,
                             const std::vector<SettingChange>& changes) {
    LayerSettings settings = LoadLayerSettings(layout.iniPath);
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

// The log lines an apply would write, foreseen from what the folders hold;
// a file copied or deleted by an earlier action counts as such.
std::vector<std::string> ForeseenLog(const InstallLayout& layout, const LayerSettings& settings) {
    const AreaFolders folders = AreaFoldersOf(layout);
    ForeseenFiles foreseen;
    std::vector<std::string> lines;
    for (const PlannedAction& action : PlannedActions(settings)) {
        const std::string source = folders.Cache(action.area) + action.name;
        const std::string target = folders.Scenery(action.area) + action.name;
        if (action.enable) {
            const bool copied = foreseen.Exists(source);
            lines.push_back((copied ? "Copied file " : "File copy failed: ") + source + " to " +
                            target);
            if (copied) {
                foreseen.Make(target);
            }
        } else if (foreseen.Exists(target)) {
            lines.push_back("Deleted file " + target);
            foreseen.Remove(target);
        } else {
            lines.push_back("Delete file failed");
        }
    }
    return lines;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

}  // namespace

int RunApply(const InstallLayout& layout, const std::vector<SettingChange>& changes, bool dryRun,
             bool json, std::ostream& out, std::ostream& err) {
    const LayerSettings settings = ChosenSettings(layout, changes);
    const std::string settingsBytes = SettingsFileBytes(layout.iniPath, settings);
    std::vector<std::string> log;
    int code = 0;
    if (dryRun) {
        log = ForeseenLog(layout, settings);
    } else {
        SaveLayerSettings(layout.iniPath, settings);
        if (FileText(layout.iniPath) != settingsBytes) {
            err << "tolvane: could not write " << layout.iniPath << "\n";
            code = 1;
        }
        ActivityLog activity;
        ClearActivityLog(activity);
        ApplyLayerPlan(settings, FileActionContext{AreaFoldersOf(layout), activity, nullptr});
        WriteActivityLog(activity, layout.logPath);
        log = Lines(activity.Text());
        std::string written;
        for (const std::string& line : log) {
            written += line + "\r\n";
        }
        if (FileText(layout.logPath) != written) {
            err << "tolvane: could not write " << layout.logPath << "\n";
            code = 1;
        }
    }
    if (json) {
        out << nlohmann::json{{"command", "apply"},
                              {"dryRun", dryRun},
                              {"settingsFile", layout.iniPath},
                              {"settingsFileContent", settingsBytes},
                              {"logFile", layout.logPath},
                              {"log", log}}
                   .dump(2)
            << "\n";
        return code;
    }
    out << (dryRun ? "Would write " : "Wrote ") << layout.iniPath << ":\n";
    for (const std::string& line : Lines(settingsBytes)) {
        if (!line.empty() && line != "\r") {
            out << "  " << line.substr(0, line.size() - 1) << "\n";
        }
    }
    out << (dryRun ? "Would take these actions, logged to " : "Took these actions, logged to ")
        << layout.logPath << ":\n";
    for (const std::string& line : log) {
        out << "  " << line << "\n";
    }
    return code;
}

int RunConflictPass(const InstallLayout& layout, ConflictPassKind kind, bool dryRun, bool json,
                    std::ostream& out, std::ostream& err) {
    nlohmann::json renames = nlohmann::json::array();
    bool failed = false;
    const bool found =
        RunConflictPassReporting(layout.fsRoot, kind, dryRun, [&](const RenameReport& rename) {
            failed = failed || !rename.renamed;
            if (json) {
                renames.push_back({{"from", rename.from},
                                   {"to", rename.to},
                                   {"renamed", rename.renamed},
                                   {"reason", rename.reason}});
            } else if (rename.renamed) {
                out << (dryRun ? "would rename " : "renamed ") << rename.from << " -> " << rename.to
                    << "\n";
            }
            if (!rename.renamed) {
                err << "tolvane: " << (dryRun ? "would not rename " : "could not rename ")
                    << rename.from << ": " << rename.reason << "\n";
            }
        });
    if (!found) {
        err << "tolvane: no scenery.cfg in " << layout.fsRoot
            << " (the package folder must be [FS9]\\Addon Scenery\\Tolvane)\n";
        return 2;
    }
    if (json) {
        out << nlohmann::json{{"command", kind == ConflictPassKind::kScan ? "scan" : "restore"},
                              {"dryRun", dryRun},
                              {"library", layout.fsRoot + "\\scenery.cfg"},
                              {"renames", renames}}
                   .dump(2)
            << "\n";
    }
    return failed ? 1 : 0;
}
