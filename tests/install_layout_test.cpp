#include "paths/install_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const platform::CodePage kAnsi;  // Windows-1252

InstallLayout Derive(const std::string& exePath) {
    InstallLayout layout;
    std::string error;
    EXPECT_TRUE(DeriveInstallLayout(exePath, &layout, &error, kAnsi)) << error;
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
    // Too shallow: the root of the drive, never the drive letter alone,
    // which would name a folder below the working folder.
    EXPECT_EQ(Derive("C:\\x\\TolvaneConfig.exe").fsRoot, "C:");
    EXPECT_EQ(Derive("C:\\x\\TolvaneConfig.exe").exeDir, "C:\\x\\");
    EXPECT_EQ(Derive("Q:\\TolvaneConfig.exe").fsRoot, "Q:");
    EXPECT_EQ(Derive("\\TolvaneConfig.exe").fsRoot, "\\");
    // Long paths are kept whole.
    const std::string deep = "C:\\" + std::string(300, 'd') + "\\FS9\\Addon Scenery\\Tolvane\\";
    EXPECT_EQ(Derive(deep + "TolvaneConfig.exe").fsRoot, "C:\\" + std::string(300, 'd') + "\\FS9");
}

// The command line names the package folder itself, with or without its
// trailing backslash; the layout is the one the program lying there derives.
TEST(InstallLayoutTest, PackageFolderGivesTheProgramsLayout) {
    for (const char* folder :
         {"C:\\FS9\\Addon Scenery\\Tolvane", "C:\\FS9\\Addon Scenery\\Tolvane\\"}) {
        const InstallLayout package = PackageLayout(folder, kAnsi);
        const InstallLayout program = Derive("C:\\FS9\\Addon Scenery\\Tolvane\\TolvaneConfig.exe");
        EXPECT_EQ(package.exeDir, program.exeDir);
        EXPECT_EQ(package.fsRoot, program.fsRoot);
        EXPECT_EQ(package.iniPath, program.iniPath);
        EXPECT_EQ(package.Scenery(PriorityArea::Higher), program.higherScenery);
        EXPECT_EQ(package.Cache(PriorityArea::Lower), program.lowerCache);
    }
    EXPECT_EQ(PackageLayout("Q:\\Tolvane", kAnsi).fsRoot, "Q:");
}

TEST(InstallLayoutTest, PathWithoutFolderIsRefused) {
    InstallLayout layout;
    layout.exeDir = "untouched";
    std::string error;
    EXPECT_FALSE(DeriveInstallLayout("TolvaneConfig.exe", &layout, &error, kAnsi));
    EXPECT_EQ(error, "The program's own path has no folder in it: \"TolvaneConfig.exe\"");
    EXPECT_EQ(layout.exeDir, "untouched");
    EXPECT_FALSE(DeriveInstallLayout("", &layout, &error, kAnsi));
    EXPECT_FALSE(DeriveInstallLayout("C:/FS9/Addon Scenery/Tolvane/x.exe", &layout, &error, kAnsi));
}

}  // namespace
