#include "app/config_dialog.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/apply_fixture.h"

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::WriteBytes;

namespace {

// A window that keeps marks and enabled states and records every call.
class FakeWindow : public ConfigDialogWindow {
  public:
    bool HasSystemMenu() override { return record("HasSystemMenu"), hasSystemMenu; }
    void AppendSystemMenuSeparator() override { record("Separator"); }
    void AppendSystemMenuItem(unsigned command, const std::string& text) override {
        record("MenuItem " + std::to_string(command) + " " + text);
    }
    std::string LoadResourceString(unsigned id) override {
        record("LoadString " + std::to_string(id));
        return aboutText;
    }
    void SetBigIcon() override { record("BigIcon"); }
    void SetSmallIcon() override { record("SmallIcon"); }
    int GetCheck(int id) override { return checks[id]; }
    void SetCheck(int id, bool ticked) override { checks[id] = ticked ? 1 : 0; }
    void EnableControl(int id, bool on) override { enabled[id] = on; }
    void EndDialog(int result) override { record("End " + std::to_string(result)); }
    void ShowMessage(const std::string& text, const std::string& caption, unsigned) override {
        record("Message " + caption + ": " + text.substr(0, 40));
    }
    void RunAboutBox() override { record("About"); }
    void DefaultHandling() override { record("Default"); }
    bool IsIconic() override { return iconic; }
    void PaintMinimisedIcon() override { record("PaintIcon"); }
    void* Icon() override { return &icon; }
    platform::WindowHandle Handle() override { return nullptr; }

    void record(const std::string& call) { calls.push_back(call); }

    bool hasSystemMenu = true;
    std::string aboutText = "&About TolvaneConfig...";
    bool iconic = false;
    int icon = 0;
    std::map<int, int> checks;
    std::map<int, bool> enabled;
    std::vector<std::string> calls;
};

const int kSubOptions[] = {IDC_GOLF_COURSES, IDC_PARKS,      IDC_MINOR_ROADS,
                           IDC_MAJOR_ROADS,  IDC_CEMETARIES, IDC_RAILROADS};

class ConfigDialogTest : public ApplyFixture {
  protected:
    CConfigDlg MakeDialog() {
        return CConfigDlg(window, testing_support::WinPath(install.package / "TolvaneConfig.exe"));
    }

    bool SubOptionsEnabled(bool expected) {
        for (int id : kSubOptions) {
            if (window.enabled.count(id) == 0 || window.enabled[id] != expected) {
                return false;
            }
        }
        return true;
    }

    FakeWindow window;
};

TEST_F(ConfigDialogTest, FirstStartShowsTheDefaultsAndScans) {
    CConfigDlg dialog = MakeDialog();
    EXPECT_TRUE(dialog.OnInitDialog());
    EXPECT_EQ(window.calls, (std::vector<std::string>{
                                "HasSystemMenu", "LoadString 101", "Separator",
                                "MenuItem 16 &About TolvaneConfig...", "BigIcon", "SmallIcon"}));
    EXPECT_EQ(window.checks[IDC_UT], 0);
    EXPECT_EQ(window.checks[IDC_MAJOR_ROADS], 1);
    EXPECT_EQ(window.checks[IDC_PARKS], 0);
    for (int id : {IDC_FLOAT_PLANES, IDC_HELICOPTERS, IDC_CRUISE_SHIP, IDC_BOATS}) {
        EXPECT_EQ(window.checks[id], 1) << id;
        EXPECT_EQ(window.enabled.count(id), 0u) << "never disabled: " << id;
    }
    EXPECT_TRUE(SubOptionsEnabled(false));
    EXPECT_EQ(window.enabled.count(IDC_UT), 0u);
    EXPECT_EQ(dialog.m_layout.exeDir, layout.exeDir);
    // The scan ran: the active area's conflicting files are disabled.
    EXPECT_TRUE(fs::exists(install.root / "Addon Scenery" / "Drey Marrowby" / "scenery" /
                           "Drey_Facility_CQP8.xxx"));
    EXPECT_FALSE(fs::exists(install.package / "TolvaneConfig.ini"));
}

TEST_F(ConfigDialogTest, AboutEntryNeedsMenuAndText) {
    window.hasSystemMenu = false;
    MakeDialog().OnInitDialog();
    EXPECT_EQ(window.calls, (std::vector<std::string>{"HasSystemMenu", "BigIcon", "SmallIcon"}));

    window = FakeWindow();
    window.aboutText.clear();
    MakeDialog().OnInitDialog();
    EXPECT_EQ(window.calls, (std::vector<std::string>{"HasSystemMenu", "LoadString 101", "BigIcon",
                                                      "SmallIcon"}));
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
    std::string logText = ReadBytes(install.package / "log.txt");
    EXPECT_EQ(std::count(logText.begin(), logText.end(), '\n'), 21);
    EXPECT_TRUE(SceneryFiles(PriorityArea::Higher).empty());
    EXPECT_FALSE(fs::exists(install.Scenery(PriorityArea::Lower) / "Traffic_marrowby_boats.bgl"));
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

TEST_F(ConfigDialogTest, SystemCommandsPaintingAndCancel) {
    CConfigDlg dialog = MakeDialog();
    dialog.OnSysCommand(0x0010, 0);
    dialog.OnSysCommand(0x0013, 0);
    dialog.OnSysCommand(0xABCD0015, 0);
    dialog.OnSysCommand(0xF060, 0);  // SC_CLOSE
    dialog.OnSysCommand(0x0020, 0);
    dialog.OnPaint();
    window.iconic = true;
    dialog.OnPaint();
    EXPECT_EQ(dialog.OnQueryDragIcon(), &window.icon);
    dialog.OnCancel();
    EXPECT_EQ(window.calls, (std::vector<std::string>{"About", "About", "About", "Default",
                                                      "Default", "Default", "PaintIcon", "End 2"}));
    EXPECT_FALSE(fs::exists(install.package / "log.txt"));
}

TEST(CentredIconOriginTest, RoundsTowardsZero) {
    EXPECT_EQ(CentredIconOrigin(160, 30, 32, 32), std::make_pair(64, 0));
    EXPECT_EQ(CentredIconOrigin(33, 33, 32, 32), std::make_pair(1, 1));
    EXPECT_EQ(CentredIconOrigin(0, 10, 32, 32), std::make_pair(-15, -10));
}

}  // namespace
