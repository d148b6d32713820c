// The refusal rules against the kernel. Each situation is built for real,
// then, as the user nobody, the rule is asked and the same change is made
// with the system's own calls: the rule refuses where the kernel refuses,
// in the words the case names. Rules of Windows' own (a read-only file is
// not deleted, nothing is written through a link) have no kernel call.
#include "preview/file_rules.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <optional>

#include "fileops/file_actions.h"
#include "tests/support/child_process.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;
using platform::Failure;

namespace {

constexpr uid_t kNobody = 65534;

// The situation: a folder "d" (root's, mode 0755) holding what the case
// builds, as root.
using Build = std::function<void(const fs::path& d)>;
// The rule, on the Windows form of "d"; true when it lets the change go.
using Rule = std::function<bool(platform::FileSystem&, const std::string& d, std::string*)>;
// The change made with system calls on the host form of "d": 0 when the
// kernel made it, else its errno.
using Kernel = std::function<int(const fs::path& d)>;

struct Case {
    const char* name;
    Build build;
    Rule rule;
    std::optional<Failure> refusal;  // none: the rule lets it go
    Kernel kernel;                   // null: a rule of Windows' own
};

int Errno(int result) {
    return result == -1 ? errno : 0;
}

int Create(const fs::path& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    return fd == -1 ? errno : (close(fd), 0);
}

int OpenFor(const fs::path& path, int flags) {
    const int fd = open(path.c_str(), flags | O_NONBLOCK);
    return fd == -1 ? errno : (close(fd), 0);
}

// A whole file replaced: a sibling made, then moved over the name.
int Replace(const fs::path& path) {
    const fs::path sibling = path.string() + ".new";
    const int made = Create(sibling);
    return made != 0 ? made : Errno(rename(sibling.c_str(), path.c_str()));
}

int RenameNoReplace(const fs::path& from, const fs::path& to) {
    return Errno(renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE));
}

int MakeFolders(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    return error.value();
}

void File(const fs::path& path, fs::perms mode, uid_t owner = 0) {
    WriteBytes(path, "bytes");
    fs::permissions(path, mode);
    ASSERT_EQ(chown(path.c_str(), owner, owner), 0);
}

void Mode(const fs::path& path, fs::perms mode) {
    fs::permissions(path, mode);
}

const fs::perms kAll = fs::perms(0777), kSticky = fs::perms(01777);

Rule CreateRule(const char* name) {
    return [name](platform::FileSystem& fs, const std::string& d, std::string* reason) {
        return preview::MayCreate(fs, d + "\\" + name, reason);
    };
}

// A rule that takes what stands at the path.
using EntryRule = bool (*)(platform::FileSystem&, const std::string&, const platform::Entry&,
                           std::string*);
Rule At(EntryRule rule, const char* name) {
    return [rule, name](platform::FileSystem& fs, const std::string& d, std::string* reason) {
        const std::string path = d + "\\" + name;
        return rule(fs, path, fs.Stat(path), reason);
    };
}

Rule RenameRule(const char* from, const char* to) {
    return [from, to](platform::FileSystem& fs, const std::string& d, std::string* reason) {
        return preview::MayRename(fs, d + "\\" + from, d + "\\" + to, reason);
    };
}

Rule RemoveRule(const char* name) {
    return [name](platform::FileSystem& fs, const std::string& d, std::string* reason) {
        return preview::MayRemove(fs, d + "\\" + name, reason);
    };
}

Rule FoldersRule(const char* name) {
    return [name](platform::FileSystem& fs, const std::string& d, std::string* reason) {
        return preview::MayMakeFolders(fs, d + "\\" + name, reason);
    };
}

Rule CopyRule(const char* from, const char* to) {
    return [from, to](platform::FileSystem& fs, const std::string& d, std::string* reason) {
        return preview::ShellCopyRefusal(fs, d + "\\" + from, d + "\\" + to, reason) == 0;
    };
}

std::vector<Case> Cases() {
    auto hardLinked = [](const fs::path& d) {
        File(d / "f", kAll);
        fs::create_hard_link(d / "f", d / "other");
    };
    auto link = [](const fs::path& d) {
        File(d / "target", kAll);
        fs::create_symlink("target", d / "f");
    };
    auto fifo = [](const fs::path& d) { ASSERT_EQ(mkfifo((d / "f").c_str(), 0666), 0); };
    auto stickyRoots = [](const fs::path& d) {
        Mode(d, kSticky);
        File(d / "f", kAll);
    };
    return {
        // A new entry.
        {"create in a folder of mode 755", nullptr, CreateRule("new"), Failure::kAccessDenied,
         [](const fs::path& d) { return Create(d / "new"); }},
        {"create in a folder of mode 777", [](const fs::path& d) { Mode(d, kAll); },
         CreateRule("new"), std::nullopt, [](const fs::path& d) { return Create(d / "new"); }},
        {"create in a missing folder", nullptr, CreateRule("missing\\new"), Failure::kNotFound,
         [](const fs::path& d) { return Create(d / "missing" / "new"); }},
        {"create below a file", [](const fs::path& d) { File(d / "file", kAll); },
         CreateRule("file\\new"), Failure::kNotFound,
         [](const fs::path& d) { return Create(d / "file" / "new"); }},
        // A whole file written.
        {"write a folder", [](const fs::path& d) { fs::create_directory(d / "f"); },
         At(preview::MayWriteWhole, "f"), Failure::kIsFolder,
         [](const fs::path& d) { return OpenFor(d / "f", O_WRONLY); }},
        {"write a FIFO", fifo, At(preview::MayWriteWhole, "f"), Failure::kNotAFile,
         [](const fs::path& d) { return OpenFor(d / "f", O_WRONLY); }},
        {"write root's file of mode 644", [](const fs::path& d) { File(d / "f", fs::perms(0644)); },
         At(preview::MayWriteWhole, "f"), Failure::kReadOnly,
         [](const fs::path& d) { return OpenFor(d / "f", O_WRONLY); }},
        {"write a file open to all", [](const fs::path& d) { File(d / "f", kAll); },
         At(preview::MayWriteWhole, "f"), std::nullopt,
         [](const fs::path& d) { return OpenFor(d / "f", O_WRONLY); }},
        // A whole file replaced through a sibling.
        {"replace a hard-linked file in a folder of mode 755", hardLinked,
         At(preview::MayReplaceWhole, "f"), Failure::kLinked,
         [](const fs::path& d) { return Replace(d / "f"); }},
        {"replace a hard-linked file in a folder of mode 777",
         [&](const fs::path& d) {
             hardLinked(d);
             Mode(d, kAll);
         },
         At(preview::MayReplaceWhole, "f"), std::nullopt,
         [](const fs::path& d) { return Replace(d / "f"); }},
        {"replace a link in a folder of mode 755", link, At(preview::MayReplaceWhole, "f"),
         Failure::kLinked, [](const fs::path& d) { return Replace(d / "f"); }},
        {"replace a link in a folder of mode 777",
         [&](const fs::path& d) {
             link(d);
             Mode(d, kAll);
         },
         At(preview::MayReplaceWhole, "f"), std::nullopt,
         [](const fs::path& d) { return Replace(d / "f"); }},
        {"replace root's file in a sticky folder: written in place", stickyRoots,
         At(preview::MayReplaceWhole, "f"), std::nullopt,
         [](const fs::path& d) { return OpenFor(d / "f", O_WRONLY); }},
        {"replace root's link in a sticky folder, which no write goes through",
         [&](const fs::path& d) {
             link(d);
             Mode(d, kSticky);
         },
         At(preview::MayReplaceWhole, "f"), Failure::kLinked,
         [](const fs::path& d) { return Replace(d / "f"); }},
        // A file written in place.
        {"write in place through a link", link, At(preview::MayWriteInPlace, "f"), Failure::kLinked,
         nullptr},
        {"write in place a hard-linked file", hardLinked, At(preview::MayWriteInPlace, "f"),
         Failure::kAccessDenied, nullptr},
        // A rename that never replaces.
        {"rename what is not there", [](const fs::path& d) { Mode(d, kAll); }, RenameRule("a", "b"),
         Failure::kNotFound, [](const fs::path& d) { return RenameNoReplace(d / "a", d / "b"); }},
        {"rename onto a taken name",
         [](const fs::path& d) {
             Mode(d, kAll);
             File(d / "a", kAll);
             File(d / "b", kAll);
         },
         RenameRule("a", "b"), Failure::kExists,
         [](const fs::path& d) { return RenameNoReplace(d / "a", d / "b"); }},
        {"rename onto another case of a taken name",
         [](const fs::path& d) {
             Mode(d, kAll);
             File(d / "a", kAll);
             File(d / "b", kAll);
         },
         RenameRule("a", "B"), Failure::kExists, nullptr},
        {"rename in a folder of mode 755", [](const fs::path& d) { File(d / "a", kAll); },
         RenameRule("a", "b"), Failure::kAccessDenied,
         [](const fs::path& d) { return RenameNoReplace(d / "a", d / "b"); }},
        {"rename root's file in a sticky folder",
         [](const fs::path& d) {
             Mode(d, kSticky);
             File(d / "a", kAll);
         },
         RenameRule("a", "b"), Failure::kNotPermitted,
         [](const fs::path& d) { return RenameNoReplace(d / "a", d / "b"); }},
        {"rename into a missing folder",
         [](const fs::path& d) {
             Mode(d, kAll);
             File(d / "a", kAll);
         },
         RenameRule("a", "missing\\b"), Failure::kNotFound,
         [](const fs::path& d) { return RenameNoReplace(d / "a", d / "missing" / "b"); }},
        {"rename nobody's file in a sticky folder",
         [](const fs::path& d) {
             Mode(d, kSticky);
             File(d / "a", kAll, kNobody);
         },
         RenameRule("a", "b"), std::nullopt,
         [](const fs::path& d) { return RenameNoReplace(d / "a", d / "b"); }},
        // A file deleted.
        {"delete what is not there", nullptr, RemoveRule("f"), Failure::kNotFound,
         [](const fs::path& d) { return Errno(unlink((d / "f").c_str())); }},
        {"delete a folder", [](const fs::path& d) { fs::create_directories(d / "f"); },
         RemoveRule("f"), Failure::kIsFolder,
         [](const fs::path& d) { return Errno(unlink((d / "f").c_str())); }},
        {"delete a read-only file",
         [](const fs::path& d) {
             Mode(d, kAll);
             File(d / "f", fs::perms(0444), kNobody);
         },
         RemoveRule("f"), Failure::kReadOnly, nullptr},
        {"delete in a folder of mode 755", [](const fs::path& d) { File(d / "f", kAll); },
         RemoveRule("f"), Failure::kAccessDenied,
         [](const fs::path& d) { return Errno(unlink((d / "f").c_str())); }},
        {"delete root's file in a sticky folder", stickyRoots, RemoveRule("f"),
         Failure::kNotPermitted,
         [](const fs::path& d) { return Errno(unlink((d / "f").c_str())); }},
        {"delete root's file in nobody's sticky folder",
         [](const fs::path& d) {
             Mode(d, kSticky);
             ASSERT_EQ(chown(d.c_str(), kNobody, kNobody), 0);
             File(d / "f", kAll);
         },
         RemoveRule("f"), std::nullopt,
         [](const fs::path& d) { return Errno(unlink((d / "f").c_str())); }},
        {"delete nobody's file in a sticky folder",
         [](const fs::path& d) {
             Mode(d, kSticky);
             File(d / "f", kAll, kNobody);
         },
         RemoveRule("f"), std::nullopt,
         [](const fs::path& d) { return Errno(unlink((d / "f").c_str())); }},
        // Folders made for a copy.
        {"make folders below a folder of mode 777", [](const fs::path& d) { Mode(d, kAll); },
         FoldersRule("a\\b\\c"), std::nullopt,
         [](const fs::path& d) { return MakeFolders(d / "a" / "b" / "c"); }},
        {"make folders below a folder of mode 755", nullptr, FoldersRule("a\\b"),
         Failure::kAccessDenied, [](const fs::path& d) { return MakeFolders(d / "a" / "b"); }},
        {"make folders below a file",
         [](const fs::path& d) {
             Mode(d, kAll);
             File(d / "file", kAll);
         },
         FoldersRule("file\\a"), Failure::kNotFound,
         [](const fs::path& d) { return MakeFolders(d / "file" / "a"); }},
        // The shell's copy: its source, then its destination.
        {"copy root's file of mode 600", [](const fs::path& d) { File(d / "m", fs::perms(0600)); },
         CopyRule("m", "c"), Failure::kAccessDenied,
         [](const fs::path& d) { return OpenFor(d / "m", O_RDONLY); }},
        {"copy from a folder of mode 700",
         [](const fs::path& d) {
             fs::create_directory(d / "hidden");
             File(d / "hidden" / "m", kAll);
             Mode(d / "hidden", fs::perms(0700));
         },
         CopyRule("hidden\\m", "c"), Failure::kAccessDenied,
         [](const fs::path& d) { return OpenFor(d / "hidden" / "m", O_RDONLY); }},
        {"copy what is not there", nullptr, CopyRule("m", "c"), Failure::kNotFound,
         [](const fs::path& d) { return OpenFor(d / "m", O_RDONLY); }},
        {"copy a FIFO", fifo, CopyRule("f", "c"), Failure::kNotAFile, nullptr},
        {"copy onto a folder",
         [](const fs::path& d) {
             File(d / "m", kAll);
             fs::create_directory(d / "c");
             Mode(d / "c", kAll);
         },
         CopyRule("m", "c"), Failure::kIsFolder, nullptr},
        {"copy into a folder of mode 755", [](const fs::path& d) { File(d / "m", kAll); },
         CopyRule("m", "c"), Failure::kAccessDenied,
         [](const fs::path& d) { return Create(d / "c"); }},
        {"copy over root's file in a sticky folder",
         [](const fs::path& d) {
             Mode(d, kSticky);
             File(d / "m", kAll);
             File(d / "c", kAll);
         },
         CopyRule("m", "c"), Failure::kNotPermitted,
         [](const fs::path& d) { return Errno(unlink((d / "c").c_str())); }},
        {"copy into missing folders below a folder of mode 777",
         [](const fs::path& d) {
             Mode(d, kAll);
             File(d / "m", kAll);
         },
         CopyRule("m", "x\\y\\c"), std::nullopt,
         [](const fs::path& d) { return MakeFolders(d / "x" / "y"); }},
    };
}

TEST(FileRulesTest, EachRuleRefusesWhereTheKernelRefuses) {
    SKIP_UNLESS_SUPERUSER("files are owned by another user and the kernel asked as nobody");
    TempDir temp;
    Mode(temp.Path(), kAll);  // for the answer
    for (const Case& test : Cases()) {
        SCOPED_TRACE(test.name);
        const fs::path d = temp.Path() / "d";
        RemoveTree(d);
        fs::create_directory(d);
        Mode(d, fs::perms(0755));
        if (test.build) {
            test.build(d);
        }
        const fs::path answer = temp.Path() / "answer";
        const int code = RunAsNobody([&] {
            std::string reason;
            const bool allowed = test.rule(HostFiles(), WinPath(d), &reason);
            const int kernel = test.kernel ? test.kernel(d) : -1;
            WriteBytes(answer, (allowed ? std::string("allowed") : reason) + "\n" +
                                   (kernel == -1  ? "-"
                                    : kernel == 0 ? "made"
                                                  : "refused"));
            return 0;
        });
        ASSERT_EQ(code, 0);
        const std::vector<std::string> lines = SplitLines(ReadBytes(answer));
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0], test.refusal ? platform::FailureText(*test.refusal) : "allowed");
        if (test.kernel) {
            EXPECT_EQ(lines[1], test.refusal ? "refused" : "made");
        }
    }
}

// Why a layer copy failed, for each thing that can stand in its way.
TEST(FileRulesTest, EachReasonACopyFails) {
    SKIP_UNLESS_SUPERUSER("the copies run as nobody");
    TempDir temp;
    Mode(temp.Path(), kAll);
    struct Reason {
        const char* name;
        Build build;
        std::string words;
    };
    const std::string notFound = platform::FailureText(Failure::kNotFound);
    const std::string denied = platform::FailureText(Failure::kAccessDenied);
    const Reason reasons[] = {
        {"a missing master", [](const fs::path& d) { fs::create_directories(d / "Cache"); },
         "no Cache master: " + notFound},
        {"a master of mode 600",
         [](const fs::path& d) {
             fs::create_directories(d / "Cache");
             File(d / "Cache" / "m.bgl", fs::perms(0600));
         },
         "the Cache master: " + denied},
        {"a Cache folder of mode 700",
         [](const fs::path& d) {
             fs::create_directories(d / "Cache");
             File(d / "Cache" / "m.bgl", kAll);
             Mode(d / "Cache", fs::perms(0700));
         },
         "the Cache master: " + denied},
        {"a master that is a folder",
         [](const fs::path& d) { fs::create_directories(d / "Cache" / "m.bgl"); },
         "the Cache master: " + platform::FailureText(Failure::kIsFolder)},
        {"a Scenery folder of mode 755",
         [](const fs::path& d) {
             fs::create_directories(d / "Cache");
             fs::create_directories(d / "Scenery");
             File(d / "Cache" / "m.bgl", kAll);
         },
         denied},
        {"a folder at the copy's name",
         [](const fs::path& d) {
             fs::create_directories(d / "Cache");
             fs::create_directories(d / "Scenery" / "m.bgl");
             Mode(d / "Scenery", kAll);
             File(d / "Cache" / "m.bgl", kAll);
         },
         platform::FailureText(Failure::kIsFolder)},
    };
    for (const Reason& test : reasons) {
        SCOPED_TRACE(test.name);
        const fs::path d = temp.Path() / "Tolvane - Lower Priority";
        RemoveTree(d);
        fs::create_directory(d);
        test.build(d);
        const fs::path answer = temp.Path() / "answer";
        const int code = RunAsNobody([&] {
            ActivityLog log;
            const InstallLayout layout =
                PackageLayout(WinPath(temp.Path()), HostFiles().AnsiCodePage());
            const ActionOutcome outcome = EnableLayerFile(
                FileActionContext{layout, HostFiles(), log, nullptr}, PriorityArea::Lower, "m.bgl");
            WriteBytes(answer, outcome.reason);
            return outcome.result == ActionResult::kFailed ? 0 : 1;
        });
        EXPECT_EQ(code, 0);
        EXPECT_EQ(ReadBytes(answer), test.words);
    }
}

}  // namespace
