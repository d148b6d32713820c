// File services as the program relies on them, on every platform.
#include "platform/file_system.h"

#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WinPath;
using testing_support::WriteBytes;

namespace {

TEST(FileSystemTest, RenameNeverReplaces) {
    TempDir temp;
    WriteBytes(temp.Path() / "a.bgl", "A");
    WriteBytes(temp.Path() / "a.xxx", "X");
    std::string reason;
    EXPECT_FALSE(platform::RenameFile(WinPath(temp.Path() / "a.bgl"),
                                      WinPath(temp.Path() / "a.xxx"), &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(ReadBytes(temp.Path() / "a.bgl"), "A");
    EXPECT_EQ(ReadBytes(temp.Path() / "a.xxx"), "X");

    fs::remove(temp.Path() / "a.xxx");
    EXPECT_TRUE(platform::RenameFile(WinPath(temp.Path() / "a.bgl"), WinPath(temp.Path() / "a.xxx"),
                                     &reason));
    EXPECT_EQ(ReadBytes(temp.Path() / "a.xxx"), "A");
    EXPECT_FALSE(fs::exists(temp.Path() / "a.bgl"));
    EXPECT_FALSE(platform::RenameFile(WinPath(temp.Path() / "a.bgl"),
                                      WinPath(temp.Path() / "b.bgl"), &reason));
}

TEST(FileSystemTest, NamesMatchWhateverTheirCase) {
    TempDir temp;
    fs::create_directories(temp.Path() / "Area" / "Scenery");
    WriteBytes(temp.Path() / "Area" / "Scenery" / "Drey.BGL", "D");
    const std::string folder = WinPath(temp.Path() / "area" / "scenery");
    EXPECT_TRUE(platform::QueryFileStatus(folder + "\\drey.bgl"));
    EXPECT_FALSE(platform::QueryFileStatus(folder + "\\drey.xxx"));
    std::string reason;
    ASSERT_TRUE(platform::RenameFile(folder + "\\drey.bgl", folder + "\\Drey.xxx", &reason))
        << reason;
    EXPECT_EQ(ReadBytes(temp.Path() / "Area" / "Scenery" / "Drey.xxx"), "D");
    std::string bytes;
    EXPECT_EQ(platform::ReadWholeFile(folder + "\\DREY.XXX", &bytes),
              platform::ReadResult::kComplete);
    EXPECT_EQ(bytes, "D");
}

}  // namespace
