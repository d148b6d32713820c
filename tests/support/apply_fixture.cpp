#include "tests/support/apply_fixture.h"

#include <algorithm>
#include <iterator>

namespace fs = std::filesystem;

void ApplyFixture::SetUp() {
    std::string error;
    ASSERT_TRUE(sample::MakeInstall(temp.Path() / "FS9", sample::Options{}, &install, &error))
        << error;
    ASSERT_TRUE(
        DeriveInstallLayout(WinPath(install.package / "TolvaneConfig.exe"), &layout, &error))
        << error;
}

std::vector<std::string> ApplyFixture::LogLines() const {
    std::vector<std::string> lines;
    const std::string& text = log.Text();
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "the log must end with a line break";
    return lines;
}

namespace {

// The plan's 21 files in the order of their actions, with their areas'
// folders.
struct PlanFile {
    const char* area;
    const char* name;
};

const char* const kHigher = "Tolvane - Higher Priority";
const char* const kLower = "Tolvane - Lower Priority";

const PlanFile kPlanFiles[] = {
    {kHigher, "1_UT_PC915140_Tvl+.bgl"},
    {kHigher, "1_UT_PG915140_Tvl+.bgl"},
    {kHigher, "1_UT_PK915140_Tvl+.bgl"},
    {kHigher, "1_UT_RR915140-0077_Tvl+_120x117.bgl"},
    {kHigher, "1_UT_RR915140-0077_Tvl+_120x118.bgl"},
    {kHigher, "1_UT_RA915140-5077_Tvl+_120x117.bgl"},
    {kHigher, "1_UT_RA915140-5077_Tvl+_120x118.bgl"},
    {kHigher, "1_UT_RA915140-5077_Tvl+_121x117.bgl"},
    {kHigher, "1_UT_RA915140-5077_Tvl+_121x118.bgl"},
    {kHigher, "1_UT_RM915140-4077_Tvl+_120x117.bgl"},
    {kHigher, "1_UT_RM915140-4077_Tvl+_120x118.bgl"},
    {kHigher, "1_UT_RM915140-4077_Tvl+_121x117.bgl"},
    {kLower, "0_excl_UT-layers_6+8_120-121x117-118.bgl"},
    {kLower, "TolvaneDEM_LWM2.BGL"},
    {kLower, "TolvaneDEM_LWM3.BGL"},
    {kLower, "Traffic_Harrel_Point_additional.bgl"},
    {kLower, "Traffic_Harrel_Point.bgl"},
    {kLower, "Traffic_marrowby_boats.bgl"},
    {kLower, "Traffic_marrowby_boats.bgl"},
    {kLower, "Traffic_Tolvane1_seaplane.bgl"},
    {kLower, "Traffic_Tolvane1_heli.bgl"},
};

}  // namespace

std::vector<std::string> ApplyFixture::ExpectedLog(const std::string& outcomes) const {
    EXPECT_EQ(outcomes.size(), std::size(kPlanFiles)) << outcomes;
    const std::string package = WinPath(install.package) + "\\";
    std::vector<std::string> lines;
    for (size_t i = 0; i < outcomes.size() && i < std::size(kPlanFiles); ++i) {
        const std::string folder = package + kPlanFiles[i].area;
        const std::string cache = folder + "\\Cache\\" + kPlanFiles[i].name;
        const std::string scenery = folder + "\\Scenery\\" + kPlanFiles[i].name;
        switch (outcomes[i]) {
            case 'C':
                lines.push_back("Copied file " + cache + " to " + scenery);
                break;
            case 'F':
                lines.push_back("File copy failed: " + cache + " to " + scenery);
                break;
            case 'D':
                lines.push_back("Deleted file " + scenery);
                break;
            default:
                lines.push_back("Delete file failed");
                break;
        }
    }
    return lines;
}

std::vector<std::string> ApplyFixture::SceneryFiles(PriorityArea area) const {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(install.Scenery(area))) {
        std::string name = entry.path().filename().string();
        EXPECT_EQ(ReadBytes(entry.path()), ReadBytes(install.Cache(area) / name)) << name;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}
