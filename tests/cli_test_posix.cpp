// The command line on installs that a hostile or unlucky user has made:
// links planted in the package folder, FIFOs, files this user may not read
// or write (as the user nobody, so that the permission bits refuse even
// when the tests run as root). Each run is a child process under a time
// limit: a run that hangs fails its test instead of the suite.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>

#include "cli/tolvane.h"
#include "tests/support/apply_fixture.h"
#include "tests/support/child_process.h"

namespace fs = std::filesystem;

namespace {

constexpr PriorityArea L = PriorityArea::Lower;
constexpr unsigned kTimeLimitSeconds = 20;

struct ChildRun {
    int code;
    std::string out, err;
};

class HostileInstallTest : public ApplyFixture {
  protected:
    void SetUp() override {
        ApplyFixture::SetUp();
        fs::create_directories(outside);
        WriteBytes(outside / "precious", "nobody's settings");
        fs::permissions(outside / "precious", fs::perms(0600));
        fs::create_directories(scratch);
        fs::permissions(scratch, fs::perms::all);
    }

    // tolvane in a child process, as nobody when asked; 128 + 14 when the
    // time limit ended it.
    ChildRun Tolvane(std::vector<std::string> args, bool asNobody = false) {
        args.insert(args.begin(), {"--package", install.package.string()});
        auto body = [&] {
            alarm(kTimeLimitSeconds);
            std::ostringstream out, err;
            const int code = RunTolvane(args, "", out, err);
            WriteBytes(scratch / "out", out.str());
            WriteBytes(scratch / "err", err.str());
            return code;
        };
        fs::remove(scratch / "out");
        fs::remove(scratch / "err");
        const int code = asNobody ? RunAsNobody(body) : RunInChild(body);
        return {code, ReadBytes(scratch / "out"), ReadBytes(scratch / "err")};
    }

    // What lies outside the package, with each file's permissions.
    std::string Outside() const {
        std::string listing;
        for (const auto& entry : fs::directory_iterator(outside)) {
            listing += entry.path().filename().string() + " " +
                       std::to_string(static_cast<int>(entry.status().permissions())) + " " +
                       ReadBytes(entry.path()) + "\n";
        }
        return listing;
    }

    fs::path Ini() const { return install.package / "TolvaneConfig.ini"; }

    fs::path outside = temp.Path() / "outside";
    fs::path scratch = temp.Path() / "scratch";
};

// Links planted where the apply writes: each file is replaced by one of its
// own or refused, and nothing outside the package changes.
TEST_F(HostileInstallTest, NothingIsWrittenThroughALink) {
    const std::string before = Outside();
    fs::create_symlink(outside / "precious", install.package / "log.txt");
    fs::create_symlink(outside / "precious", Ini());
    fs::create_symlink(outside / "nowhere", install.package / "TolvaneConfig.ini.tmp");
    fs::create_symlink(outside / "precious", install.Scenery(L) / "Traffic_Tolvane1_heli.bgl");
    ChildRun run = Tolvane({"apply"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("could not write " + Shown(install.package / "log.txt") +
                           ": A link stands at that name"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(Outside(), before);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(Ini())));
    EXPECT_FALSE(fs::exists(fs::symlink_status(install.package / "TolvaneConfig.ini.tmp")));
    EXPECT_TRUE(
        fs::is_regular_file(fs::symlink_status(install.Scenery(L) / "Traffic_Tolvane1_heli.bgl")));

    // A sibling that is a hard link of a file elsewhere is not written into.
    fs::create_hard_link(outside / "precious", install.package / "TolvaneConfig.ini.tmp");
    fs::remove(install.package / "log.txt");
    EXPECT_EQ(Tolvane({"apply"}).code, 0);
    EXPECT_EQ(Outside(), before);

    // Where the package folder refuses new files, the settings file could
    // only be written in place, which a link refuses.
    fs::remove(Ini());
    fs::create_symlink(outside / "precious", Ini());
    fs::permissions(outside / "precious", fs::perms(0666));
    fs::permissions(install.package, fs::perms(0555));
    run = Tolvane({"apply"}, true);
    fs::permissions(install.package, fs::perms::all);
    fs::permissions(outside / "precious", fs::perms(0600));
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("could not write " + Shown(Ini()) + ": A link stands"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(Outside(), before);
}

// A scenery.cfg or settings file that is there but cannot be read stops
// every command with its reason; nothing is applied on settings that could
// not be read.
TEST_F(HostileInstallTest, UnreadableInputIsAnError) {
    const Listing before = ListTree(install.package);
    fs::create_directories(Ini() / "inside");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"status"}, {"apply", "--set", "UT=1"}}) {
        const ChildRun run = Tolvane(args);
        const std::string& command = args[0];
        EXPECT_EQ(run.code, 2) << command;
        EXPECT_NE(run.err.find("cannot read " + Shown(Ini()) + ": Is a directory"),
                  std::string::npos)
            << run.err;
    }
    EXPECT_EQ(ListTree(install.package), before);
    fs::remove_all(Ini());

    WriteBytes(Ini(), "[UTCAN]\r\nUT=1\r\n");
    fs::permissions(Ini(), fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(install.root / "scenery.cfg", fs::perms::none);
    // scenery.cfg stops the status and the passes, the settings file the apply.
    for (const char* command : {"status", "scan", "restore", "apply"}) {
        const ChildRun run = Tolvane({command}, true);
        EXPECT_EQ(run.code, 2) << command;
        EXPECT_NE(run.err.find("Permission denied"), std::string::npos) << run.err;
    }
}

// Every failure of an apply is exit code 1 with its reason; a delete of a
// file that was not there is none.
TEST_F(HostileInstallTest, FailedActionsAreFailures) {
    EXPECT_EQ(Tolvane({"apply"}).code, 0);  // only deletes of files that are not there fail
    fs::remove(install.Cache(L) / "Traffic_Tolvane1_heli.bgl");
    WriteBytes(install.Scenery(PriorityArea::Higher) / "1_UT_PK915140_Tvl+.bgl", "parks");
    fs::permissions(install.Scenery(PriorityArea::Higher) / "1_UT_PK915140_Tvl+.bgl",
                    fs::perms::owner_read);
    const ChildRun run = Tolvane({"apply", "--json"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("could not copy " +
                           Shown(install.Cache(L) / "Traffic_Tolvane1_heli.bgl") + " to "),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("could not delete " +
                           Shown(install.Scenery(PriorityArea::Higher) / "1_UT_PK915140_Tvl+.bgl") +
                           ": The file is read-only"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("\"result\": \"not there\""), std::string::npos);

    // Scenery folders this user may not write: every copy fails, with its reason.
    fs::permissions(install.Scenery(L), fs::perms(0555));
    fs::permissions(install.package, fs::perms::all);
    fs::permissions(install.package / "TolvaneConfig.ini", fs::perms(0666));
    fs::permissions(install.package / "log.txt", fs::perms(0666));
    const ChildRun denied = Tolvane({"apply"}, true);
    EXPECT_EQ(denied.code, 1);
    EXPECT_NE(denied.err.find("Traffic_Harrel_Point.bgl: Permission denied"), std::string::npos)
        << denied.err;
}

// FIFOs where the program reads or writes: refused at once, never waited on.
TEST_F(HostileInstallTest, FifosNeverHang) {
    const fs::path places[] = {install.root / "scenery.cfg", Ini(), install.package / "log.txt",
                               install.Cache(L) / "Traffic_Tolvane1_heli.bgl",
                               install.Scenery(L) / "Traffic_Harrel_Point.bgl"};
    for (const fs::path& place : places) {
        fs::remove(place);
        ASSERT_EQ(mkfifo(place.c_str(), 0666), 0);
    }
    for (const char* command : {"status", "scan", "restore", "apply"}) {
        for (bool dry : {true, false}) {
            std::vector<std::string> args = {command};
            if (dry && std::string(command) != "status") {
                args.push_back("--dry-run");
            }
            const ChildRun run = Tolvane(args);
            EXPECT_EQ(run.code, 2) << command << " " << dry << " " << run.err;
            EXPECT_NE(run.err.find("Not a regular file"), std::string::npos) << run.err;
        }
    }
    fs::remove(install.root / "scenery.cfg");
    fs::remove(Ini());
    WriteBytes(install.root / "scenery.cfg", "[Area.001]\r\nLocal=Scenery\\World\r\n");
    const ChildRun apply = Tolvane({"apply"});
    EXPECT_EQ(apply.code, 1);
    EXPECT_NE(apply.err.find("Traffic_Tolvane1_heli.bgl to "), std::string::npos) << apply.err;
    EXPECT_NE(apply.err.find("log.txt: Not a regular file"), std::string::npos) << apply.err;
}

// A Scenery copy that is a link to an endless device, or much larger than
// its master: "stale" is told without reading it.
TEST_F(HostileInstallTest, StaleIsToldWithoutReadingWhatTheUserDidNotChoose) {
    fs::create_symlink("/dev/zero", install.Scenery(L) / "Traffic_Tolvane1_heli.bgl");
    WriteBytes(install.Scenery(L) / "Traffic_Harrel_Point.bgl", "");
    fs::resize_file(install.Scenery(L) / "Traffic_Harrel_Point.bgl", 1ull << 32);  // sparse
    const ChildRun run = Tolvane({"status"});
    EXPECT_EQ(run.code, 1) << run.err;
    EXPECT_NE(run.out.find("Traffic_Tolvane1_heli.bgl  (stale"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Traffic_Harrel_Point.bgl  (stale"), std::string::npos) << run.out;
}

// Area folders this user may not write: the preview says what the scan
// then meets, with the same exit code and the same reasons.
TEST_F(HostileInstallTest, ScanPreviewInFoldersThatRefuseWrites) {
    const Listing before = ListTree(install.root);
    const ChildRun dry = Tolvane({"scan", "--dry-run"}, true);
    const ChildRun real = Tolvane({"scan"}, true);
    EXPECT_EQ(dry.code, 1);
    EXPECT_EQ(real.code, 1);
    EXPECT_EQ(ListTree(install.root), before);
    EXPECT_NE(real.err.find("could not rename"), std::string::npos) << real.err;
    std::string dryErr = dry.err;
    for (size_t at; (at = dryErr.find("would not ")) != std::string::npos;) {
        dryErr.replace(at, 10, "could not ");
    }
    EXPECT_EQ(dryErr, real.err);
}

// Two names that differ only in case are one file to Windows: the scan
// renames the one Wine finds first and then meets the other's new name.
TEST_F(HostileInstallTest, NamesThatDifferOnlyInCase) {
    const fs::path folder = install.root / "Addon Scenery" / "Drey Marrowby" / "scenery";
    fs::rename(folder / "Drey_Facility_CQP8.bgl", folder / "DREY_FACILITY_CQP8.BGL");
    WriteBytes(folder / "drey_facility_cqp8.bgl", "the other one");
    const ChildRun scan = Tolvane({"scan"});
    EXPECT_EQ(scan.code, 0);
    EXPECT_NE(scan.out.find("renamed " + Shown(folder / "Drey_Facility_CQP8.bgl")),
              std::string::npos)
        << scan.out;
    const ChildRun status = Tolvane({"status"});
    EXPECT_EQ(status.code, 1);
    EXPECT_NE(status.out.find("A scan could not rename " +
                              Shown(folder / "Drey_Facility_CQP8.bgl") + ": File exists"),
              std::string::npos)
        << status.out;
    const ChildRun again = Tolvane({"scan"});
    EXPECT_EQ(again.code, 1);
    EXPECT_NE(again.err.find("File exists"), std::string::npos) << again.err;
}

// An install inside a Wine prefix's drive_c, reached without --wineprefix:
// named on drive C: as Wine names it, read in the prefix's code page, and
// with the per-user copies Windows would keep in the prefix's VirtualStore.
class PrefixInstallTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(prefix / "dosdevices");
        fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
        fs::create_directory_symlink("/", prefix / "dosdevices" / "z:");
        WriteBytes(prefix / "system.reg",
                   "WINE REGISTRY Version "
                   "2\n\n[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\CodePage] "
                   "1\n\"ACP\"=\"1252\"\n\"OEMCP\"=\"437\"\n");
        WriteBytes(
            prefix / "user.reg",
            "WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\"
            "Explorer\\\\Shell Folders] 1\n\"Local AppData\"=\"C:\\\\users\\\\me\\\\AppData\\\\"
            "Local\"\n");
        std::string error;
        ASSERT_TRUE(sample::MakeInstall(prefix / "drive_c" / "Program Files" / "Flüge" / "FS9",
                                        sample::Options{}, &install, &error))
            << error;
    }

    fs::path Store() const {
        return prefix / "drive_c" / "users" / "me" / "AppData" / "Local" / "VirtualStore" /
               "Program Files" / "Flüge" / "FS9";
    }

    nlohmann::json Status(int expectedCode) {
        std::ostringstream out, err;
        EXPECT_EQ(
            RunTolvane({"--package", install.package.string(), "status", "--json"}, "", out, err),
            expectedCode)
            << err.str();
        return nlohmann::json::parse(out.str());
    }

    TempDir temp;
    fs::path prefix = temp.Path() / "prefix";
    sample::Install install;
};

TEST_F(PrefixInstallTest, VirtualStoreCopiesAreReported) {
    std::ostringstream out, err;
    ASSERT_EQ(RunTolvane({"--package", install.package.string(), "apply"}, "", out, err), 0);
    ASSERT_EQ(RunTolvane({"--package", install.package.string(), "scan"}, "", out, err), 0);
    nlohmann::json status = Status(0);
    // The package is named as Wine names it, in Windows-1252 (the JSON in UTF-8).
    EXPECT_EQ(status["package"], "C:\\Program Files\\Flüge\\FS9\\Addon Scenery\\Tolvane\\");
    EXPECT_EQ(status["virtualStore"]["folder"],
              "C:\\users\\me\\AppData\\Local\\VirtualStore\\Program Files\\Flüge\\FS9");
    EXPECT_TRUE(status["virtualStore"]["copies"].empty());
    EXPECT_EQ(ReadBytes(install.package / "log.txt").substr(0, 60),
              "Delete file failed\r\nDelete file failed\r\nDelete file failed\r\n");
    EXPECT_NE(ReadBytes(install.package / "log.txt").find("C:\\Program Files\\Fl\xFCge\\FS9"),
              std::string::npos);

    const fs::path store = Store();
    fs::create_directories(store / "Addon Scenery" / "Tolvane" / "Tolvane - Lower Priority" /
                           "Scenery");
    fs::create_directories(store / "Addon Scenery" / "Drey Marrowby" / "scenery");
    WriteBytes(store / "scenery.cfg", "[General]\r\n");
    WriteBytes(store / "Addon Scenery" / "Tolvane" / "TolvaneConfig.ini", "[UTCAN]\r\nUT=1\r\n");
    fs::copy_file(install.Scenery(L) / "Traffic_Tolvane1_heli.bgl",
                  store / "Addon Scenery" / "Tolvane" / "Tolvane - Lower Priority" / "Scenery" /
                      "Traffic_Tolvane1_heli.bgl");
    WriteBytes(store / "Addon Scenery" / "Drey Marrowby" / "scenery" / "Drey_Facility_CQP8.xxx",
               "x");
    WriteBytes(store / "unrelated.txt", "x");
    status = Status(1);
    const nlohmann::json& copies = status["virtualStore"]["copies"];
    ASSERT_EQ(copies.size(), 4u) << status["virtualStore"].dump(2);
    EXPECT_EQ(copies[0]["file"], "C:\\Program Files\\Flüge\\FS9\\scenery.cfg");
    EXPECT_EQ(copies[0]["differs"], true);
    EXPECT_EQ(copies[1]["meaning"],
              "TolvaneConfig started without administrator rights keeps its "
              "settings here; started as administrator it does not see them");
    EXPECT_EQ(copies[2]["differs"], false);
    EXPECT_EQ(copies[3]["realExists"], true);
    EXPECT_EQ(status["virtualStore"]["otherFiles"], 1);
}

// Names outside ASCII: scenery.cfg in Windows-1252, the host's names in
// UTF-8. The area is found under its UTF-8 name; a host name that is not
// UTF-8 is not found (never mangled into another), and no byte of a title
// or a path can make the JSON fail.
TEST_F(ApplyFixture, NamesOutsideAsciiAsWineReadsThem) {
    const fs::path utf8 = install.root / "Addon Scenery" / "Saarbrücken" / "scenery";
    const fs::path raw = install.root / "Addon Scenery" / "Raw\xFC" / "scenery";
    for (const fs::path& folder : {utf8, raw}) {
        fs::create_directories(folder);
        WriteBytes(folder / "Drey_Facility_CQP8.bgl", "x");
    }
    WriteBytes(install.root / "scenery.cfg",
               "[Area.001]\r\nTitle=Saarbr\xFC"
               "cken \x81\r\nLocal=Addon Scenery\\Saarbr\xFC"
               "cken\r\nActive=TRUE\r\n"
               "[Area.002]\r\nTitle=Raw\r\nLocal=Addon Scenery\\Raw\xC3\xBC\r\nActive=TRUE\r\n");
    std::ostringstream out, err;
    ASSERT_EQ(RunTolvane({"--package", install.package.string(), "scan", "--dry-run", "--json"}, "",
                         out, err),
              0)
        << err.str();
    const nlohmann::json scan = nlohmann::json::parse(out.str());
    ASSERT_EQ(scan["renames"].size(), 1u) << scan.dump(2);
    const std::string from = scan["renames"][0]["from"];
    EXPECT_EQ(from.substr(from.rfind("\\Addon Scenery\\")),
              "\\Addon Scenery\\Saarbrücken\\scenery\\Drey_Facility_CQP8.bgl");
    out.str("");
    RunTolvane({"--package", install.package.string(), "status", "--json"}, "", out, err);
    const nlohmann::json status = nlohmann::json::parse(out.str());
    EXPECT_EQ(status["library"]["conflicts"][0]["title"], "Saarbrücken \xEF\xBF\xBD");
}

}  // namespace
