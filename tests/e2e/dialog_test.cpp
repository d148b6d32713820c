// The shipped program under Wine (or Windows), driven from outside on a
// sample install; each test checks what is left on disk byte for byte.
#include <gtest/gtest.h>

#include <fstream>

#include "res/resource.h"
#include "tests/support/apply_fixture.h"
#include "tools/program_driver.h"

namespace fs = std::filesystem;

namespace {

constexpr PriorityArea L = PriorityArea::Lower;
const int kSubOptions[] = {IDC_GOLF_COURSES, IDC_PARKS,      IDC_MINOR_ROADS,
                           IDC_MAJOR_ROADS,  IDC_CEMETARIES, IDC_RAILROADS};
const int kTraffic[] = {IDC_FLOAT_PLANES, IDC_HELICOPTERS, IDC_CRUISE_SHIP, IDC_BOATS};
const char* const kConflicts[] = {"Drey_Facility_CQP8", "Drey_Marrowby_Brenmoor_VTPL",
                                  "Drey_Marrowby_Brenmoor_LWM2"};
const char* const kDefaultsIni =
    "[UTCAN]\r\nUT=0\r\nGolfCourses=0\r\nParks=0\r\nMinorRoads=0\r\nMajorRoads=1\r\n"
    "Cemetaries=0\r\nRailroads=0\r\n\r\n[AI]\r\nHelos=1\r\nShips=1\r\nFloats=1\r\nBoats=1\r\n\r\n";

// Whether all six sub-options are (or all are not) enabled; the dialog
// changes them one after the other.
bool SubOptionsEnabled(HWND dialog, bool enabled) {
    for (int id : kSubOptions) {
        if (driver::IsEnabled(dialog, id) != enabled) {
            return false;
        }
    }
    return true;
}

bool AllConflicts(const fs::path& folder, const char* ext) {
    for (const char* name : kConflicts) {
        if (!fs::exists(folder / (std::string(name) + ext))) {
            return false;
        }
    }
    return true;
}

class DialogTest : public ApplyFixture {
  protected:
    void SetUp() override {
        ApplyFixture::SetUp();
        const fs::path program = driver::ProgramUnderTest();
        ASSERT_FALSE(program.empty()) << "TOLVANE_PROGRAM is not set";
        fs::copy_file(program, install.package / "TolvaneConfig.exe");
    }

    // Starts the program and waits for its main dialog.
    HWND Open(const std::string& tail = "") {
        running = std::make_unique<driver::Program>();
        EXPECT_TRUE(running->Start(install.package / "TolvaneConfig.exe", tail));
        HWND dialog = running->WaitForWindow("TolvaneConfig");
        EXPECT_NE(dialog, nullptr) << "no dialog";
        return dialog;
    }

    // Waits for the program to end; a program that does not is saved as a
    // screenshot and reported with the windows it still shows.
    int Finish() {
        std::vector<std::string> open;
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        int code = running->WaitForExit(std::string(test->name()) + "-hung", &open);
        for (const std::string& caption : open) {
            ADD_FAILURE() << "still open: \"" << caption << "\"";
        }
        return code;
    }

    bool NothingWritten() const {
        return !fs::exists(install.package / "TolvaneConfig.ini") &&
               !fs::exists(install.package / "log.txt") &&
               fs::is_empty(install.Scenery(PriorityArea::Higher)) &&
               fs::is_empty(install.Scenery(L));
    }

    fs::path Area(const char* name, const char* sub = "scenery") const {
        return install.root / "Addon Scenery" / name / sub;
    }

    std::unique_ptr<driver::Program> running;
};

TEST_F(DialogTest, FirstStartShowsTheDefaultsAndDisablesConflicts) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    driver::SaveScreenshot(dialog, driver::ArtifactFolder() / "dialog-first-start.bmp", 1000);
    EXPECT_EQ(driver::CheckState(dialog, IDC_UT), BST_UNCHECKED);
    EXPECT_TRUE(driver::IsEnabled(dialog, IDC_UT));
    for (int id : kSubOptions) {
        EXPECT_EQ(driver::CheckState(dialog, id),
                  id == IDC_MAJOR_ROADS ? BST_CHECKED : BST_UNCHECKED)
            << id;
        EXPECT_FALSE(driver::IsEnabled(dialog, id)) << id;
    }
    for (int id : kTraffic) {
        EXPECT_EQ(driver::CheckState(dialog, id), BST_CHECKED) << id;
        EXPECT_TRUE(driver::IsEnabled(dialog, id)) << id;
    }
    EXPECT_TRUE(AllConflicts(Area("Drey Marrowby"), ".xxx"));
    EXPECT_TRUE(AllConflicts(install.root / "Extra Scenery" / "Brenmoor" / "Scenery", ".xxx"));
    EXPECT_TRUE(AllConflicts(Area("Old Harbour"), ".bgl"));

    driver::PressKey(dialog, VK_ESCAPE);
    EXPECT_EQ(Finish(), 0);
    EXPECT_TRUE(NothingWritten());
}

TEST_F(DialogTest, MasterSwitchEnablesSubOptionsAndKeepsMarks) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    driver::Click(dialog, IDC_PARKS);  // disabled: the click does nothing
    driver::Click(dialog, IDC_UT);
    ASSERT_TRUE(driver::WaitUntil([&] { return SubOptionsEnabled(dialog, true); }));
    EXPECT_EQ(driver::CheckState(dialog, IDC_UT), BST_CHECKED);
    for (int id : kSubOptions) {
        EXPECT_EQ(driver::CheckState(dialog, id),
                  id == IDC_MAJOR_ROADS ? BST_CHECKED : BST_UNCHECKED)
            << id;
    }
    driver::Click(dialog, IDC_PARKS);
    ASSERT_TRUE(
        driver::WaitUntil([&] { return driver::CheckState(dialog, IDC_PARKS) == BST_CHECKED; }));
    driver::Click(dialog, IDC_UT);
    ASSERT_TRUE(driver::WaitUntil([&] { return SubOptionsEnabled(dialog, false); }));
    EXPECT_EQ(driver::CheckState(dialog, IDC_PARKS), BST_CHECKED);
    driver::Click(dialog, IDC_UT);
    ASSERT_TRUE(driver::WaitUntil([&] { return SubOptionsEnabled(dialog, true); }));

    // Applied, and shown as applied at the next start.
    driver::Click(dialog, IDOK);
    EXPECT_EQ(Finish(), 0);
    std::string ini = kDefaultsIni;
    ini.replace(ini.find("UT=0"), 4, "UT=1").replace(ini.find("Parks=0"), 7, "Parks=1");
    EXPECT_EQ(ReadBytes(install.package / "TolvaneConfig.ini"), ini);
    EXPECT_EQ(ReadBytes(install.package / "log.txt"),
              ExpectedLogFile("ddCdddddd CCC Cdd CCC C C C"));

    dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(driver::CheckState(dialog, IDC_PARKS), BST_CHECKED);
    EXPECT_TRUE(driver::IsEnabled(dialog, IDC_PARKS));
    driver::PressKey(dialog, VK_ESCAPE);
    EXPECT_EQ(Finish(), 0);
}

TEST_F(DialogTest, EnterAppliesTheDefaults) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    driver::PressKey(dialog, VK_RETURN);
    EXPECT_EQ(Finish(), 0);
    EXPECT_EQ(ReadBytes(install.package / "TolvaneConfig.ini"), kDefaultsIni);
    EXPECT_EQ(ReadBytes(install.package / "log.txt"),
              ExpectedLogFile("dddddddddddd dCC CCC C C C"));
    EXPECT_TRUE(SceneryFiles(PriorityArea::Higher).empty());
    EXPECT_EQ(SceneryFiles(L),
              (std::vector<std::string>{
                  "TolvaneDEM_LWM2.BGL", "TolvaneDEM_LWM3.BGL", "Traffic_Harrel_Point.bgl",
                  "Traffic_Harrel_Point_additional.bgl", "Traffic_Tolvane1_heli.bgl",
                  "Traffic_Tolvane1_seaplane.bgl", "Traffic_marrowby_boats.bgl"}));
}

TEST_F(DialogTest, EveryWayOutWithoutApplyingWritesNothing) {
    struct Way {
        const char* name;
        std::function<void(HWND)> leave;
    };
    const Way ways[] = {
        {"Escape", [](HWND d) { driver::PressKey(d, VK_ESCAPE); }},
        {"Exit button", [](HWND d) { driver::Click(d, IDCANCEL); }},
        {"Alt+F4", [](HWND d) { driver::PressKey(d, VK_F4, true); }},
        {"close box", [](HWND d) { driver::ClickCloseBox(d); }},
        {"system menu Close", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Way& way : ways) {
        HWND dialog = Open();
        ASSERT_NE(dialog, nullptr) << way.name;
        way.leave(dialog);
        EXPECT_EQ(Finish(), 0) << way.name;
        EXPECT_TRUE(NothingWritten()) << way.name;
    }
}

TEST_F(DialogTest, RestoreModeShowsNoWindowAndWritesNothing) {
    fs::rename(Area("Old Harbour") / "Drey_Facility_CQP8.bgl",
               Area("Old Harbour") / "Drey_Facility_CQP8.xxx");
    HWND dialog = Open();  // the scan disables the active areas' files
    ASSERT_NE(dialog, nullptr);
    driver::PressKey(dialog, VK_ESCAPE);
    ASSERT_EQ(Finish(), 0);
    ASSERT_TRUE(AllConflicts(Area("Drey Marrowby"), ".xxx"));

    running = std::make_unique<driver::Program>();
    ASSERT_TRUE(running->Start(install.package / "TolvaneConfig.exe", "-u"));
    // Watched closely until it ends: not even a glimpse of a window.
    std::vector<std::string> seen;
    for (DWORD start = GetTickCount(); running->Running(1) && GetTickCount() - start < 20000;) {
        for (const std::string& caption : running->VisibleWindows()) {
            seen.push_back(caption);
        }
    }
    EXPECT_EQ(Finish(), 0);
    EXPECT_TRUE(seen.empty()) << "a window was shown: \"" << seen.front() << "\"";
    EXPECT_TRUE(AllConflicts(Area("Drey Marrowby"), ".bgl"));
    EXPECT_TRUE(AllConflicts(install.root / "Extra Scenery" / "Brenmoor" / "Scenery", ".bgl"));
    EXPECT_TRUE(AllConflicts(Area("Old Harbour"), ".bgl"));
    EXPECT_TRUE(NothingWritten());

    for (const char* tail : {"-U", "-u "}) {
        dialog = Open(tail);
        ASSERT_NE(dialog, nullptr) << tail;
        driver::PressKey(dialog, VK_ESCAPE);
        EXPECT_EQ(Finish(), 0);
    }
}

TEST_F(DialogTest, MissingLibraryIsReportedBeforeTheDialog) {
    fs::remove(install.root / "scenery.cfg");
    for (const char* tail : {"", "-u"}) {
        running = std::make_unique<driver::Program>();
        ASSERT_TRUE(running->Start(install.package / "TolvaneConfig.exe", tail));
        HWND box = running->WaitForWindow("TolvConfg error");
        ASSERT_NE(box, nullptr) << tail;
        EXPECT_EQ(running->WaitForWindow("TolvaneConfig", 500), nullptr) << "dialog before message";
        const std::string place = *tail == '\0' ? "Addon Scenery" : "Addon scenery";
        EXPECT_EQ(
            driver::MessageText(box),
            "TolvConfig was unable to find the FS scenery.cfg file. This program must be run "
            "from the [FS9]\\" +
                place +
                "\\Tolvane folder.  Please ensure that the program "
                "is installed to the correct folder, and that the scenery.cfg file is located "
                "in your FS9 root folder.");
        EXPECT_NE(driver::MessageIcon(box), nullptr);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        if (*tail == '\0') {
            HWND dialog = running->WaitForWindow("TolvaneConfig");
            ASSERT_NE(dialog, nullptr);
            driver::PressKey(dialog, VK_ESCAPE);
        }
        EXPECT_EQ(Finish(), 0) << tail;
    }
    EXPECT_TRUE(NothingWritten());
}

TEST_F(DialogTest, AboutBoxIsModalOverTheDialog) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    for (WPARAM command : {0x0010, 0x0013}) {
        PostMessageA(dialog, WM_SYSCOMMAND, command, 0);
        HWND about = running->WaitForWindow("About TolvaneConfig");
        ASSERT_NE(about, nullptr) << command;
        if (command == 0x0010) {
            driver::SaveScreenshot(about, driver::ArtifactFolder() / "about-box.bmp", 1000);
        }
        bool versionShown = false;
        for (HWND child : driver::Children(about)) {
            versionShown =
                versionShown || driver::WindowText(child) == "TolvaneConfig Version 6.07";
        }
        EXPECT_TRUE(versionShown);
        EXPECT_FALSE(IsWindowEnabled(dialog)) << "the dialog must wait for the About box";
        driver::Click(about, IDOK);
        ASSERT_TRUE(driver::WaitUntil([&] { return IsWindowEnabled(dialog) != FALSE; }));
    }
    driver::PressKey(dialog, VK_ESCAPE);
    EXPECT_EQ(Finish(), 0);
}

TEST_F(DialogTest, FailuresOnTheRealPlatformDoNotStopTheApply) {
    const std::string heli = "Traffic_Tolvane1_heli.bgl";
    const std::string parks = "1_UT_PK915140_Tvl+.bgl";
    WriteBytes(install.Scenery(PriorityArea::Higher) / parks, "read-only");
    SetFileAttributesA((layout.higherScenery + parks).c_str(), FILE_ATTRIBUTE_READONLY);
    fs::remove(install.Cache(L) / heli);
    WriteBytes(install.package / "TolvaneConfig.ini", "[UTCAN]\r\nUT=1\r\n");
    SetFileAttributesA(layout.iniPath.c_str(), FILE_ATTRIBUTE_READONLY);

    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    driver::PressKey(dialog, VK_RETURN);
    EXPECT_EQ(Finish(), 0);

    const std::string written = ReadBytes(install.package / "log.txt");
    EXPECT_EQ(written.find("Delete file failed\r\nDelete file failed\r\nDelete file failed\r\n"),
              0u)
        << written;  // the read-only parks layer among the first three
    EXPECT_NE(written.find("File copy failed: " + layout.lowerCache + heli + " to " +
                           layout.lowerScenery + heli + "\r\n"),
              std::string::npos);
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 21);
    EXPECT_EQ(ReadBytes(install.Scenery(PriorityArea::Higher) / parks), "read-only");
    EXPECT_EQ(ReadBytes(install.package / "TolvaneConfig.ini"), "[UTCAN]\r\nUT=1\r\n");

    // A log file that cannot be written: the dialog still closes.
    SetFileAttributesA((install.package / "log.txt").string().c_str(), FILE_ATTRIBUTE_READONLY);
    dialog = Open();
    ASSERT_NE(dialog, nullptr);
    driver::PressKey(dialog, VK_RETURN);
    EXPECT_EQ(Finish(), 0);
    EXPECT_EQ(ReadBytes(install.package / "log.txt"), written);
    SetFileAttributesA((install.package / "log.txt").string().c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA(layout.iniPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA((layout.higherScenery + parks).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A scenery.cfg far larger than any real one, its areas after 600 MB of
// lines without a key, is read to its end before the dialog opens.
TEST_F(DialogTest, AHugeLibraryIsReadToItsEnd) {
    {
        std::ofstream out(install.root / "scenery.cfg", std::ios::binary | std::ios::trunc);
        const std::string padding = std::string(1022, ';') + "\r\n";
        for (int i = 0; i < 600 * 1024; ++i) {
            out.write(padding.data(), static_cast<std::streamsize>(padding.size()));
        }
        out << "[Area.001]\r\nLocal=Addon Scenery\\Drey Marrowby\r\nActive=TRUE\r\n";
    }
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(AllConflicts(Area("Drey Marrowby"), ".xxx"));
    EXPECT_TRUE(AllConflicts(Area("Old Harbour"), ".bgl"));
    driver::PressKey(dialog, VK_ESCAPE);
    EXPECT_EQ(Finish(), 0);
    fs::remove(install.root / "scenery.cfg");
}

// Hundreds of files that cannot be renamed, in folders with long names,
// make a message that still fits a 1024 x 768 screen.
TEST_F(DialogTest, ManyFailedRenamesGiveAMessageThatFitsTheScreen) {
    std::string library = "[General]\r\nTitle=FS9 World Scenery\r\n";
    const size_t room = 190 - std::min<size_t>(150, layout.fsRoot.size());  // paths below 260
    for (int n = 0; n < 120; ++n) {
        std::string name = "Area " + std::to_string(n) + " ";
        name += std::string(room - name.size(), 'x');
        for (const char* ext : {".bgl", ".xxx"}) {
            for (const char* file : kConflicts) {
                fs::create_directories(Area(name.c_str()));
                WriteBytes(Area(name.c_str()) / (std::string(file) + ext), file);
            }
        }
        library += "\r\n[Area." + std::to_string(n) + "]\r\nLocal=Addon Scenery\\" + name +
                   "\r\nActive=TRUE\r\n";
    }
    WriteBytes(install.root / "scenery.cfg", library);

    running = std::make_unique<driver::Program>();
    ASSERT_TRUE(running->Start(install.package / "TolvaneConfig.exe", ""));
    HWND box = running->WaitForWindow("TolvConfg error");
    ASSERT_NE(box, nullptr);
    driver::SaveScreenshot(box, driver::ArtifactFolder() / "rename-failures.bmp", 1000);
    RECT frame{};
    GetWindowRect(box, &frame);
    EXPECT_GE(frame.left, 0);
    EXPECT_GE(frame.top, 0);
    EXPECT_LE(frame.right, std::min(1024, GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_LE(frame.bottom, std::min(768, GetSystemMetrics(SM_CYSCREEN)));
    const std::string text = driver::MessageText(box);
    EXPECT_EQ(text.rfind("TolvaneConfig could not rename these files; they keep their names:", 0),
              0u);
    EXPECT_NE(text.find("350 more files could not be renamed."), std::string::npos) << text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    HWND dialog = running->WaitForWindow("TolvaneConfig");
    ASSERT_NE(dialog, nullptr);
    driver::PressKey(dialog, VK_ESCAPE);
    EXPECT_EQ(Finish(), 0);
}

}  // namespace
