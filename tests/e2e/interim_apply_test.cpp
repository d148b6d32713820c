#include <gtest/gtest.h>

#include "layers/layer_plan.h"
#include "tests/apply_fixture.h"
#include "tests/e2e/program_runner.h"

namespace fs = std::filesystem;
using testing_support::ReadBytes;

namespace {

// A sample install with the program under test in its package folder.
class InterimApplyTest : public ApplyFixture {
protected:
    void SetUp() override {
        ApplyFixture::SetUp();
        const fs::path program = e2e::ProgramUnderTest();
        ASSERT_FALSE(program.empty()) << "TOLVANE_PROGRAM is not set";
        fs::copy_file(program, install.package / "TolvaneConfig.exe");
    }
};

TEST_F(InterimApplyTest, FirstStartAppliesTheDefaultsAndWritesSettingsAndLog) {
    ASSERT_EQ(e2e::RunProgram(install.package / "TolvaneConfig.exe", "", 60000), 0);

    constexpr PriorityArea L = PriorityArea::Lower;
    std::string expected;
    for (int i = 0; i < 13; ++i) {
        expected += "Delete file failed\r\n";
    }
    for (const char* name :
         {"TolvaneDEM_LWM2.BGL", "TolvaneDEM_LWM3.BGL", "Traffic_Harrel_Point_additional.bgl",
          "Traffic_Harrel_Point.bgl", "Traffic_marrowby_boats.bgl", "Traffic_marrowby_boats.bgl",
          "Traffic_Tolvane1_seaplane.bgl", "Traffic_Tolvane1_heli.bgl"}) {
        expected += CopiedLine(L, name) + "\r\n";
    }
    EXPECT_EQ(ReadBytes(install.package / "log.txt"), expected);
    EXPECT_EQ(ReadBytes(install.package / "TolvaneConfig.ini"),
              "[UTCAN]\r\nUT=0\r\nGolfCourses=0\r\nParks=0\r\nMinorRoads=0\r\nMajorRoads=1\r\n"
              "Cemetaries=0\r\nRailroads=0\r\n\r\n[AI]\r\nHelos=1\r\nShips=1\r\nFloats=1\r\n"
              "Boats=1\r\n\r\n");
    EXPECT_TRUE(SceneryFiles(PriorityArea::Higher).empty());
    EXPECT_EQ(SceneryFiles(L),
              (std::vector<std::string>{
                  "TolvaneDEM_LWM2.BGL", "TolvaneDEM_LWM3.BGL", "Traffic_Harrel_Point.bgl",
                  "Traffic_Harrel_Point_additional.bgl", "Traffic_Tolvane1_heli.bgl",
                  "Traffic_Tolvane1_seaplane.bgl", "Traffic_marrowby_boats.bgl"}));
}

}  // namespace

namespace {

TEST_F(InterimApplyTest, SavedChoicesAreAppliedAndRewrittenInFull) {
    testing_support::WriteBytes(install.package / "TolvaneConfig.ini",
                                "[AI]\nShips=0\nBoats=0\n[UTCAN]\nUT=2\n[Old]\nx=1\n");

    ASSERT_EQ(e2e::RunProgram(install.package / "TolvaneConfig.exe", "", 60000), 0);

    EXPECT_EQ(ReadBytes(install.package / "TolvaneConfig.ini"),
              "[UTCAN]\r\nUT=2\r\nGolfCourses=0\r\nParks=0\r\nMinorRoads=0\r\nMajorRoads=1\r\n"
              "Cemetaries=0\r\nRailroads=0\r\n\r\n[AI]\r\nHelos=1\r\nShips=0\r\nFloats=1\r\n"
              "Boats=0\r\n\r\n");
    EXPECT_EQ(SceneryFiles(PriorityArea::Higher),
              (std::vector<std::string>{"1_UT_RM915140-4077_Tvl+_120x117.bgl",
                                        "1_UT_RM915140-4077_Tvl+_120x118.bgl",
                                        "1_UT_RM915140-4077_Tvl+_121x117.bgl"}));
    EXPECT_EQ(
        SceneryFiles(PriorityArea::Lower),
        (std::vector<std::string>{"0_excl_UT-layers_6+8_120-121x117-118.bgl",
                                  "Traffic_Tolvane1_heli.bgl", "Traffic_Tolvane1_seaplane.bgl"}));
}

}  // namespace

namespace {

const char* const kConflicts[] = {"Drey_Facility_CQP8", "Drey_Marrowby_Brenmoor_VTPL",
                                  "Drey_Marrowby_Brenmoor_LWM2"};

bool AllPresent(const fs::path& folder, const char* ext) {
    for (const char* name : kConflicts) {
        if (!fs::exists(folder / (std::string(name) + ext))) {
            return false;
        }
    }
    return true;
}

TEST_F(InterimApplyTest, ScanDisablesActiveConflictsAndRestoreBringsThemBack) {
    const fs::path active = install.root / "Addon Scenery" / "Drey Marrowby" / "scenery";
    const fs::path absolute = install.root / "Extra Scenery" / "Brenmoor" / "Scenery";
    const fs::path inactive = install.root / "Addon Scenery" / "Old Harbour" / "scenery";

    ASSERT_EQ(e2e::RunProgram(install.package / "TolvaneConfig.exe", "", 60000), 0);
    EXPECT_TRUE(AllPresent(active, ".xxx"));
    EXPECT_TRUE(AllPresent(absolute, ".xxx"));
    EXPECT_TRUE(AllPresent(inactive, ".bgl"));
    EXPECT_FALSE(AllPresent(active, ".bgl"));

    // Restore mode touches neither the settings nor the log.
    fs::remove(install.package / "TolvaneConfig.ini");
    fs::remove(install.package / "log.txt");
    ASSERT_EQ(e2e::RunProgram(install.package / "TolvaneConfig.exe", "-u", 60000), 0);
    EXPECT_TRUE(AllPresent(active, ".bgl"));
    EXPECT_TRUE(AllPresent(absolute, ".bgl"));
    EXPECT_FALSE(AllPresent(active, ".xxx"));
    EXPECT_FALSE(fs::exists(install.package / "TolvaneConfig.ini"));
    EXPECT_FALSE(fs::exists(install.package / "log.txt"));

    // Only an exact "-u" selects restore mode.
    ASSERT_EQ(e2e::RunProgram(install.package / "TolvaneConfig.exe", "-U", 60000), 0);
    EXPECT_TRUE(AllPresent(active, ".xxx"));
    EXPECT_TRUE(fs::exists(install.package / "log.txt"));
}

}  // namespace
