// The shell's copy as the program relies on it, on every platform: the real
// shell under Windows and Wine, the stand-in elsewhere.
#include "platform/shell.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "platform/file_system.h"
#include "preview/file_rules.h"

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

// What the copy makes of a file, or of nothing, onto each kind of
// destination, built for real: the effect the rules foresee it with, and
// that effect as this system's shell (Wine's, or the stand-in) shows it.
// (The program hands the shell nothing else: a master is a regular file.)
TEST(ShellFileOpTest, ACopyOntoEachKindIsWhatTheRulesForesee) {
    using platform::EntryKind;
    using preview::ShellCopyEffect;
    std::vector<EntryKind> kinds = {EntryKind::kNone, EntryKind::kFile, EntryKind::kFolder};
#ifndef _WIN32
    kinds.push_back(EntryKind::kOther);  // a FIFO
#endif
    auto make = [](const fs::path& path, EntryKind kind, const std::string& bytes) {
        if (kind == EntryKind::kFile) {
            WriteBytes(path, bytes);
        } else if (kind == EntryKind::kFolder) {
            fs::create_directories(path);
            WriteBytes(path / "inside.bgl", bytes);
        }
#ifndef _WIN32
        if (kind == EntryKind::kOther) {
            ASSERT_EQ(mkfifo(path.c_str(), 0666), 0);
        }
#endif
    };
    // The absolute table: Windows' shell copies into a folder, the stand-in
    // does not.
    auto expected = [](EntryKind source, EntryKind destination) {
        if (source == EntryKind::kNone) {
            return ShellCopyEffect::kNoSource;
        }
#ifdef _WIN32
        return destination == EntryKind::kFolder ? ShellCopyEffect::kCopiesInto
                                                 : ShellCopyEffect::kReplaces;
#else
        return destination == EntryKind::kFolder ? ShellCopyEffect::kRefused
                                                 : ShellCopyEffect::kReplaces;
#endif
    };
    for (EntryKind source : {EntryKind::kNone, EntryKind::kFile}) {
        for (EntryKind destination : kinds) {
            SCOPED_TRACE(testing::Message() << "source " << static_cast<int>(source)
                                            << ", destination " << static_cast<int>(destination));
            TempDir temp;
            make(temp.Path() / "master", source, "master's");
            make(temp.Path() / "target", destination, "target's");
            const ShellCopyEffect effect = preview::ShellCopyEffectOf(source, destination);
            EXPECT_EQ(effect, expected(source, destination));
            const int code = ShellRun(platform::kFoCopy, List({WinPath(temp.Path() / "master")}),
                                      List({WinPath(temp.Path() / "target")}), kQuiet);
            const platform::Entry after = HostFiles().Stat(WinPath(temp.Path() / "target"));
            switch (effect) {
                case ShellCopyEffect::kNoSource:
                case ShellCopyEffect::kRefused:
                    EXPECT_NE(code, 0);
                    EXPECT_EQ(after.kind, destination);
                    break;
                case ShellCopyEffect::kReplaces:
                    EXPECT_EQ(code, 0);
                    EXPECT_EQ(after.kind, EntryKind::kFile);
                    EXPECT_EQ(ReadBytes(temp.Path() / "target"), "master's");
                    break;
                case ShellCopyEffect::kCopiesInto:
                    EXPECT_EQ(code, 0);
                    EXPECT_EQ(after.kind, EntryKind::kFolder);
                    EXPECT_TRUE(fs::exists(temp.Path() / "target" / "master"));
                    break;
            }
        }
    }
}

}  // namespace
