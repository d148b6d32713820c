#include "tests/support/apply_fixture.h"

#include <algorithm>

namespace fs = std::filesystem;

void ApplyFixture::SetUp() {
    std::string error;
    ASSERT_TRUE(sample::MakeInstall(temp.Path() / "FS9", sample::Options{}, &install, &error))
        << error;
    ASSERT_TRUE(DeriveInstallLayout(WinPath(install.package / "TolvaneConfig.exe"), &layout, &error,
                                    HostFiles().AnsiCodePage()))
        << error;
}

std::vector<std::string> ApplyFixture::LogLines() const {
    std::vector<std::string> lines = SplitLines(log.Text());
    EXPECT_EQ(lines.back(), "") << "the log must end with a line break";
    lines.pop_back();
    return lines;
}

namespace {

// The plan's 21 actions take the sample's 20 layer files in their order,
// the boats file twice (the ships row, then the boats row).
std::vector<std::pair<PriorityArea, std::string>> PlanFiles() {
    auto files = sample::LayerFiles();
    auto boats =
        std::find(files.begin(), files.end(),
                  std::make_pair(PriorityArea::Lower, std::string("Traffic_marrowby_boats.bgl")));
    files.insert(boats, *boats);
    return files;
}

}  // namespace

std::vector<std::string> ApplyFixture::ExpectedLog(std::string outcomes) const {
    std::erase(outcomes, ' ');
    const auto files = PlanFiles();
    EXPECT_EQ(outcomes.size(), files.size()) << outcomes;
    std::vector<std::string> lines;
    for (size_t i = 0; i < outcomes.size() && i < files.size(); ++i) {
        const std::string folder = WinPath(install.package) + "\\Tolvane - " +
                                   (files[i].first == PriorityArea::Higher ? "Higher" : "Lower") +
                                   " Priority";
        const std::string cache = folder + "\\Cache\\" + files[i].second;
        const std::string scenery = folder + "\\Scenery\\" + files[i].second;
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

std::string ApplyFixture::ExpectedLogFile(const std::string& outcomes) const {
    std::string text;
    for (const std::string& line : ExpectedLog(outcomes)) {
        text += line + "\r\n";
    }
    return text;
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
