#include "scenerycfg/area_path.h"

#include <gtest/gtest.h>

namespace {

TEST(AreaPathTest, ResolvesEveryKindOfLocal) {
    const std::string root = "C:\\FS9";
    EXPECT_EQ(ResolveAreaPath(root, "Addon Scenery\\Tolvane\\Tolvane - Higher Priority\\"),
              "C:\\FS9\\Addon Scenery\\Tolvane\\Tolvane - Higher Priority");
    EXPECT_EQ(ResolveAreaPath(root, "Scenery\\World\\"), "C:\\FS9\\Scenery\\World");
    EXPECT_EQ(ResolveAreaPath(root, "..\\Shared\\Area\\"), "C:\\Shared\\Area");
    EXPECT_EQ(ResolveAreaPath(root, "D:\\Sceneries\\Harbour\\"), "D:\\Sceneries\\Harbour");
    EXPECT_EQ(ResolveAreaPath(root, "\\Sceneries\\Harbour\\"), "\\Sceneries\\Harbour");
    EXPECT_EQ(ResolveAreaPath(root, "\\"), "");
    EXPECT_EQ(ResolveAreaPath(root, "D:Sceneries\\X\\"), "C:\\FS9\\D:Sceneries\\X");
    EXPECT_EQ(ResolveAreaPath(root, "C:/Sceneries/Fwd\\"), "C:/Sceneries/Fwd");  // as written
    EXPECT_EQ(ResolveAreaPath(root, std::string(300, 'x') + "\\"), "");          // refused
    EXPECT_EQ(ResolveAreaPath(root, "\\\\server\\share\\Scenery\\"), "\\\\server\\share\\Scenery");
}

// Locals that name no folder at all: the scan would otherwise reach the
// network path \\scenery\... or cut the path at the NUL.
TEST(AreaPathTest, SeparatorsAloneOrANulNameNoFolder) {
    for (const std::string local : {"/\\", "\\/\\", "//\\", "\\\\", "/"}) {
        EXPECT_EQ(ResolveAreaPath("C:\\FS9", local), "") << local;
    }
    EXPECT_EQ(ResolveAreaPath("C:\\FS9", std::string("Scenery\0World\\", 14)), "");
    EXPECT_EQ(ResolveAreaPath("C:\\FS9", std::string("D:\\X\0\\", 7)), "");
}

}  // namespace
