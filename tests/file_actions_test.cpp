#include "fileops/file_actions.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(EnableLayerFile(Context(), H, kParks).reason,
              "no Cache master: " + platform::FailureText(platform::Failure::kNotFound));
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

// A folder at a master's name is no layer file: nothing goes to the shell
// (which would copy the folder whole, or leave a file of that name and
// report success), and the copy already there stays.
TEST_F(FileActionsTest, AFolderAtAMastersNameIsNoMaster) {
    fs::remove(install.Cache(L) / kHeli);
    fs::create_directories(install.Cache(L) / kHeli / "inside");
    WriteBytes(install.Scenery(L) / kHeli, "an older copy");
    const ActionOutcome outcome = EnableLayerFile(Context(), L, kHeli);
    EXPECT_EQ(outcome.result, ActionResult::kFailed);
    EXPECT_EQ(outcome.reason,
              "the Cache master: " + platform::FailureText(platform::Failure::kIsFolder));
    EXPECT_EQ(ReadBytes(install.Scenery(L) / kHeli), "an older copy");
    fs::remove(install.Scenery(L) / kHeli);
    EXPECT_EQ(EnableLayerFile(Context(), L, kHeli).result, ActionResult::kFailed);
    EXPECT_FALSE(fs::exists(install.Scenery(L) / kHeli));
}

TEST_F(FileActionsTest, EnableCreatesAMissingSceneryFolder) {
    fs::remove_all(install.Scenery(L));
    EnableLayerFile(Context(), L, kHeli);
    EXPECT_EQ(ReadBytes(install.Scenery(L) / kHeli), ReadBytes(install.Cache(L) / kHeli));
}

TEST_F(FileActionsTest, DisableDeletesOrReportsWithoutNamingTheFile) {
    WriteBytes(install.Scenery(H) / kParks, "x");
    EXPECT_EQ(DisableLayerFile(Context(), H, kParks).result, ActionResult::kDone);
    // Now absent: the log says it failed, the outcome that nothing needed doing.
    EXPECT_EQ(DisableLayerFile(Context(), H, kParks).result, ActionResult::kNotThere);
    // A folder that is not empty where the file should be: the system refuses.
    fs::create_directories(install.Scenery(L) / kHeli / "inside");
    const ActionOutcome refused = DisableLayerFile(Context(), L, kHeli);
    EXPECT_EQ(refused.result, ActionResult::kFailed);
    EXPECT_EQ(refused.reason, platform::FailureText(platform::Failure::kIsFolder));
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
    platform::FileSystem& files = HostFiles();
    EXPECT_EQ(ShellCopyFile(files, layout.lowerCache + "missing.bgl", target, nullptr), 0);
    EXPECT_EQ(files.Exists(target), 0);
    EXPECT_EQ(ShellCopyFile(files, source, target, nullptr), 1);
    EXPECT_EQ(files.Exists(target), 1);
    EXPECT_EQ(files.Exists(layout.lowerScenery), 1);  // folders count too
    EXPECT_EQ(RemoveExistingFile(files, target), 1);
    EXPECT_EQ(RemoveExistingFile(files, target), 0);
    EXPECT_EQ(RemoveExistingFile(files, layout.lowerScenery), 0);  // a folder is not deleted
    EXPECT_TRUE(fs::is_directory(install.Scenery(L)));
}

TEST_F(FileActionsTest, LogFileHasCrLfLinesAndIsAlwaysReplaced) {
    const fs::path logFile = install.package / "log.txt";
    WriteBytes(logFile, "old content that must go\r\n");
    std::string reason;
    EXPECT_TRUE(WriteActivityLog(HostFiles(), log, layout.logPath, &reason));
    EXPECT_EQ(ReadBytes(logFile), "");

    log.Append("Delete file failed\n");
    log.Append("Deleted file C:\\x\n");
    EXPECT_TRUE(WriteActivityLog(HostFiles(), log, layout.logPath, &reason));
    EXPECT_EQ(ReadBytes(logFile), "Delete file failed\r\nDeleted file C:\\x\r\n");

    // A folder where log.txt should be: nothing is written, the reason told.
    fs::remove(logFile);
    fs::create_directories(logFile / "inside");
    EXPECT_FALSE(WriteActivityLog(HostFiles(), log, layout.logPath, &reason));
    EXPECT_EQ(reason, platform::FailureText(platform::Failure::kIsFolder));
    EXPECT_TRUE(fs::is_directory(logFile / "inside"));
}

}  // namespace
