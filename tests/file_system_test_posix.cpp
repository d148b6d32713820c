// What only the posix stand-ins can show: that nothing past drive Z: is
// reached, and refusals by permission bits for a user other than root.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>

#include "fileops/file_actions.h"
#include "platform/file_system.h"
#include "tests/support/child_process.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace {

std::string Backslashed(std::string text) {
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

TEST(PosixSeamTest, NothingPastDriveZIsReached) {
    TempDir temp;
    WriteBytes(temp.Path() / "x.bgl", "X");
    const std::string rooted = Backslashed(temp.Path() / "x.bgl");  // \tmp\...\x.bgl
    ASSERT_EQ(rooted.front(), '\\');
    platform::FileSystem& files = HostFiles();
    EXPECT_EQ(files.Exists(rooted), 1);  // a rooted path stays on Z:
    EXPECT_EQ(files.Exists("z:" + rooted), 1);
    EXPECT_EQ(files.Exists("\\\\?\\Z:" + rooted), 1);  // as Windows takes it

    std::string reason;
    for (const std::string& elsewhere :
         {"\\" + rooted, "//" + rooted.substr(1), "\\/" + rooted.substr(1),
          "/\\" + rooted.substr(1), "C:" + rooted, "d:" + rooted, "\\\\?\\C:" + rooted,
          "\\\\.\\Z:" + rooted}) {
        SCOPED_TRACE(elsewhere);
        EXPECT_FALSE(files.Exists(elsewhere));
        EXPECT_FALSE(files.Delete(elsewhere, platform::DeleteMode::kFile, &reason));
        EXPECT_FALSE(files.Rename(elsewhere, rooted + ".xxx", &reason));
        EXPECT_FALSE(files.Rename(rooted, elsewhere + ".xxx", &reason));
        EXPECT_EQ(ShellCopyFile(files, elsewhere, rooted + ".copy", nullptr), 0);
        EXPECT_EQ(ShellCopyFile(files, rooted, elsewhere + ".copy", nullptr), 0);
        EXPECT_FALSE(files.Write(elsewhere, "R", platform::WriteMode::kReplace, &reason));
        EXPECT_FALSE(files.Write(elsewhere, "W", platform::WriteMode::kInPlace, &reason));
    }
    EXPECT_EQ(ReadBytes(temp.Path() / "x.bgl"), "X");
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 1);
}

// A relative host path is taken from the working folder; where that folder
// is gone, it is not taken from the root instead.
// A link to a folder is that folder.
TEST(PosixSeamTest, ALinkIsKeyedAsItsFolder) {
    TempDir temp;
    fs::create_directories(temp.Path() / "Area");
    fs::create_directory_symlink("Area", temp.Path() / "Link");
    EXPECT_EQ(HostFiles().FolderKey(WinPath(temp.Path() / "Link")),
              HostFiles().FolderKey(WinPath(temp.Path() / "AREA")));
}

TEST(PosixSeamTest, RelativePathsAreTakenFromTheWorkingFolder) {
    const fs::path before = fs::current_path();
    {
        TempDir temp;
        fs::create_directory(temp.Path() / "gone");
        fs::current_path(temp.Path());
        std::string windows;
        EXPECT_TRUE(HostNaming().WindowsPathOf("Tolvane", &windows));
        EXPECT_EQ(windows, WinPath(temp.Path() / "Tolvane"));
        fs::current_path(temp.Path() / "gone");
        EXPECT_EQ(rmdir((temp.Path() / "gone").c_str()), 0);
        EXPECT_TRUE(HostNaming().WindowsPathOf("Tolvane", &windows));
        EXPECT_EQ(windows, "Tolvane");
        fs::current_path(before);
    }
}

// Windows reads a path before it looks, and Wine does the same: "/" is a
// separator, doubled separators and "." elements go, ".." takes the element
// before it away (also one that does not exist), one dot ending a folder's
// name goes (so "..." becomes "..", which names nothing), every dot and
// space ending the path goes; a device path
// (\\?\) is taken as it stands. Names outside ASCII match in other case.
// Each answer here is what tolvane.exe under Wine gave.
TEST(PosixSeamTest, PathsAreReadAsWindowsReadsThem) {
    TempDir temp;
    fs::create_directories(temp.Path() / "Brenmoor");
    WriteBytes(temp.Path() / "Brenmoor" / "f.bgl", "F");
    fs::create_directories(temp.Path() /
                           "Saarbr\xC3\xBC"
                           "cken");
    const std::string base = "Z:" + Backslashed(temp.Path());
    platform::FileSystem& files = HostFiles();
    for (const std::string& found :
         {base + "\\NoSuchFolder\\..\\Brenmoor\\f.bgl", base + "\\Brenmoor.\\f.bgl",
          base + "\\Brenmoor\\f.bgl.", base + "\\Brenmoor\\f.bgl . ",
          base + "\\\\Brenmoor\\\\f.bgl", base + "\\.\\Brenmoor\\x\\..\\f.bgl",
          "Z:" + temp.Path().string() + "/Brenmoor/f.bgl", base + "\\Brenmoor\\f.bgl\\.",
          base + "\\SAARBR\xDC"
                 "CKEN"}) {
        EXPECT_EQ(files.Exists(found), 1) << found;
    }
    for (const std::string& missing :
         {base + "\\Brenmoor \\f.bgl", base + "\\Brenmoor..\\f.bgl",
          base + "\\Brenmoor\\...\\Brenmoor\\f.bgl", "\\\\?\\" + base + "\\x\\..\\Brenmoor\\f.bgl",
          "\\\\?\\" + base + "\\Brenmoor\\f.bgl.", "\\\\?\\" + base + "\\\\Brenmoor\\f.bgl"}) {
        EXPECT_EQ(files.Exists(missing), 0) << missing;
    }
    std::string windows;
    EXPECT_TRUE(HostNaming().WindowsPathOf(base + "/Brenmoor/./x/../f.bgl. ", &windows));
    EXPECT_EQ(windows, base + "\\Brenmoor\\f.bgl");
}

// Installers that grant write access to single files leave the package
// folder closed to new files: the settings are written in place.
TEST(PosixSeamTest, ReplaceWritesInPlaceWhereNoFileMayBeCreated) {
    SKIP_UNLESS_SUPERUSER("the write runs as nobody");
    TempDir temp;
    const fs::path package = temp.Path() / "Tolvane";
    fs::create_directory(package);
    WriteBytes(package / "TolvaneConfig.ini", "old");
    fs::permissions(package / "TolvaneConfig.ini", fs::perms(0666));
    fs::permissions(package, fs::perms(0555));
    const std::string path = WinPath(package / "TolvaneConfig.ini");
    const std::string absent = WinPath(package / "absent.ini");

    std::string reason;
    EXPECT_EQ(RunAsNobody([&] {
                  return HostFiles().Write(path, "new", platform::WriteMode::kReplace, &reason) &&
                                 !HostFiles().Write(absent, "x", platform::WriteMode::kReplace,
                                                    &reason)
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
    EXPECT_EQ(
        RunAsNobody([&] {
            return HostFiles().Write(path, "newer", platform::WriteMode::kReplace, &reason) ? 1 : 0;
        }),
        0);
    EXPECT_EQ(ReadBytes(package / "TolvaneConfig.ini"), "new");
}

TEST(PosixSeamTest, ReplaceWritesInPlaceWhenTheSiblingNameIsTooLong) {
    TempDir temp;
    const fs::path file = temp.Path() / (std::string(250, 'n') + ".ini");  // 254 of 255
    WriteBytes(file, "old");
    std::string reason;
    EXPECT_TRUE(HostFiles().Write(WinPath(file), "new", platform::WriteMode::kReplace, &reason))
        << reason;
    EXPECT_EQ(ReadBytes(file), "new");
}

}  // namespace
