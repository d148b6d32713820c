#include <gtest/gtest.h>

#include "layers/layer_plan.h"
#include "tests/apply_fixture.h"
#include "tests/e2e/program_runner.h"

namespace fs = std::filesystem;
using testing_support::ReadBytes;

namespace {

class InterimApplyTest : public ApplyFixture {};

TEST_F(InterimApplyTest, AppliesTheFirstStartChoicesAndWritesTheLog) {
    const fs::path program = e2e::ProgramUnderTest();
    ASSERT_FALSE(program.empty()) << "TOLVANE_PROGRAM is not set";
    fs::copy_file(program, install.package / "TolvaneConfig.exe");

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
    EXPECT_TRUE(SceneryFiles(PriorityArea::Higher).empty());
    EXPECT_EQ(SceneryFiles(L),
              (std::vector<std::string>{
                  "TolvaneDEM_LWM2.BGL", "TolvaneDEM_LWM3.BGL", "Traffic_Harrel_Point.bgl",
                  "Traffic_Harrel_Point_additional.bgl", "Traffic_Tolvane1_heli.bgl",
                  "Traffic_Tolvane1_seaplane.bgl", "Traffic_marrowby_boats.bgl"}));
}

}  // namespace
