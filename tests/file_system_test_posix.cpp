// What only the posix stand-ins can show: that nothing past drive Z: is
// reached, and refusals by permission bits for a user other than root.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/file_system.h"
#include "platform/shell_file_op.h"
#include "tests/child_process.h"
#include "tests/test_support.h"

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::RunAsNobody;
using testing_support::TempDir;
using testing_support::WinPath;
using testing_support::WriteBytes;

namespace {

std::string Backslashed(std::string text) {
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

int ShellCopy(const std::string& from, const std::string& to) {
    const std::string source = from + std::string(2, '\0');
    const std::string target = to + std::string(2, '\0');
    platform::ShellFileOpRequest request{};
    request.wFunc = platform::kFoCopy;
    request.pFrom = source.c_str();
    request.pTo = target.c_str();
    request.fFlags = platform::kFofSilent | platform::kFofNoConfirmation;
    return platform::ShellFileOperation(request);
}

TEST(PosixSeamTest, NothingPastDriveZIsReached) {
    TempDir temp;
    WriteBytes(temp.Path() / "x.bgl", "X");
    const std::string rooted = Backslashed(temp.Path() / "x.bgl");  // \tmp\...\x.bgl
    ASSERT_EQ(rooted.front(), '\\');
    EXPECT_TRUE(platform::QueryFileStatus(rooted));  // a rooted path stays on Z:
    EXPECT_TRUE(platform::QueryFileStatus("z:" + rooted));

    std::string reason;
    for (const std::string& elsewhere :
         {"\\" + rooted, "//" + rooted.substr(1), "\\/" + rooted.substr(1),
          "/\\" + rooted.substr(1), "C:" + rooted, "d:" + rooted, "\\\\?\\Z:" + rooted}) {
        SCOPED_TRACE(elsewhere);
        EXPECT_FALSE(platform::QueryFileStatus(elsewhere));
        EXPECT_FALSE(platform::RemoveFile(elsewhere));
        EXPECT_FALSE(platform::RenameFile(elsewhere, rooted + ".xxx", &reason));
        EXPECT_FALSE(platform::RenameFile(rooted, elsewhere + ".xxx", &reason));
        EXPECT_NE(ShellCopy(elsewhere, rooted + ".copy"), 0);
        EXPECT_NE(ShellCopy(rooted, elsewhere + ".copy"), 0);
        EXPECT_FALSE(platform::ReplaceWholeFile(elsewhere, "R"));
    }
    EXPECT_EQ(ReadBytes(temp.Path() / "x.bgl"), "X");
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 1);
}

// Installers that grant write access to single files leave the package
// folder closed to new files: the settings are written in place.
TEST(PosixSeamTest, ReplaceWritesInPlaceWhereNoFileMayBeCreated) {
    TempDir temp;
    const fs::path package = temp.Path() / "Tolvane";
    fs::create_directory(package);
    WriteBytes(package / "TolvaneConfig.ini", "old");
    fs::permissions(package / "TolvaneConfig.ini", fs::perms(0666));
    fs::permissions(package, fs::perms(0555));
    const std::string path = WinPath(package / "TolvaneConfig.ini");
    const std::string absent = WinPath(package / "absent.ini");

    EXPECT_EQ(RunAsNobody([&] {
                  return platform::ReplaceWholeFile(path, "new") &&
                                 !platform::ReplaceWholeFile(absent, "x")
                             ? 0
                             : 1;
              }),
              0);
    EXPECT_EQ(ReadBytes(package / "TolvaneConfig.ini"), "new");
    EXPECT_FALSE(fs::exists(package / "absent.ini"));
    EXPECT_FALSE(fs::exists(package / "TolvaneConfig.ini.tmp"));

    // A file the user may not write stays as it is, though the folder
    // would let a rename replace it.
    fs::permissions(package, fs::perms(0777));
    fs::permissions(package / "TolvaneConfig.ini", fs::perms(0644));
    EXPECT_EQ(RunAsNobody([&] { return platform::ReplaceWholeFile(path, "newer") ? 1 : 0; }), 0);
    EXPECT_EQ(ReadBytes(package / "TolvaneConfig.ini"), "new");
}

TEST(PosixSeamTest, ReplaceWritesInPlaceWhenTheSiblingNameIsTooLong) {
    TempDir temp;
    const fs::path file = temp.Path() / (std::string(250, 'n') + ".ini");  // 254 of 255
    WriteBytes(file, "old");
    EXPECT_TRUE(platform::ReplaceWholeFile(WinPath(file), "new"));
    EXPECT_EQ(ReadBytes(file), "new");
}

// Root may write anything; the read-only bit still protects the file.
TEST(PosixSeamTest, ReadOnlyBitsProtectAFileFromRoot) {
    TempDir temp;
    const fs::path file = temp.Path() / "TolvaneConfig.ini";
    WriteBytes(file, "old");
    fs::permissions(file, fs::perms(0444));
    EXPECT_FALSE(platform::ReplaceWholeFile(WinPath(file), "new"));
    EXPECT_EQ(ReadBytes(file), "old");
    struct stat status {};
    ASSERT_EQ(stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0444u);
}

}  // namespace
