#include "fileops/file_actions.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/support/apply_fixture.h"

namespace fs = std::filesystem;

namespace {

constexpr PriorityArea H = PriorityArea::Higher;
constexpr PriorityArea L = PriorityArea::Lower;
const std::string kHeli = "Traffic_Tolvane1_heli.bgl";
const std::string kParks = "1_UT_PK915140_Tvl+.bgl";

class FileActionsTest : public ApplyFixture {
  protected:
    std::string Package() const { return WinPath(install.package) + "\\"; }
};

TEST_F(FileActionsTest, EnableCopiesOverAnyCopyOrFailsWithoutTheMaster) {
    WriteBytes(install.Scenery(L) / kHeli, "an older copy");
    EnableLayerFile(Context(), L, kHeli);
    fs::remove(install.Cache(H) / kParks);
    EnableLayerFile(Context(), H, kParks);
    const std::string lower = Package() + "Tolvane - Lower Priority\\";
    const std::string higher = Package() + "Tolvane - Higher Priority\\";
    EXPECT_EQ(LogLines(),
              (std::vector<std::string>{
                  "Copied file " + lower + "Cache\\" + kHeli + " to " + lower + "Scenery\\" + kHeli,
                  "File copy failed: " + higher + "Cache\\" + kParks + " to " + higher +
                      "Scenery\\" + kParks}));
    EXPECT_EQ(ReadBytes(install.Scenery(L) / kHeli), ReadBytes(install.Cache(L) / kHeli));
    EXPECT_TRUE(fs::is_empty(install.Scenery(H)));
}

TEST_F(FileActionsTest, EnableCreatesAMissingSceneryFolder) {
    fs::remove_all(install.Scenery(L));
    EnableLayerFile(Context(), L, kHeli);
    EXPECT_EQ(ReadBytes(install.Scenery(L) / kHeli), ReadBytes(install.Cache(L) / kHeli));
}

TEST_F(FileActionsTest, DisableDeletesOrReportsWithoutNamingTheFile) {
    WriteBytes(install.Scenery(H) / kParks, "x");
    DisableLayerFile(Context(), H, kParks);
    DisableLayerFile(Context(), H, kParks);  // now absent
    // A folder that is not empty where the file should be: the system refuses.
    fs::create_directories(install.Scenery(L) / kHeli / "inside");
    DisableLayerFile(Context(), L, kHeli);
    EXPECT_EQ(LogLines(),
              (std::vector<std::string>{
                  "Deleted file " + Package() + "Tolvane - Higher Priority\\Scenery\\" + kParks,
                  "Delete file failed", "Delete file failed"}));
    EXPECT_FALSE(fs::exists(install.Scenery(H) / kParks));
    EXPECT_TRUE(fs::is_directory(install.Scenery(L) / kHeli / "inside"));
}

TEST_F(FileActionsTest, CopyAndRemoveResults) {
    const std::string source = layout.lowerCache + kHeli;
    const std::string target = layout.lowerScenery + kHeli;
    EXPECT_EQ(ShellCopyFile(layout.lowerCache + "missing.bgl", target, nullptr), 0);
    EXPECT_EQ(platform::FileExists(target), 0);
    EXPECT_EQ(ShellCopyFile(source, target, nullptr), 1);
    EXPECT_EQ(platform::FileExists(target), 1);
    EXPECT_EQ(platform::FileExists(layout.lowerScenery), 1);  // folders count too
    EXPECT_EQ(RemoveExistingFile(target), 1);
    EXPECT_EQ(RemoveExistingFile(target), 0);
    EXPECT_EQ(RemoveExistingFile(layout.lowerScenery), 0);  // a folder is not deleted
    EXPECT_TRUE(fs::is_directory(install.Scenery(L)));
}

TEST_F(FileActionsTest, LogFileHasCrLfLinesAndIsAlwaysReplaced) {
    const fs::path logFile = install.package / "log.txt";
    WriteBytes(logFile, "old content that must go\r\n");
    WriteActivityLog(log, layout.logPath);
    EXPECT_EQ(ReadBytes(logFile), "");

    log.Append("Delete file failed\n");
    log.Append("Deleted file C:\\x\n");
    WriteActivityLog(log, layout.logPath);
    EXPECT_EQ(ReadBytes(logFile), "Delete file failed\r\nDeleted file C:\\x\r\n");

    // A folder where log.txt should be: nothing is written, nothing thrown.
    fs::remove(logFile);
    fs::create_directories(logFile / "inside");
    WriteActivityLog(log, layout.logPath);
    EXPECT_TRUE(fs::is_directory(logFile / "inside"));
}

}  // namespace
