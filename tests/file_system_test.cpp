// The system's file calls as the program relies on them, on every platform.
#include "platform/file_system.h"

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
    platform::FileSystem& files = HostFiles();
    std::string reason;
    EXPECT_FALSE(files.Exists(cut));
    EXPECT_FALSE(files.Remove(cut, &reason));
    EXPECT_FALSE(files.Rename(cut, WinPath(temp.Path() / "b.bgl"), &reason));
    EXPECT_FALSE(files.Rename(WinPath(temp.Path() / "a.bgl"), cut, &reason));
    EXPECT_FALSE(files.WriteInPlace(cut, "W", &reason));
    EXPECT_FALSE(files.ReplaceWhole(cut, "R", &reason));
    EXPECT_EQ(files.OpenForReading(cut, &reason), nullptr);
    EXPECT_EQ(ReadBytes(temp.Path() / "a.bgl"), "A");
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 1);
}

TEST(FileSystemTest, ReplaceGoesThroughOneSiblingAndSparesReadOnlyFiles) {
    TempDir temp;
    const fs::path file = temp.Path() / "TolvaneConfig.ini";
    const fs::path sibling = temp.Path() / "TolvaneConfig.ini.tmp";
    WriteBytes(file, "old");
    WriteBytes(sibling, "left behind by a crash, longer than the new content");
    std::string reason;
    EXPECT_TRUE(HostFiles().ReplaceWhole(WinPath(file), "new", &reason)) << reason;
    EXPECT_EQ(ReadBytes(file), "new");
    EXPECT_FALSE(fs::exists(sibling));

    fs::permissions(file, fs::perms::owner_read);
    EXPECT_FALSE(HostFiles().ReplaceWhole(WinPath(file), "newer", &reason));
    EXPECT_EQ(reason, platform::FailureText(platform::Failure::kReadOnly));
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReadBytes(file), "new");
    EXPECT_FALSE(fs::exists(sibling));

    // A folder where the sibling would go: the file is written in place.
    fs::create_directory(sibling);
    EXPECT_TRUE(HostFiles().ReplaceWhole(WinPath(file), "in place", &reason)) << reason;
    EXPECT_EQ(ReadBytes(file), "in place");
}

// What the reading helpers give: pieces in order, and a comparison that
// tells equal files from unequal ones of the same size.
TEST(FileSystemTest, ReadsAndComparesInPieces) {
    TempDir temp;
    const std::string big(platform::kReadPieceSize * 2 + 7, 'b');
    std::string changed = big;
    changed.back() = 'c';
    WriteBytes(temp.Path() / "a", big);
    WriteBytes(temp.Path() / "b", big);
    WriteBytes(temp.Path() / "c", changed);
    WriteBytes(temp.Path() / "short", "b");
    const std::string a = WinPath(temp.Path() / "a");
    std::string bytes, reason;
    EXPECT_EQ(platform::ReadWhole(HostFiles(), a, &bytes, &reason),
              platform::ReadResult::kComplete);
    EXPECT_EQ(bytes, big);
    EXPECT_TRUE(platform::SameContent(HostFiles(), a, WinPath(temp.Path() / "b")));
    EXPECT_FALSE(platform::SameContent(HostFiles(), a, WinPath(temp.Path() / "c")));
    EXPECT_FALSE(platform::SameContent(HostFiles(), a, WinPath(temp.Path() / "short")));
    EXPECT_FALSE(platform::SameContent(HostFiles(), a, WinPath(temp.Path())));
    EXPECT_EQ(platform::ReadWhole(HostFiles(), WinPath(temp.Path()), &bytes, &reason),
              platform::ReadResult::kCannotOpen);
}

}  // namespace
