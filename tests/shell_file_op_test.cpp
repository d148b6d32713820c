// The shell's copy as the program relies on it, on every platform: the real
// shell under Windows and Wine, the stand-in elsewhere.
#include "platform/shell_file_op.h"

#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WinPath;
using testing_support::WriteBytes;

namespace {

int ShellRun(unsigned operation, const std::string& from, const std::string& to,
             std::uint16_t flags) {
    platform::ShellFileOpRequest request{};
    request.wFunc = operation;
    request.pFrom = from.c_str();  // callers pass buffers with their double NUL
    request.pTo = to.empty() ? nullptr : to.c_str();
    request.fFlags = flags;
    return platform::ShellFileOperation(request);
}

std::string List(std::initializer_list<std::string> paths) {
    std::string buffer;
    for (const std::string& path : paths) {
        buffer += path;
        buffer += '\0';
    }
    buffer += '\0';
    return buffer;
}

constexpr std::uint16_t kQuiet = platform::kFofSilent | platform::kFofNoConfirmation;

TEST(ShellFileOpTest, CopyReplacesAndCreatesFolders) {
    TempDir temp;
    WriteBytes(temp.Path() / "a.bgl", "new bytes");
    WriteBytes(temp.Path() / "b.bgl", "old");
    EXPECT_EQ(ShellRun(platform::kFoCopy, List({WinPath(temp.Path() / "a.bgl")}),
                       List({WinPath(temp.Path() / "b.bgl")}), kQuiet),
              0);
    EXPECT_EQ(ReadBytes(temp.Path() / "b.bgl"), "new bytes");
    EXPECT_EQ(ReadBytes(temp.Path() / "a.bgl"), "new bytes");

    const fs::path deep = temp.Path() / "new" / "deeper" / "c.bgl";
    EXPECT_EQ(ShellRun(platform::kFoCopy, List({WinPath(temp.Path() / "a.bgl")}),
                       List({WinPath(deep)}), kQuiet),
              0);
    EXPECT_EQ(ReadBytes(deep), "new bytes");
}

TEST(ShellFileOpTest, MissingSourceFailsAndLeavesNothing) {
    TempDir temp;
    EXPECT_NE(ShellRun(platform::kFoCopy, List({WinPath(temp.Path() / "none.bgl")}),
                       List({WinPath(temp.Path() / "x.bgl")}), kQuiet),
              0);
    EXPECT_TRUE(fs::is_empty(temp.Path()));
}

TEST(ShellFileOpTest, PairwiseCopyAndDelete) {
    TempDir temp;
    WriteBytes(temp.Path() / "a", "A");
    WriteBytes(temp.Path() / "b", "B");
    fs::create_directory(temp.Path() / "out");
    EXPECT_EQ(
        ShellRun(platform::kFoCopy, List({WinPath(temp.Path() / "a"), WinPath(temp.Path() / "b")}),
                 List({WinPath(temp.Path() / "out" / "x"), WinPath(temp.Path() / "out" / "y")}),
                 kQuiet | platform::kFofMultiDestFiles),
        0);
    EXPECT_EQ(ReadBytes(temp.Path() / "out" / "x"), "A");
    EXPECT_EQ(ReadBytes(temp.Path() / "out" / "y"), "B");

    EXPECT_EQ(ShellRun(platform::kFoDelete, List({WinPath(temp.Path() / "out" / "x")}), "", kQuiet),
              0);
    EXPECT_FALSE(fs::exists(temp.Path() / "out" / "x"));
}

}  // namespace
