#include "fileops/file_actions.h"

#include <gtest/gtest.h>

#include "fileops/file_exists.h"
#include "tests/apply_fixture.h"

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::WinPath;
using testing_support::WriteBytes;

namespace {

constexpr PriorityArea H = PriorityArea::Higher;
constexpr PriorityArea L = PriorityArea::Lower;
const std::string kHeli = "Traffic_Tolvane1_heli.bgl";
const std::string kParks = "1_UT_PK915140_Tvl+.bgl";

class FileActionsTest : public ApplyFixture {};

TEST_F(FileActionsTest, EnableCopiesOverAnExistingFileWithoutAsking) {
    WriteBytes(install.Scenery(L) / kHeli, "an older copy");
    EnableLayerFile(Context(), L, kHeli);
    EXPECT_EQ(LogLines(), std::vector<std::string>{CopiedLine(L, kHeli)});
    EXPECT_EQ(ReadBytes(install.Scenery(L) / kHeli), ReadBytes(install.Cache(L) / kHeli));
}

TEST_F(FileActionsTest, EnableWithoutCacheCopyFailsAndLeavesSceneryAlone) {
    fs::remove(install.Cache(H) / kParks);
    EnableLayerFile(Context(), H, kParks);
    EXPECT_EQ(LogLines(), std::vector<std::string>{CopyFailedLine(H, kParks)});
    EXPECT_TRUE(fs::is_empty(install.Scenery(H)));
}

TEST_F(FileActionsTest, EnableCreatesAMissingSceneryFolderDisableReportsFailure) {
    fs::remove_all(install.Scenery(L));
    DisableLayerFile(Context(), L, kHeli);
    EnableLayerFile(Context(), L, kHeli);
    EXPECT_EQ(LogLines(), (std::vector<std::string>{"Delete file failed", CopiedLine(L, kHeli)}));
    EXPECT_EQ(ReadBytes(install.Scenery(L) / kHeli), ReadBytes(install.Cache(L) / kHeli));
}

TEST_F(FileActionsTest, DisableDeletesOrReportsWithoutNamingTheFile) {
    WriteBytes(install.Scenery(H) / kParks, "x");
    DisableLayerFile(Context(), H, kParks);
    DisableLayerFile(Context(), H, kParks);  // now absent
    // A folder that is not empty where the file should be: the system refuses.
    fs::create_directories(install.Scenery(L) / kHeli / "inside");
    DisableLayerFile(Context(), L, kHeli);
    EXPECT_EQ(LogLines(), (std::vector<std::string>{DeletedLine(H, kParks), "Delete file failed",
                                                    "Delete file failed"}));
    EXPECT_FALSE(fs::exists(install.Scenery(H) / kParks));
    EXPECT_TRUE(fs::is_directory(install.Scenery(L) / kHeli / "inside"));
}

TEST_F(FileActionsTest, AreasDifferOnlyInTheirFolders) {
    EnableLayerFile(Context(), H, kParks);
    EnableLayerFile(Context(), L, kHeli);
    const std::string package = layout.exeDir;
    EXPECT_EQ(LogLines(),
              (std::vector<std::string>{
                  "Copied file " + package + "Tolvane - Higher Priority\\Cache\\" + kParks +
                      " to " + package + "Tolvane - Higher Priority\\Scenery\\" + kParks,
                  "Copied file " + package + "Tolvane - Lower Priority\\Cache\\" + kHeli + " to " +
                      package + "Tolvane - Lower Priority\\Scenery\\" + kHeli}));
}

TEST_F(FileActionsTest, CopyAndRemoveResults) {
    const std::string source = layout.lowerCache + kHeli;
    const std::string target = layout.lowerScenery + kHeli;
    EXPECT_EQ(ShellCopyFile(layout.lowerCache + "missing.bgl", target, nullptr), 0);
    EXPECT_EQ(FileExists(target), 0);
    EXPECT_EQ(ShellCopyFile(source, target, nullptr), 1);
    EXPECT_EQ(FileExists(target), 1);
    EXPECT_EQ(FileExists(layout.lowerScenery), 1);  // folders count too
    EXPECT_EQ(RemoveExistingFile(target), 1);
    EXPECT_EQ(RemoveExistingFile(target), 0);
    EXPECT_EQ(RemoveExistingFile(layout.lowerScenery), 0);  // a folder is not deleted
    EXPECT_TRUE(fs::is_directory(install.Scenery(L)));
}

TEST_F(FileActionsTest, LogFileHasCrLfLinesAndIsAlwaysReplaced) {
    const fs::path logFile = install.package / "log.txt";
    WriteBytes(logFile, "old content that must go\r\n");
    WriteActivityLog(log, layout.logPath);
    EXPECT_TRUE(fs::exists(logFile));
    EXPECT_EQ(fs::file_size(logFile), 0u);

    log.Append("Delete file failed\n");
    log.Append("Deleted file C:\\x\n");
    WriteActivityLog(log, layout.logPath);
    EXPECT_EQ(ReadBytes(logFile), "Delete file failed\r\nDeleted file C:\\x\r\n");

    ClearActivityLog(log);
    EXPECT_EQ(log.Text(), "");
}

TEST_F(FileActionsTest, UnwritableLogIsSilentlySkipped) {
    fs::create_directories(install.package / "log.txt" / "inside");
    log.Append("Delete file failed\n");
    WriteActivityLog(log, layout.logPath);  // must neither crash nor throw
    EXPECT_TRUE(fs::is_directory(install.package / "log.txt" / "inside"));
}

}  // namespace
