#include "tests/apply_fixture.h"

#include <algorithm>

namespace fs = std::filesystem;
using testing_support::ReadBytes;

void ApplyFixture::SetUp() {
    std::string error;
    ASSERT_TRUE(sample::MakeInstall(temp.Path() / "FS9", sample::Options{}, &install, &error))
        << error;
    ASSERT_TRUE(DeriveInstallLayout(testing_support::WinPath(install.package / "TolvaneConfig.exe"),
                                    &layout, &error))
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

std::string Cache(const InstallLayout& l, PriorityArea area) {
    return area == PriorityArea::Higher ? l.higherCache : l.lowerCache;
}

std::string Scenery(const InstallLayout& l, PriorityArea area) {
    return area == PriorityArea::Higher ? l.higherScenery : l.lowerScenery;
}

}  // namespace

std::string ApplyFixture::CopiedLine(PriorityArea area, const std::string& name) const {
    return "Copied file " + Cache(layout, area) + name + " to " + Scenery(layout, area) + name;
}

std::string ApplyFixture::CopyFailedLine(PriorityArea area, const std::string& name) const {
    return "File copy failed: " + Cache(layout, area) + name + " to " + Scenery(layout, area) +
           name;
}

std::string ApplyFixture::DeletedLine(PriorityArea area, const std::string& name) const {
    return "Deleted file " + Scenery(layout, area) + name;
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
