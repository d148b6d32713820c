#include "cli/tolvane.h"

#include <CLI/CLI.hpp>

#include <exception>
#include <filesystem>

#include "cli/commands.h"
#include "cli/status.h"
#include "host/host_names.h"
#include "host/system_files.h"
#include "layers/layer_options.h"
#include "paths/path_text.h"
#include "platform/file_system.h"
#include "platform/path_names.h"
#include "preview/simulated_file_system.h"
#include "survey/install_status.h"

namespace {

struct Options {
    std::string package;
    std::string winePrefix;
    bool json = false;
    bool dryRun = false;
    bool force = false;
    std::string library = "current";
    std::vector<std::string> sets;
};

// The folder that holds a host path (the program's own).
std::string HostFolderOf(const std::string& hostPath) {
    return platform::FolderOf(hostPath, platform::SystemCodePage());
}

// The host folder of the package the options name, or of the program's
// own folder, as given; empty when the package is named in Windows form.
std::string HostPackage(const Options& options, const std::string& exePath) {
    if (InWindowsForm(options.package)) {
        return std::string();
    }
    return options.package.empty() ? HostFolderOf(exePath) : options.package;
}

// The system's files and its names for them: through the Wine prefix the
// options name, or the one whose drive_c holds the package, else drive Z:
// alone. False, with *error, when the prefix cannot be used.
bool OpenSystem(const Options& options, const std::string& hostPackage,
                std::unique_ptr<platform::FileSystem>* files,
                std::unique_ptr<host::HostNames>* names, std::string* error) {
    const std::string prefix = options.winePrefix.empty()
                                   ? host::WinePrefixHolding(hostPackage)
                                   : std::filesystem::absolute(options.winePrefix).string();
    if (prefix.empty()) {
        *files = host::SystemFileSystem();
        *names = host::SystemHostNames();
    } else {
        *files = host::WinePrefixFileSystem(prefix, error);
        *names = host::WinePrefixHostNames(prefix, error);
    }
    return *files != nullptr && *names != nullptr;
}

// The layout of the package folder; false, with *error, when there is no
// package there. A folder named on the host is resolved there first (".",
// "..", links), then named as Windows names it; one named in Windows form
// is read as Windows reads it.
bool FindPackage(const Options& options, const std::string& hostPackage, platform::FileSystem& fs,
                 host::HostNames& names, InstallLayout* layout, std::string* error) {
    std::string folder;
    if (!names.WindowsPathOf(
            hostPackage.empty() ? options.package : host::ResolvedHostFolder(hostPackage),
            &folder)) {
        *error = "the package folder " + (hostPackage.empty() ? options.package : hostPackage) +
                 " has a name the code page cannot hold";
        return false;
    }
    folder = TrimmedFolderPath(folder, fs.AnsiCodePage());
    *layout = PackageLayout(folder, fs.AnsiCodePage());
    if (fs.Exists(layout->higherCache) == 0 && fs.Exists(layout->lowerCache) == 0) {
        *error = "no package folder at " + names.ShownPath(folder) +
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

int RunStatus(const CommandContext& context) {
    InstallStatus status =
        GatherInstallStatus(context.fs, context.layout, context.names.LocalAppData());
    status.simulatorProcesses = context.names.ProcessesRunning(kSimulatorProgram);
    if (context.json) {
        context.out << StatusJson(status, context.names).dump(2) << "\n";
    } else {
        PrintStatus(status, context.names, context.out);
    }
    int code = status.ApplyWouldChange() || status.ScanWouldChange() ||
                       status.HasVirtualStoreCopies() || status.LibraryNeedsAction()
                   ? 1
                   : 0;
    if (status.settings.state == SettingsFileState::kUnreadable) {
        context.err << "tolvane: cannot read " << context.names.ShownPath(context.layout.iniPath)
                    << ": " << context.names.Utf8Of(status.settings.reason) << "\n";
        code = 2;
    }
    std::string problem;
    if (!LibraryReadable(context.names, status.library, &problem)) {
        context.err << "tolvane: " << problem << "\n";
        code = 2;
    }
    return code;
}

int RunCommand(const std::string& command, const Options& options, const std::string& exePath,
               std::ostream& out, std::ostream& err) {
    std::string error;
    const std::string hostPackage = HostPackage(options, exePath);
    std::unique_ptr<platform::FileSystem> system;
    std::unique_ptr<host::HostNames> names;
    if (!OpenSystem(options, hostPackage, &system, &names, &error)) {
        err << "tolvane: " << error << "\n";
        return 2;
    }
    InstallLayout layout;
    std::vector<SettingChange> changes;
    if (!FindPackage(options, hostPackage, *system, *names, &layout, &error) ||
        !ParseChanges(options.sets, &changes, &error)) {
        err << "tolvane: " << error << "\n";
        return 2;
    }
    // A preview says what the real run would: that it does not start.
    if (command != "status" && !options.force &&
        !SimulatorClosed(names->ProcessesRunning(kSimulatorProgram), &error)) {
        err << "tolvane: " << error << "\n";
        return 2;
    }
    // A preview is the real command on a file system that keeps its changes.
    preview::SimulatedFileSystem preview(*system);
    platform::FileSystem& fs = options.dryRun ? preview : *system;
    const CommandContext context{layout, fs, *names, options.dryRun, options.json, out, err};
    if (command == "status") {
        return RunStatus(context);
    }
    if (command == "apply") {
        return RunApply(context, changes);
    }
    return RunConflictCommand(
        context, command == "scan" ? ConflictPass::kScan : ConflictPass::kRestore,
        options.library == "new" ? LibraryFile::kPending : LibraryFile::kCurrent);
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
                       "library hold, and warnings of what the simulator will do; "
                       "exit code 1 when an apply or a scan would change something "
                       "or a warning needs action");
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
        command->add_flag("--force", options.force, "Run even while the simulator (fs9.exe) runs");
    }
    for (CLI::App* command : {scan, restore}) {
        command
            ->add_option("--library", options.library,
                         "current: scenery.cfg (the default); new: NewScenery.cfg, the library "
                         "change the simulator makes at its next start")
            ->check(CLI::IsMember({"current", "new"}));
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
    int code = 2;
    try {
        code = RunCommand(app.get_subcommands().front()->get_name(), options, exePath, out, err);
    } catch (const std::exception& e) {
        err << "tolvane: " << e.what() << "\n";
        return 2;
    }
    // Output that could not be written (a full disk, a closed pipe) is an
    // error: whoever reads it would be told less than happened.
    if (!out.flush()) {
        err << "tolvane: the output could not be written\n";
        return 2;
    }
    return code;
}
