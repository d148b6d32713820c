// The shell's copy as the program relies on it, on every platform: the real
// shell under Windows and Wine, the stand-in elsewhere.
#include "platform/shell.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace {

int ShellRun(unsigned operation, const std::string& from, const std::string& to,
             std::uint16_t flags) {
    platform::ShellFileOpRequest request{};
    request.wFunc = operation;
    request.pFrom = from.c_str();  // callers pass buffers with their double NUL
    request.pTo = to.empty() ? nullptr : to.c_str();
    request.fFlags = flags;
    std::string reason;
    return HostFiles().ShellOperation(request, &reason);
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

TEST(ShellFileOpTest, OneFileCopyReplacesCreatesFoldersOrFailsCleanly) {
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

    EXPECT_NE(ShellRun(platform::kFoCopy, List({WinPath(temp.Path() / "none.bgl")}),
                       List({WinPath(temp.Path() / "x.bgl")}), kQuiet),
              0);
    EXPECT_FALSE(fs::exists(temp.Path() / "x.bgl"));
    EXPECT_EQ(ListTree(temp.Path()).size(), 3u);  // a.bgl, b.bgl, c.bgl: no temporary file

    // A read-only master's copy is read-only where it is new; a file that
    // was there, read-only or not, is not.
    fs::permissions(temp.Path() / "a.bgl", fs::perms::owner_read);
    WriteBytes(temp.Path() / "ro.bgl", "read-only");
    fs::permissions(temp.Path() / "ro.bgl", fs::perms::owner_read);
    for (const char* name : {"b.bgl", "ro.bgl", "new.bgl"}) {
        EXPECT_EQ(ShellRun(platform::kFoCopy, List({WinPath(temp.Path() / "a.bgl")}),
                           List({WinPath(temp.Path() / name)}), kQuiet),
                  0);
    }
    EXPECT_FALSE(HostFiles().Stat(WinPath(temp.Path() / "b.bgl")).readOnly);
    EXPECT_FALSE(HostFiles().Stat(WinPath(temp.Path() / "ro.bgl")).readOnly);
    EXPECT_TRUE(HostFiles().Stat(WinPath(temp.Path() / "new.bgl")).readOnly);
}

}  // namespace
