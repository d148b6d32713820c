#include "scenerycfg/area_path.h"

#include <gtest/gtest.h>

namespace {

const platform::CodePage kAnsi;  // Windows-1252

TEST(AreaPathTest, ResolvesEveryKindOfLocal) {
    const std::string root = "C:\\FS9";
    EXPECT_EQ(ResolveAreaPath(root, "Addon Scenery\\Tolvane\\Tolvane - Higher Priority\\", kAnsi),
              "C:\\FS9\\Addon Scenery\\Tolvane\\Tolvane - Higher Priority");
    EXPECT_EQ(ResolveAreaPath(root, "Scenery\\World\\", kAnsi), "C:\\FS9\\Scenery\\World");
    EXPECT_EQ(ResolveAreaPath(root, "..\\Shared\\Area\\", kAnsi), "C:\\Shared\\Area");
    EXPECT_EQ(ResolveAreaPath(root, "D:\\Sceneries\\Harbour\\", kAnsi), "D:\\Sceneries\\Harbour");
    EXPECT_EQ(ResolveAreaPath(root, "\\Sceneries\\Harbour\\", kAnsi), "\\Sceneries\\Harbour");
    EXPECT_EQ(ResolveAreaPath(root, "\\", kAnsi), "");
    EXPECT_EQ(ResolveAreaPath(root, "D:Sceneries\\X\\", kAnsi), "C:\\FS9\\D:Sceneries\\X");
    EXPECT_EQ(ResolveAreaPath(root, "C:/Sceneries/Fwd\\", kAnsi),
              "C:/Sceneries/Fwd");                                              // as written
    EXPECT_EQ(ResolveAreaPath(root, std::string(300, 'x') + "\\", kAnsi), "");  // refused
    EXPECT_EQ(ResolveAreaPath(root, "\\\\server\\share\\Scenery\\", kAnsi),
              "\\\\server\\share\\Scenery");
}

// Locals that name no folder at all: the scan would otherwise reach the
// network path \\scenery\... or cut the path at the NUL.
TEST(AreaPathTest, SeparatorsAloneOrANulNameNoFolder) {
    for (const std::string local : {"/\\", "\\/\\", "//\\", "\\\\", "/"}) {
        EXPECT_EQ(ResolveAreaPath("C:\\FS9", local, kAnsi), "") << local;
    }
    EXPECT_EQ(ResolveAreaPath("C:\\FS9", std::string("Scenery\0World\\", 14), kAnsi), "");
    EXPECT_EQ(ResolveAreaPath("C:\\FS9", std::string("D:\\X\0\\", 7), kAnsi), "");
}

}  // namespace
