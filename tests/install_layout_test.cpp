#include "app/install_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

InstallLayout Derive(const std::string& exePath) {
    InstallLayout layout;
    std::string error;
    EXPECT_TRUE(DeriveInstallLayout(exePath, &layout, &error)) << error;
    return layout;
}

TEST(InstallLayoutTest, PackageFolderGivesEveryPath) {
    InstallLayout l = Derive("C:\\FS9\\Addon Scenery\\Tolvane\\TolvaneConfig.exe");
    const std::string dir = "C:\\FS9\\Addon Scenery\\Tolvane\\";
    EXPECT_EQ(l.exeDir, dir);
    EXPECT_EQ(l.fsRoot, "C:\\FS9");
    EXPECT_EQ(l.logPath, dir + "log.txt");
    EXPECT_EQ(l.iniPath, dir + "TolvaneConfig.ini");
    EXPECT_EQ(l.lowerCache, dir + "Tolvane - Lower Priority\\Cache\\");
    EXPECT_EQ(l.lowerScenery, dir + "Tolvane - Lower Priority\\Scenery\\");
    EXPECT_EQ(l.higherCache, dir + "Tolvane - Higher Priority\\Cache\\");
    EXPECT_EQ(l.higherScenery, dir + "Tolvane - Higher Priority\\Scenery\\");
}

TEST(InstallLayoutTest, SimulatorRootCountsOnlyTheLastThreeBackslashes) {
    EXPECT_EQ(Derive("C:\\Games\\FS9\\Addon Scenery\\Tolvane\\TolvaneConfig.exe").fsRoot,
              "C:\\Games\\FS9");
    EXPECT_EQ(Derive("Z:\\tmp\\a b\\sim\\Addon Scenery\\Tolvane\\x.exe").fsRoot,
              "Z:\\tmp\\a b\\sim");
    // Too shallow: the walk stops at the first character.
    EXPECT_EQ(Derive("C:\\x\\TolvaneConfig.exe").fsRoot, "C");
    EXPECT_EQ(Derive("C:\\x\\TolvaneConfig.exe").exeDir, "C:\\x\\");
    EXPECT_EQ(Derive("\\TolvaneConfig.exe").fsRoot, "\\");
    // Long paths are kept whole.
    const std::string deep = "C:\\" + std::string(300, 'd') + "\\FS9\\Addon Scenery\\Tolvane\\";
    EXPECT_EQ(Derive(deep + "TolvaneConfig.exe").fsRoot, "C:\\" + std::string(300, 'd') + "\\FS9");
}

TEST(InstallLayoutTest, PathWithoutFolderIsRefused) {
    InstallLayout layout;
    layout.exeDir = "untouched";
    std::string error;
    EXPECT_FALSE(DeriveInstallLayout("TolvaneConfig.exe", &layout, &error));
    EXPECT_EQ(error, "The program's own path has no folder in it: \"TolvaneConfig.exe\"");
    EXPECT_EQ(layout.exeDir, "untouched");
    EXPECT_FALSE(DeriveInstallLayout("", &layout, &error));
    EXPECT_FALSE(DeriveInstallLayout("C:/FS9/Addon Scenery/Tolvane/x.exe", &layout, &error));
}

}  // namespace
