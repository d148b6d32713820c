// The command-line program on the sample install, run in-process as its
// main runs it, held against the dialog program on the same trees.
#include "cli/tolvane.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <sstream>

#include "app/config_dialog.h"
#include "host/system_files.h"
#include "layers/layer_options.h"
#include "platform/file_system.h"
#include "tests/support/cli_fixture.h"
#include "tests/support/fake_dialog_window.h"

namespace fs = std::filesystem;

namespace {

using Outcome = CliOutcome;

// The dialog's check box of each option, in the options' order.
const int kBoxes[] = {IDC_UT,          IDC_GOLF_COURSES, IDC_PARKS,     IDC_MINOR_ROADS,
                      IDC_MAJOR_ROADS, IDC_CEMETARIES,   IDC_RAILROADS, IDC_HELICOPTERS,
                      IDC_CRUISE_SHIP, IDC_FLOAT_PLANES, IDC_BOATS};

class CliTest : public CliFixture {
  protected:
    // The dialog program as started from the package folder: its start-up
    // (with the scan), or with -u its restore.
    void Dialog(bool restore) {
        FakeDialogWindow window;
        CConfigDlg dialog(window, HostFiles(), WinPath(install.package / "TolvaneConfig.exe"));
        dialog.m_nUninstall = restore ? 1 : 0;
        dialog.OnInitDialog();
    }

    // The simulator tree made again with the files of the listing.
    void Reset(const Listing& listing) {
        RemoveTree(install.root);
        for (const auto& [path, bytes] : listing) {
            fs::create_directories((temp.Path() / path).parent_path());
            WriteBytes(temp.Path() / path, bytes);
        }
    }

    fs::path Drey(const char* ext) const {
        return install.root / "Addon Scenery" / "Drey Marrowby" / "scenery" /
               (std::string("Drey_Facility_CQP8") + ext);
    }

    // The sample's library, and areas that make a pass interesting: the
    // active area a second time under another spelling, an inactive area
    // holding disabled files, and an area where a rename collides.
    void AddTroubleAreas() {
        const fs::path collide = install.root / "Addon Scenery" / "Collide" / "scenery";
        fs::create_directories(collide);
        WriteBytes(collide / "Drey_Facility_CQP8.bgl", "both names");
        WriteBytes(collide / "Drey_Facility_CQP8.xxx", "taken");
        WriteBytes(collide / "Drey_Marrowby_Brenmoor_LWM2.xxx", "disabled");
        const fs::path old = install.root / "Addon Scenery" / "Old Harbour" / "scenery";
        fs::rename(old / "Drey_Marrowby_Brenmoor_VTPL.bgl",
                   old / "Drey_Marrowby_Brenmoor_VTPL.xxx");
        std::string library = ReadBytes(install.root / "scenery.cfg");
        library += "\r\n[Area.008]\r\nTitle=Drey again\r\nLocal=" +
                   WinPath(install.root / "addon scenery") + "/Drey Marrowby\r\nActive=TRUE\r\n";
        library +=
            "\r\n[Area.009]\r\nTitle=Collide\r\nLocal=Addon Scenery\\Collide\r\nActive=TRUE\r\n";
        WriteBytes(install.root / "scenery.cfg", library);
    }
};

TEST_F(CliTest, StatusBeforeAndAfterAnApplyAndAScan) {
    const nlohmann::json status = Json({"status"}, 1);
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
    EXPECT_EQ(status["scanRenames"].size(), 6u);

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

// The dry runs change nothing and foresee exactly what the real runs then
// do, on a tree where the old preview went wrong: folders standing where a
// Cache master and a Scenery copy go, one area listed under two spellings,
// an area whose rename collides.
TEST_F(CliTest, DryRunsForeseeTheRealRuns) {
    WriteBytes(install.package / "TolvaneConfig.ini", "[UTCAN]\r\nUT=1\r\n");
    fs::remove(install.Cache(PriorityArea::Lower) / "Traffic_Tolvane1_heli.bgl");
    fs::create_directories(install.Cache(PriorityArea::Lower) / "Traffic_Tolvane1_heli.bgl");
    fs::create_directories(install.Scenery(PriorityArea::Lower) / "Traffic_Harrel_Point.bgl" / "x");
    AddTroubleAreas();
    const Listing before = ListTree(temp.Path());
    for (const char* command : {"apply", "scan", "restore"}) {
        SCOPED_TRACE(command);
        const Outcome dry = Tolvane({command, "--dry-run", "--json"});
        EXPECT_EQ(ListTree(temp.Path()), before);
        nlohmann::json foreseen = nlohmann::json::parse(dry.out);
        const Outcome real = Tolvane({command, "--json"});
        nlohmann::json done = nlohmann::json::parse(real.out);
        EXPECT_EQ(foreseen["dryRun"], true);
        foreseen.erase("dryRun");
        done.erase("dryRun");
        EXPECT_EQ(foreseen, done);
        EXPECT_EQ(dry.code, real.code);
        if (std::string(command) != "apply") {
            EXPECT_EQ(real.code, 1);  // a rename collided
        }
        std::string dryErr = dry.err;
        for (size_t at; (at = dryErr.find("would not ")) != std::string::npos;) {
            dryErr.replace(at, 10, "could not ");
        }
        EXPECT_EQ(dryErr, real.err);
        if (std::string(command) == "scan") {
            EXPECT_EQ(done["renames"].size(), 7u);  // six renames, one collision
        }
        Reset(before);
        fs::create_directories(install.Cache(PriorityArea::Lower) / "Traffic_Tolvane1_heli.bgl");
        fs::create_directories(install.Scenery(PriorityArea::Lower) / "Traffic_Harrel_Point.bgl" /
                               "x");
    }
}

// The command line's scan and restore leave the tree the dialog program's
// start-up and -u leave, on a library with active, inactive, duplicate and
// colliding areas.
TEST_F(CliTest, ScanAndRestoreLeaveWhatTheDialogProgramLeaves) {
    AddTroubleAreas();
    const Listing start = ListTree(temp.Path());
    Dialog(false);
    const Listing scannedByDialog = ListTree(temp.Path());
    EXPECT_NE(scannedByDialog, start);
    Dialog(true);
    const Listing restoredByDialog = ListTree(temp.Path());

    Reset(start);
    EXPECT_EQ(Tolvane({"scan"}).code, 1);  // the collision
    EXPECT_EQ(ListTree(temp.Path()), scannedByDialog);
    EXPECT_EQ(Tolvane({"restore"}).code, 1);
    EXPECT_EQ(ListTree(temp.Path()), restoredByDialog);
}

// The same choices give the same settings file and log as the dialog's
// apply, from the same saved settings (values other than 0 and 1 too,
// options left as saved) and the same Scenery folders.
TEST_F(CliTest, ApplyWritesWhatTheDialogWrites) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        std::vector<int> saved(11), chosen(11);
        for (int i = 0; i < 11; ++i) {
            saved[i] = static_cast<int>(random() % 4);   // 3: not in the file
            chosen[i] = static_cast<int>(random() % 3);  // 2: left as saved
        }
        std::string ini;
        int i = 0;
        for (const LayerOption& option : LayerOptions()) {
            if (saved[i] != 3) {
                ini += std::string("[") + option.section + "]\r\n" + option.key + "=" +
                       std::to_string(saved[i]) + "\r\n";
            }
            ++i;
        }
        auto prepare = [&] {
            WriteBytes(install.package / "TolvaneConfig.ini", ini);
            fs::remove(install.package / "log.txt");
            for (const auto& [area, name] : sample::LayerFiles()) {
                fs::remove(install.Scenery(area) / name);
                if (random() % 2 == 0) {
                    WriteBytes(install.Scenery(area) / name, "an old copy");
                }
            }
        };
        const std::mt19937 state = random;
        prepare();
        // The user's clicks: each box as chosen, then "Apply settings and exit".
        FakeDialogWindow window;
        CConfigDlg dialog(window, HostFiles(), WinPath(install.package / "TolvaneConfig.exe"));
        ASSERT_TRUE(dialog.OnInitDialog());
        for (int box = 0; box < 11; ++box) {
            if (chosen[box] != 2) {
                window.checks[kBoxes[box]] = chosen[box];
            }
        }
        dialog.OnOK();
        const Listing byDialog = ListTree(install.package);

        random = state;
        prepare();
        std::vector<std::string> args = {"apply"};
        i = 0;
        for (const LayerOption& option : LayerOptions()) {
            if (chosen[i] != 2) {
                args.insert(args.end(),
                            {"--set", std::string(option.key) + "=" + std::to_string(chosen[i])});
            }
            ++i;
        }
        EXPECT_LE(Tolvane(args).code, 1);
        EXPECT_EQ(ListTree(install.package), byDialog);
    }
    // A saved value other than 0 or 1 goes back as its check box gives it.
    WriteBytes(install.package / "TolvaneConfig.ini", "[UTCAN]\r\nUT=2\r\n");
    EXPECT_LE(Tolvane({"apply"}).code, 1);
    EXPECT_NE(ReadBytes(install.package / "TolvaneConfig.ini").find("[UTCAN]\r\nUT=1\r\n"),
              std::string::npos);
}

// Areas skipped for their spelling alone are listed as notes, which change
// neither what is read nor the exit code.
TEST_F(CliTest, StatusNotesSpellingThatIsReadOtherwise) {
    EXPECT_EQ(Tolvane({"apply"}).code, 0);
    EXPECT_EQ(Tolvane({"scan"}).code, 0);
    ASSERT_EQ(Tolvane({"status"}).code, 0);
    std::string library = ReadBytes(install.root / "scenery.cfg");
    const char* const sections[] = {
        "[Area.101]\r\nTitle=lower local\r\nlocal=Scenery\\World\r\nActive=TRUE\r\n",
        "[Area.102]\r\nTitle=upper active\r\nLocal=Scenery\\World\r\nACTIVE=TRUE\r\n",
        "[Area.103]\r\nTitle=True\r\nLocal=Scenery\\World\r\nActive=True\r\n",
        "[Area.104]\r\nTitle=true\r\nLocal=Scenery\\World\r\nActive=true\r\n",
        "[Area.105]\r\nTitle=one\r\nLocal=Scenery\\World\r\nActive=1\r\n",
        "[AREA.106]\r\nTitle=upper section\r\nLocal=Scenery\\World\r\nActive=TRUE\r\n",
        "[area.107]\r\nTitle=lower section\r\nLocal=Scenery\\World\r\nActive=TRUE\r\n",
        "[Area.108]\r\nTitle=off\r\nLocal=Scenery\\World\r\nActive=FALSE\r\n",
    };
    for (const char* section : sections) {
        library += std::string("\r\n") + section;
    }
    WriteBytes(install.root / "scenery.cfg", library);
    const nlohmann::json status = Json({"status"}, 0);
    const nlohmann::json& notes = status["library"]["notes"];
    ASSERT_EQ(notes.size(), 7u) << notes.dump(2);
    EXPECT_EQ(notes[0]["note"], "local= is not read: only Local= names the folder");
    EXPECT_EQ(notes[1]["note"], "ACTIVE= is not read: only Active=TRUE makes an area active");
    EXPECT_EQ(notes[2]["note"],
              "Active=True counts as inactive: only Active=TRUE makes an area "
              "active");
    EXPECT_EQ(notes[4]["section"], "Area.105");
    EXPECT_EQ(notes[5]["note"], "[AREA.106] is not read: only sections named Area. are");
    EXPECT_EQ(status["library"]["areas"], 7 + 6);  // the two odd sections are not areas
    const Outcome text = Tolvane({"status"});
    EXPECT_NE(text.out.find("    [area.107] lower section: [area.107] is not read"),
              std::string::npos)
        << text.out;
}

TEST_F(CliTest, ErrorsAreExitCodeTwo) {
    EXPECT_EQ(Tolvane({"apply", "--set", "Colour=1"}).code, 2);
    EXPECT_EQ(Tolvane({"apply", "--set", "UT=yes"}).code, 2);
    EXPECT_EQ(Tolvane({"frobnicate"}).code, 2);
    EXPECT_EQ(Tolvane({"status", "--verbose"}).code, 2);
    std::ostringstream out, err;
    EXPECT_EQ(RunTolvane({"--package", temp.Path().string(), "status"}, "", out, err), 2);
    EXPECT_NE(err.str().find("no package folder"), std::string::npos);
    fs::remove(install.root / "scenery.cfg");
    EXPECT_EQ(Tolvane({"scan"}).code, 2);
    EXPECT_EQ(Tolvane({"status"}).code, 2);
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
    EXPECT_NE(run.err.find("could not write " + Shown(install.package / "TolvaneConfig.ini")),
              std::string::npos);
    EXPECT_NE(run.err.find("could not write " + Shown(install.package / "log.txt")),
              std::string::npos);
    EXPECT_EQ(run.out.rfind("Could not write " + Shown(install.package / "TolvaneConfig.ini"), 0),
              0u)
        << run.out;
    EXPECT_EQ(ReadBytes(install.package / "TolvaneConfig.ini"), "[UTCAN]\r\nUT=1\r\n");
    EXPECT_TRUE(fs::exists(install.Scenery(PriorityArea::Lower) / "TolvaneDEM_LWM2.BGL"));
}

TEST_F(CliTest, WinePrefixMapsDriveLetters) {
    // A prefix whose drive D: is a folder of the test; the library names an
    // area on D: that only the prefix can reach.
    const fs::path prefix = temp.Path() / "prefix";
    const fs::path driveD = temp.Path() / "second disk";
    fs::create_directories(prefix / "dosdevices");
    std::string error;
    if (host::WinePrefixFileSystem(prefix.string(), &error) == nullptr) {  // Windows
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
    const Outcome scan = Tolvane({"--wineprefix", prefix.string(), "scan", "--json"});
    EXPECT_EQ(scan.code, 0) << scan.err;
    const nlohmann::json renames = nlohmann::json::parse(scan.out)["renames"];
    ASSERT_EQ(renames.size(), 1u);
    EXPECT_EQ(renames[0]["from"], "D:\\Sceneries\\Harbour\\scenery\\Drey_Facility_CQP8.bgl");
    EXPECT_TRUE(
        fs::exists(driveD / "Sceneries" / "Harbour" / "scenery" / "Drey_Facility_CQP8.xxx"));
    EXPECT_EQ(Tolvane({"--wineprefix", temp.Path().string(), "status"}).code, 2);

    // A package folder right below a drive's root: the library is that
    // drive's root's, never one relative to the working folder.
    fs::create_directory_symlink("../../FS9/Addon Scenery", prefix / "dosdevices" / "q:");
    std::ostringstream out, err;
    EXPECT_EQ(RunTolvane(
                  {"--wineprefix", prefix.string(), "--package", "Q:\\Tolvane", "status", "--json"},
                  "", out, err),
              2);
    EXPECT_NE(err.str().find("no scenery.cfg at " +
                             Shown(install.root / "Addon Scenery" / "scenery.cfg")),
              std::string::npos)
        << err.str();
    WriteBytes(install.root / "Addon Scenery" / "scenery.cfg", "[Area.001]\r\nLocal=x\r\n");
    out.str("");
    EXPECT_EQ(RunTolvane(
                  {"--wineprefix", prefix.string(), "--package", "Q:\\Tolvane", "status", "--json"},
                  "", out, err),
              1);
    EXPECT_EQ(nlohmann::json::parse(out.str())["library"]["areas"], 1);
    EXPECT_EQ(nlohmann::json::parse(out.str())["library"]["path"], "Q:\\scenery.cfg");
}

// Output that cannot be written (a full disk, a closed pipe) is an error,
// whatever the command did.
TEST_F(CliTest, UnwritableOutputIsAnError) {
    for (const char* command : {"status", "scan", "apply"}) {
        std::ostream lost(nullptr);  // every write fails
        std::ostringstream err;
        EXPECT_EQ(RunTolvane({"--package", install.package.string(), command}, "", lost, err), 2);
        EXPECT_NE(err.str().find("the output could not be written"), std::string::npos);
    }
}

// Every key of a JSON value, by its path, with its type ("status.layers[].file
// string"); a finding's details, which differ from one finding to the next,
// only as an object.
void Flatten(const nlohmann::json& value, const std::string& path, std::set<std::string>* keys) {
    const char* type = value.is_object()    ? "object"
                       : value.is_array()   ? "array"
                       : value.is_string()  ? "string"
                       : value.is_boolean() ? "boolean"
                       : value.is_number()  ? "number"
                                            : "null";
    keys->insert(path + " " + type);
    if (value.is_object() && path.size() >= 8 &&
        path.compare(path.size() - 8, 8, ".details") == 0) {
        return;
    }
    if (value.is_object()) {
        for (const auto& [key, item] : value.items()) {
            Flatten(item, path + "." + key, keys);
        }
    } else if (value.is_array()) {
        for (const nlohmann::json& item : value) {
            Flatten(item, path + "[]", keys);
        }
    }
}

// The JSON contract: every key the commands print, by its path, with its
// type.
const std::set<std::string> kJsonContract = {"apply object",
                                             "apply.actions array",
                                             "apply.actions[] object",
                                             "apply.actions[].action string",
                                             "apply.actions[].area string",
                                             "apply.actions[].file string",
                                             "apply.actions[].reason string",
                                             "apply.actions[].result string",
                                             "apply.command string",
                                             "apply.dryRun boolean",
                                             "apply.leftovers array",
                                             "apply.leftovers[] object",
                                             "apply.leftovers[].path string",
                                             "apply.leftovers[].reason string",
                                             "apply.leftovers[].removed boolean",
                                             "apply.log array",
                                             "apply.log[] string",
                                             "apply.logFile string",
                                             "apply.logWritten boolean",
                                             "apply.settingsFile string",
                                             "apply.settingsFileContent string",
                                             "apply.settingsSaved boolean",
                                             "restore object",
                                             "restore.command string",
                                             "restore.dryRun boolean",
                                             "restore.library string",
                                             "restore.renames array",
                                             "restore.renames[] object",
                                             "restore.renames[].from string",
                                             "restore.renames[].reason string",
                                             "restore.renames[].renamed boolean",
                                             "restore.renames[].to string",
                                             "scan object",
                                             "scan.command string",
                                             "scan.dryRun boolean",
                                             "scan.library string",
                                             "scan.renames array",
                                             "scan.renames[] object",
                                             "scan.renames[].from string",
                                             "scan.renames[].reason string",
                                             "scan.renames[].renamed boolean",
                                             "scan.renames[].to string",
                                             "status object",
                                             "status.applyWouldChange boolean",
                                             "status.findings array",
                                             "status.findings[] object",
                                             "status.findings[].action string",
                                             "status.findings[].details object",
                                             "status.findings[].key string",
                                             "status.findings[].meaning string",
                                             "status.findings[].needsAction boolean",
                                             "status.findings[].summary string",
                                             "status.layers array",
                                             "status.layers[] object",
                                             "status.layers[].area string",
                                             "status.layers[].file string",
                                             "status.layers[].present boolean",
                                             "status.layers[].stale boolean",
                                             "status.layers[].wanted boolean",
                                             "status.leftovers array",
                                             "status.leftovers[] string",
                                             "status.library object",
                                             "status.library.activeAreaLimit number",
                                             "status.library.activeAreas number",
                                             "status.library.areas number",
                                             "status.library.conflicts array",
                                             "status.library.conflicts[] object",
                                             "status.library.conflicts[].active boolean",
                                             "status.library.conflicts[].files array",
                                             "status.library.conflicts[].files[] object",
                                             "status.library.conflicts[].files[].name string",
                                             "status.library.conflicts[].files[].state string",
                                             "status.library.conflicts[].folder string",
                                             "status.library.conflicts[].title string",
                                             "status.library.found boolean",
                                             "status.library.notes array",
                                             "status.library.notes[] object",
                                             "status.library.notes[].note string",
                                             "status.library.notes[].section string",
                                             "status.library.notes[].title string",
                                             "status.library.path string",
                                             "status.library.readable boolean",
                                             "status.package string",
                                             "status.scanRenames array",
                                             "status.scanRenames[] object",
                                             "status.scanRenames[].from string",
                                             "status.scanRenames[].reason string",
                                             "status.scanRenames[].renamed boolean",
                                             "status.scanRenames[].to string",
                                             "status.scanWouldChange boolean",
                                             "status.sceneryIsCache array",
                                             "status.settings array",
                                             "status.settings[] object",
                                             "status.settings[].key string",
                                             "status.settings[].section string",
                                             "status.settings[].source string",
                                             "status.settings[].value number",
                                             "status.settingsFile string",
                                             "status.virtualStore object",
                                             "status.virtualStore.copies array",
                                             "status.virtualStore.folder string",
                                             "status.virtualStore.otherFiles number"};

// The JSON of every command, key by key with its type, on the sample install
// with a leftover, a section the program does not read and a library change
// waiting, so that every list holds something: a key renamed, dropped or of
// another type turns this red.
TEST_F(CliTest, TheJsonContract) {
    ASSERT_EQ(Tolvane({"apply"}).code, 0);
    WriteBytes(install.Scenery(PriorityArea::Lower) / "Traffic_Tolvane1_heli.bgl.7.tmp", "half");
    WriteBytes(install.root / "scenery.cfg",
               ReadBytes(install.root / "scenery.cfg") + "\r\n[AREA.009]\r\nTitle=Unread\r\n");
    fs::copy_file(install.root / "scenery.cfg", install.root / "NewScenery.cfg");
    const fs::path harbour = install.root / "Addon Scenery" / "Old Harbour" / "scenery";
    fs::rename(harbour / "Drey_Facility_CQP8.bgl", harbour / "Drey_Facility_CQP8.xxx");
    std::set<std::string> keys;
    Flatten(Json({"status"}, 1), "status", &keys);
    Flatten(Json({"apply", "--dry-run"}, 0), "apply", &keys);
    Flatten(Json({"scan", "--dry-run"}, 0), "scan", &keys);
    Flatten(Json({"restore", "--dry-run"}, 0), "restore", &keys);

    std::vector<std::string> unknown, missing;
    std::set_difference(keys.begin(), keys.end(), kJsonContract.begin(), kJsonContract.end(),
                        std::back_inserter(unknown));
    std::set_difference(kJsonContract.begin(), kJsonContract.end(), keys.begin(), keys.end(),
                        std::back_inserter(missing));
    EXPECT_EQ(unknown, std::vector<std::string>{}) << "printed, not in the contract";
    EXPECT_EQ(missing, std::vector<std::string>{}) << "in the contract, not printed";
}

// The README names every key of the JSON contract. (A test program run
// where the README is not, as in the 32-bit guest, cannot tell.)
TEST(JsonContractTest, TheReadmeNamesEveryKey) {
    std::ifstream in(TOLVANE_README);
    const std::string readme((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
    if (readme.empty()) {
        GTEST_SKIP() << "no README at " << TOLVANE_README;
    }
    for (const std::string& entry : kJsonContract) {
        const std::string path = entry.substr(0, entry.find(' '));
        std::string name = path.substr(path.find_last_of('.') + 1);
        name = name.substr(0, name.find('['));
        if (path.find('.') != std::string::npos) {
            EXPECT_TRUE(readme.find("\"" + name + "\"") != std::string::npos ||
                        readme.find("`" + name + "`") != std::string::npos)
                << name << " in the README";
        }
    }
}

}  // namespace
