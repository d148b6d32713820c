// The command-line program on the sample install, run in-process as its
// main runs it.
#include "cli/tolvane.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <sstream>

#include "app/config_dialog.h"
#include "platform/file_system.h"
#include "scenerycfg/conflict_pass.h"
#include "tests/support/apply_fixture.h"
#include "tests/support/fake_dialog_window.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int code;
    std::string out, err;
};

class CliTest : public ApplyFixture {
  protected:
    Outcome Tolvane(std::vector<std::string> args) {
        args.insert(args.begin(), {"--package", install.package.string()});
        std::ostringstream out, err;
        const int code = RunTolvane(args, "", out, err);
        return {code, out.str(), err.str()};
    }

    fs::path Drey(const char* ext) const {
        return install.root / "Addon Scenery" / "Drey Marrowby" / "scenery" /
               (std::string("Drey_Facility_CQP8") + ext);
    }
};

TEST_F(CliTest, StatusBeforeAndAfterAnApplyAndAScan) {
    Outcome before = Tolvane({"status", "--json"});
    EXPECT_EQ(before.code, 1);
    const nlohmann::json status = nlohmann::json::parse(before.out);
    using nlohmann::json;
    EXPECT_EQ(status["settings"][4], json::parse(R"({"section": "UTCAN", "key": "MajorRoads",
                                                    "value": 1, "source": "default"})"));
    EXPECT_EQ(status["layers"].size(), 21u);
    EXPECT_EQ(status["layers"][13], json::parse(R"({"area": "Lower", "file": "TolvaneDEM_LWM2.BGL",
                                                   "wanted": true, "present": false, "stale": false})"));
    EXPECT_EQ(status["library"]["areas"], 7);
    EXPECT_EQ(status["library"]["activeAreas"], 6);
    EXPECT_EQ(status["library"]["conflicts"].size(), 3u);  // two active, one not
    EXPECT_TRUE(status["applyWouldChange"].get<bool>());
    EXPECT_TRUE(status["scanWouldChange"].get<bool>());

    EXPECT_EQ(Tolvane({"apply"}).code, 0);
    EXPECT_EQ(Tolvane({"scan"}).code, 0);
    const Outcome after = Tolvane({"status"});
    EXPECT_EQ(after.code, 0) << after.out << after.err;
    EXPECT_NE(after.out.find("The Scenery folders match the settings."), std::string::npos);
    EXPECT_NE(after.out.find("  AI     Boats           1  file\n"), std::string::npos);

    // A copy that differs from its Cache master is stale.
    WriteBytes(install.Scenery(PriorityArea::Lower) / "Traffic_Tolvane1_heli.bgl", "changed");
    const Outcome stale = Tolvane({"status"});
    EXPECT_EQ(stale.code, 1);
    EXPECT_NE(stale.out.find("Traffic_Tolvane1_heli.bgl  (stale: differs from its Cache master)"),
              std::string::npos)
        << stale.out;
}

TEST_F(CliTest, DryRunsChangeNothing) {
    WriteBytes(install.package / "TolvaneConfig.ini", "[UTCAN]\r\nUT=1\r\n");
    const Listing before = ListTree(temp.Path());
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"apply", "--set", "Parks=1", "--dry-run"},
          {"apply", "--dry-run", "--json"},
          {"scan", "--dry-run"},
          {"restore", "--dry-run", "--json"},
          {"status"}}) {
        const Outcome run = Tolvane(args);
        EXPECT_LE(run.code, 1) << args[0] << run.err;
        EXPECT_EQ(ListTree(temp.Path()), before) << args[0];
    }
    // The dry run foresees exactly what the apply then logs.
    const Outcome foreseen = Tolvane({"apply", "--dry-run", "--json"});
    ASSERT_EQ(Tolvane({"apply"}).code, 0);
    const nlohmann::json foreseenLog = nlohmann::json::parse(foreseen.out)["log"];
    std::string lines;
    for (const nlohmann::json& line : foreseenLog) {
        lines += line.get<std::string>() + "\r\n";
    }
    EXPECT_EQ(ReadBytes(install.package / "log.txt"), lines);
}

// The same choices give the same settings file and log as the dialog's
// apply, on the same install.
TEST_F(CliTest, ApplyWritesWhatTheDialogWrites) {
    WriteBytes(install.package / "TolvaneConfig.ini", "[UTCAN]\r\nParks=5\r\n[AI]\r\nShips=0\r\n");
    const std::string saved = ReadBytes(install.package / "TolvaneConfig.ini");
    FakeDialogWindow window;
    CConfigDlg dialog(window, HostFiles(), WinPath(install.package / "TolvaneConfig.exe"));
    ASSERT_TRUE(dialog.OnInitDialog());
    window.checks[IDC_UT] = 1;
    window.checks[IDC_BOATS] = 0;
    dialog.OnOK();
    const Listing byDialog = ListTree(install.package);

    fs::remove_all(install.Scenery(PriorityArea::Higher));
    fs::remove_all(install.Scenery(PriorityArea::Lower));
    fs::remove(install.package / "log.txt");
    WriteBytes(install.package / "TolvaneConfig.ini", saved);
    const Outcome run = Tolvane({"apply", "--set", "UT=1", "--set", "Boats=0"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(ListTree(install.package), byDialog);

    EXPECT_EQ(Tolvane({"apply", "--set", "Colour=1"}).code, 2);
    EXPECT_EQ(Tolvane({"apply", "--set", "UT=yes"}).code, 2);
    EXPECT_EQ(Tolvane({"frobnicate"}).code, 2);
    EXPECT_EQ(Tolvane({"status", "--verbose"}).code, 2);
    std::ostringstream out, err;
    EXPECT_EQ(RunTolvane({"--package", temp.Path().string(), "status"}, "", out, err), 2);
    EXPECT_NE(err.str().find("no package folder"), std::string::npos);
}

// What the apply cannot write it says, and the plan still runs, as the
// dialog's apply goes on.
TEST_F(CliTest, ApplyReportsWhatItCouldNotWrite) {
    WriteBytes(install.package / "TolvaneConfig.ini", "[UTCAN]\r\nUT=1\r\n");
    fs::permissions(install.package / "TolvaneConfig.ini", fs::perms::owner_read);
    fs::create_directories(install.package / "log.txt" / "inside");
    const Outcome run = Tolvane({"apply", "--set", "UT=0"});
    fs::permissions(install.package / "TolvaneConfig.ini", fs::perms::owner_all);
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("could not write " + WinPath(install.package / "TolvaneConfig.ini")),
              std::string::npos);
    EXPECT_NE(run.err.find("could not write " + WinPath(install.package / "log.txt")),
              std::string::npos);
    EXPECT_EQ(ReadBytes(install.package / "TolvaneConfig.ini"), "[UTCAN]\r\nUT=1\r\n");
    EXPECT_TRUE(fs::exists(install.Scenery(PriorityArea::Lower) / "TolvaneDEM_LWM2.BGL"));
}

// The command line's scan and restore rename what the dialog program's
// passes rename; a rename that fails is listed and gives exit code 1.
TEST_F(CliTest, ScanAndRestoreAsTheDialogProgramsPasses) {
    WriteBytes(Drey(".xxx"), "taken");  // the first rename cannot be made
    const Listing before = ListTree(temp.Path());
    ConflictScan(HostFiles(), WinPath(install.root),
                 [](const std::string&, const std::string&, unsigned) {});
    const Listing byDialog = ListTree(temp.Path());
    ConflictRestore(HostFiles(), WinPath(install.root),
                    [](const std::string&, const std::string&, unsigned) {});

    const Outcome foreseen = Tolvane({"scan", "--dry-run"});
    const Outcome scan = Tolvane({"scan"});
    EXPECT_EQ(scan.code, 1);
    EXPECT_EQ(ListTree(temp.Path()), byDialog);
    std::string renamed = foreseen.out;
    for (size_t at; (at = renamed.find("would rename ")) != std::string::npos;) {
        renamed.replace(at, 13, "renamed ");
    }
    EXPECT_EQ(renamed, scan.out);  // the dry run foresaw the renames
    EXPECT_EQ(std::count(scan.out.begin(), scan.out.end(), '\n'), 5);
    EXPECT_NE(scan.err.find("could not rename " + WinPath(Drey(".bgl"))), std::string::npos);

    const Outcome restore = Tolvane({"restore"});
    EXPECT_EQ(restore.code, 1);  // the taken name is in the way the other way round too
    fs::remove(Drey(".xxx"));
    WriteBytes(Drey(".xxx"), "taken");
    EXPECT_EQ(ListTree(temp.Path()), before);

    fs::remove(install.root / "scenery.cfg");
    EXPECT_EQ(Tolvane({"scan"}).code, 2);
    EXPECT_EQ(Tolvane({"status"}).code, 2);
}

TEST_F(CliTest, WinePrefixMapsDriveLetters) {
    // A prefix whose drive D: is a folder of the test; the library names an
    // area on D: that only the prefix can reach.
    const fs::path prefix = temp.Path() / "prefix";
    const fs::path driveD = temp.Path() / "second disk";
    fs::create_directories(prefix / "dosdevices");
    std::string error;
    if (platform::WinePrefixFileSystem(prefix.string(), &error) == nullptr) {  // Windows
        EXPECT_EQ(Tolvane({"--wineprefix", prefix.string(), "status"}).code, 2);
        return;
    }
    fs::create_directory_symlink("../../second disk", prefix / "dosdevices" / "d:");
    fs::create_directory_symlink("/", prefix / "dosdevices" / "z:");
    fs::create_directories(driveD / "Sceneries" / "Harbour" / "scenery");
    WriteBytes(driveD / "Sceneries" / "Harbour" / "scenery" / "Drey_Facility_CQP8.bgl", "D");
    WriteBytes(install.root / "scenery.cfg",
               "[Area.001]\r\nLocal=D:\\Sceneries\\Harbour\r\nActive=TRUE\r\n");

    EXPECT_EQ(Tolvane({"scan"}).code, 0);  // no prefix: D: is not reached
    EXPECT_TRUE(
        fs::exists(driveD / "Sceneries" / "Harbour" / "scenery" / "Drey_Facility_CQP8.bgl"));
    const Outcome scan = Tolvane({"--wineprefix", prefix.string(), "scan"});
    EXPECT_EQ(scan.code, 0) << scan.err;
    EXPECT_EQ(scan.out,
              "renamed D:\\Sceneries\\Harbour\\scenery\\Drey_Facility_CQP8.bgl -> "
              "D:\\Sceneries\\Harbour\\scenery\\Drey_Facility_CQP8.xxx\n");
    EXPECT_TRUE(
        fs::exists(driveD / "Sceneries" / "Harbour" / "scenery" / "Drey_Facility_CQP8.xxx"));
    EXPECT_EQ(Tolvane({"--wineprefix", temp.Path().string(), "status"}).code, 2);
}

}  // namespace
