#include "app/config_dialog.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/apply_fixture.h"
#include "tests/support/fake_dialog_window.h"

namespace fs = std::filesystem;

namespace {

const int kSubOptions[] = {IDC_GOLF_COURSES, IDC_PARKS,      IDC_MINOR_ROADS,
                           IDC_MAJOR_ROADS,  IDC_CEMETARIES, IDC_RAILROADS};

class ConfigDialogTest : public ApplyFixture {
  protected:
    CConfigDlg MakeDialog(const std::string& exePath = "") {
        return CConfigDlg(
            window, HostFiles(),
            exePath.empty() ? WinPath(install.package / "TolvaneConfig.exe") : exePath);
    }

    bool SubOptionsEnabled(bool expected) {
        for (int id : kSubOptions) {
            if (window.enabled.count(id) == 0 || window.enabled[id] != expected) {
                return false;
            }
        }
        return true;
    }

    FakeDialogWindow window;
};

TEST_F(ConfigDialogTest, FirstStartShowsTheDefaultsAndScans) {
    CConfigDlg dialog = MakeDialog();
    EXPECT_TRUE(dialog.OnInitDialog());
    EXPECT_EQ(window.checks, (std::map<int, int>{{IDC_GOLF_COURSES, 0},
                                                 {IDC_PARKS, 0},
                                                 {IDC_MINOR_ROADS, 0},
                                                 {IDC_MAJOR_ROADS, 1},
                                                 {IDC_UT, 0},
                                                 {IDC_FLOAT_PLANES, 1},
                                                 {IDC_CEMETARIES, 0},
                                                 {IDC_HELICOPTERS, 1},
                                                 {IDC_CRUISE_SHIP, 1},
                                                 {IDC_BOATS, 1},
                                                 {IDC_RAILROADS, 0}}));
    EXPECT_TRUE(SubOptionsEnabled(false));
    EXPECT_EQ(window.enabled.size(), 6u);  // the master and the traffic boxes stay enabled
    // The scan ran: the active area's conflicting files are disabled.
    EXPECT_TRUE(fs::exists(install.root / "Addon Scenery" / "Drey Marrowby" / "scenery" /
                           "Drey_Facility_CQP8.xxx"));
    window.calls.clear();
    dialog.OnCancel();  // leaving writes nothing
    EXPECT_EQ(window.calls, (std::vector<std::string>{"End 2"}));
    EXPECT_FALSE(fs::exists(install.package / "TolvaneConfig.ini"));
    EXPECT_FALSE(fs::exists(install.package / "log.txt"));
}

TEST_F(ConfigDialogTest, MasterClickEnablesAndKeepsMarks) {
    WriteBytes(install.package / "TolvaneConfig.ini", "[UTCAN]\r\nUT=2\r\nParks=1\r\n");
    CConfigDlg dialog = MakeDialog();
    dialog.OnInitDialog();
    EXPECT_TRUE(SubOptionsEnabled(true));  // any non-zero UT
    EXPECT_EQ(window.checks[IDC_UT], 1);

    window.checks[IDC_UT] = 0;  // the box toggled itself
    dialog.OnUtClicked();
    EXPECT_TRUE(SubOptionsEnabled(false));
    EXPECT_EQ(window.checks[IDC_PARKS], 1);
    EXPECT_EQ(window.checks[IDC_MAJOR_ROADS], 1);
    EXPECT_EQ(dialog.m_settings.UT, 0);
}

TEST_F(ConfigDialogTest, ApplySavesEveryMarkButThePlanNeedsTheMaster) {
    CConfigDlg dialog = MakeDialog();
    dialog.OnInitDialog();
    window.checks[IDC_PARKS] = 1;  // ticked while disabled: saved, not applied
    window.checks[IDC_BOATS] = 0;
    window.calls.clear();
    dialog.OnOK();

    EXPECT_EQ(window.calls, (std::vector<std::string>{"End 1"}));
    EXPECT_EQ(ReadBytes(install.package / "TolvaneConfig.ini"),
              "[UTCAN]\r\nUT=0\r\nGolfCourses=0\r\nParks=1\r\nMinorRoads=0\r\nMajorRoads=1\r\n"
              "Cemetaries=0\r\nRailroads=0\r\n\r\n[AI]\r\nHelos=1\r\nShips=1\r\nFloats=1\r\n"
              "Boats=0\r\n\r\n");
    EXPECT_EQ(ReadBytes(install.package / "log.txt"),
              ExpectedLogFile("dddddddddddd dCC CCC D C C"));
}

TEST_F(ConfigDialogTest, RestoreModeRestoresAndEndsAtOnce) {
    const fs::path scenery = install.root / "Addon Scenery" / "Old Harbour" / "scenery";
    fs::rename(scenery / "Drey_Facility_CQP8.bgl", scenery / "Drey_Facility_CQP8.xxx");
    CConfigDlg dialog = MakeDialog();
    dialog.m_nUninstall = 1;
    EXPECT_FALSE(dialog.OnInitDialog());
    EXPECT_EQ(window.calls.back(), "End 1");
    EXPECT_TRUE(fs::exists(scenery / "Drey_Facility_CQP8.bgl"));
    EXPECT_EQ(dialog.m_settings.MajorRoads, 0);  // nothing loaded
    EXPECT_TRUE(window.enabled.empty());
    EXPECT_FALSE(fs::exists(install.package / "TolvaneConfig.ini"));
    EXPECT_FALSE(fs::exists(install.package / "log.txt"));
}

TEST_F(ConfigDialogTest, MissingLibraryMessageComesBeforeTheDialogOpens) {
    fs::remove(install.root / "scenery.cfg");
    CConfigDlg dialog = MakeDialog();
    EXPECT_TRUE(dialog.OnInitDialog());
    EXPECT_EQ(window.calls.back(),
              "Message TolvConfg error: TolvConfig was unable to find the FS sce");
}

TEST_F(ConfigDialogTest, AnExecutablePathWithoutAFolderEndsTheDialog) {
    CConfigDlg dialog = MakeDialog("TolvaneConfig.exe");
    EXPECT_FALSE(dialog.OnInitDialog());
    ASSERT_GE(window.calls.size(), 2u);
    EXPECT_EQ(window.calls[window.calls.size() - 2],
              "Message TolvaneConfig: The program's own path has no folder in ");
    EXPECT_EQ(window.calls.back(), "End 2");
    EXPECT_TRUE(window.enabled.empty());
}

}  // namespace
