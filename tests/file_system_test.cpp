// File services as the program relies on them, on every platform.
#include "platform/files.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace {

// Every call refuses a path with a NUL byte, though the text before the NUL
// names a file that is there.
TEST(FileSystemTest, PathsWithNulNeverReachTheSystem) {
    TempDir temp;
    WriteBytes(temp.Path() / "a.bgl", "A");
    const std::string cut = WinPath(temp.Path() / "a.bgl") + std::string(1, '\0') + "junk";
    std::string reason;
    EXPECT_FALSE(platform::FileExists(cut));
    EXPECT_FALSE(platform::RemoveFile(cut));
    EXPECT_FALSE(platform::RenameFile(cut, WinPath(temp.Path() / "b.bgl"), &reason));
    EXPECT_FALSE(platform::RenameFile(WinPath(temp.Path() / "a.bgl"), cut, &reason));
    EXPECT_FALSE(platform::WriteWholeFile(cut, "W"));
    EXPECT_FALSE(platform::ReplaceWholeFile(cut, "R"));
    EXPECT_EQ(platform::ReadFileInPieces(cut, [](std::string_view) { return true; }),
              platform::ReadResult::kCannotOpen);
    EXPECT_EQ(ReadBytes(temp.Path() / "a.bgl"), "A");
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 1);
}

TEST(FileSystemTest, ReplaceGoesThroughOneSiblingAndSparesReadOnlyFiles) {
    TempDir temp;
    const fs::path file = temp.Path() / "TolvaneConfig.ini";
    const fs::path sibling = temp.Path() / "TolvaneConfig.ini.tmp";
    WriteBytes(file, "old");
    WriteBytes(sibling, "left behind by a crash, longer than the new content");
    EXPECT_TRUE(platform::ReplaceWholeFile(WinPath(file), "new"));
    EXPECT_EQ(ReadBytes(file), "new");
    EXPECT_FALSE(fs::exists(sibling));

    fs::permissions(file, fs::perms::owner_read);
    EXPECT_FALSE(platform::ReplaceWholeFile(WinPath(file), "newer"));
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReadBytes(file), "new");
    EXPECT_FALSE(fs::exists(sibling));

    // A folder where the sibling would go: the file is written in place.
    fs::create_directory(sibling);
    EXPECT_TRUE(platform::ReplaceWholeFile(WinPath(file), "in place"));
    EXPECT_EQ(ReadBytes(file), "in place");
}

}  // namespace
