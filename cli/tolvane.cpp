#include "cli/tolvane.h"

#include <CLI/CLI.hpp>

#include <exception>
#include <filesystem>

#include "cli/commands.h"
#include "cli/status.h"
#include "layers/layer_options.h"
#include "platform/files.h"

namespace {

struct Options {
    std::string package;
    std::string winePrefix;
    bool json = false;
    bool dryRun = false;
    std::vector<std::string> sets;
};

bool IsWindowsForm(const std::string& path) {
    return (path.size() >= 2 && path[1] == ':') || (!path.empty() && path[0] == '\\');
}

// The layout of the package folder the options name (or the program's
// own folder); false, with *error, when there is no package folder there.
bool PackageLayout(const Options& options, const std::string& exePath, InstallLayout* layout,
                   std::string* error) {
    std::string folder;
    if (options.package.empty()) {
        folder = exePath.substr(0, exePath.find_last_of('\\') + 1);
    } else if (IsWindowsForm(options.package)) {
        folder = options.package;
    } else {
        folder = platform::WindowsPathFromHost(std::filesystem::absolute(options.package).string());
    }
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) {
        folder.pop_back();
    }
    if (!DeriveInstallLayout(folder + "\\TolvaneConfig.exe", layout, error)) {
        return false;
    }
    if (platform::FileExists(layout->higherCache) == 0 &&
        platform::FileExists(layout->lowerCache) == 0) {
        *error = "no package folder at " + folder +
                 " (it holds \"Tolvane - Higher Priority\\Cache\" and \"Tolvane - Lower "
                 "Priority\\Cache\"); name it with --package";
        return false;
    }
    return true;
}

// --set KEY=VALUE, with one of the settings file's keys and 0 or 1.
bool ParseChanges(const std::vector<std::string>& sets, std::vector<SettingChange>* changes,
                  std::string* error) {
    for (const std::string& set : sets) {
        const size_t equals = set.find('=');
        const std::string key = set.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : set.substr(equals + 1);
        bool known = false;
        for (const LayerOption& option : LayerOptions()) {
            known = known || key == option.key;
        }
        if (!known) {
            *error = "unknown settings key \"" + key +
                     "\" (the keys are UT, GolfCourses, Parks, MinorRoads, MajorRoads, "
                     "Cemetaries, Railroads, Helos, Ships, Floats, Boats)";
            return false;
        }
        if (value != "0" && value != "1") {
            *error = "--set " + key + " needs the value 0 or 1, not \"" + value + "\"";
            return false;
        }
        changes->emplace_back(key, value == "1" ? 1 : 0);
    }
    return true;
}

int RunCommand(const std::string& command, const Options& options, const std::string& exePath,
               std::ostream& out, std::ostream& err) {
    if (!options.winePrefix.empty() &&
        !platform::UseWinePrefix(std::filesystem::absolute(options.winePrefix).string())) {
        err << "tolvane: " << options.winePrefix
            << " is not a Wine prefix with a dosdevices folder (--wineprefix works on Linux)\n";
        return 2;
    }
    InstallLayout layout;
    std::string error;
    std::vector<SettingChange> changes;
    if (!PackageLayout(options, exePath, &layout, &error) ||
        !ParseChanges(options.sets, &changes, &error)) {
        err << "tolvane: " << error << "\n";
        return 2;
    }
    if (command == "status") {
        const Status status = GatherStatus(layout);
        if (options.json) {
            out << StatusJson(status).dump(2) << "\n";
        } else {
            PrintStatus(status, out);
        }
        if (!status.libraryFound) {
            err << "tolvane: no scenery.cfg in " << layout.fsRoot << "\n";
            return 2;
        }
        return status.ApplyWouldChange() || status.ScanWouldChange() ? 1 : 0;
    }
    if (command == "apply") {
        return RunApply(layout, changes, options.dryRun, options.json, out, err);
    }
    return RunConflictPass(layout,
                           command == "scan" ? ConflictPassKind::kScan : ConflictPassKind::kRestore,
                           options.dryRun, options.json, out, err);
}

}  // namespace

int RunTolvane(const std::vector<std::string>& args, const std::string& exePath, std::ostream& out,
               std::ostream& err) {
    CLI::App app(
        "What a Tolvane install holds, a preview of every change, and scripted "
        "applies, scans and restores.",
        "tolvane");
    app.require_subcommand(0, 1);
    app.allow_extras();
    app.fallthrough();  // the global options may also follow the command
    Options options;
    app.add_option("--package", options.package,
                   "The package folder, [FS9]\\Addon Scenery\\Tolvane (default: the folder of "
                   "this program)");
    app.add_option("--wineprefix", options.winePrefix,
                   "On Linux: a Wine prefix whose dosdevices map drive letters, as Wine does");
    app.add_flag("--json", options.json, "Machine-readable output (JSON)");
    app.add_subcommand("status",
                       "What the settings, the Scenery folders and the scenery "
                       "library hold; exit code 1 when an apply or a scan would "
                       "change something");
    CLI::App* apply = app.add_subcommand(
        "apply", "Save the settings (changed by --set) and apply them as the dialog does");
    apply->add_option("--set", options.sets, "KEY=VALUE: a settings-file key and 0 or 1")
        ->type_name("KEY=VALUE");
    CLI::App* scan = app.add_subcommand(
        "scan", "Rename the conflicting files of every active area to .xxx, as at a start");
    CLI::App* restore = app.add_subcommand(
        "restore", "Rename the .xxx files of every listed area back to .bgl, as with -u");
    for (CLI::App* command : {apply, scan, restore}) {
        command->add_flag("--dry-run", options.dryRun, "Say what would be done; change nothing");
    }

    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) {
            return app.exit(e, out, err);  // --help, for the program or a command
        }
        err << "tolvane: " << e.what() << "\nRun tolvane --help for the commands.\n";
        return 2;
    }
    if (!app.remaining().empty() || app.get_subcommands().empty()) {
        err << "tolvane: "
            << (app.remaining().empty()
                    ? "no command given"
                    : "unknown command or argument \"" + app.remaining().front() + "\"")
            << " (the commands are status, apply, scan and restore)\n"
               "Run tolvane --help for the commands.\n";
        return 2;
    }
    try {
        return RunCommand(app.get_subcommands().front()->get_name(), options, exePath, out, err);
    } catch (const std::exception& e) {
        err << "tolvane: " << e.what() << "\n";
        return 2;
    }
}
