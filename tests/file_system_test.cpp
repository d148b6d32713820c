// The system's file calls as the program relies on them, on every platform.
#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <set>

#include "layers/leftovers.h"
#include "platform/path_names.h"
#include "preview/simulated_file_system.h"
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
    EXPECT_FALSE(files.Delete(cut, platform::DeleteMode::kFile, &reason));
    EXPECT_FALSE(files.Rename(cut, WinPath(temp.Path() / "b.bgl"), &reason));
    EXPECT_FALSE(files.Rename(WinPath(temp.Path() / "a.bgl"), cut, &reason));
    EXPECT_FALSE(files.Write(cut, "W", platform::WriteMode::kInPlace, &reason));
    EXPECT_FALSE(files.Write(cut, "R", platform::WriteMode::kReplace, &reason));
    EXPECT_EQ(files.OpenForReading(cut, &reason), nullptr);
    EXPECT_EQ(ReadBytes(temp.Path() / "a.bgl"), "A");
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 1);
}

// The replacement goes through a sibling of this process's own: what stands
// at other names (another run's sibling, a leftover, a folder at this
// process's first name) is left as it is.
TEST(FileSystemTest, ReplaceGoesThroughASiblingOfItsOwnAndSparesReadOnlyFiles) {
    TempDir temp;
    const fs::path file = temp.Path() / "TolvaneConfig.ini";
    const fs::path leftover = temp.Path() / "TolvaneConfig.ini.tmp";
    const fs::path other = temp.Path() / "TolvaneConfig.ini.1.tmp";
    const fs::path mine =
        temp.Path() /
        platform::LastNameOf(platform::TemporarySiblingOf(WinPath(file)), platform::CodePage());
    WriteBytes(file, "old");
    WriteBytes(leftover, "left behind by a crash");
    WriteBytes(other, "another run's");
    fs::create_directory(mine);
    std::string reason;
    EXPECT_TRUE(HostFiles().Write(WinPath(file), "new", platform::WriteMode::kReplace, &reason))
        << reason;
    EXPECT_EQ(ReadBytes(file), "new");
    EXPECT_EQ(ReadBytes(leftover), "left behind by a crash");
    EXPECT_EQ(ReadBytes(other), "another run's");
    EXPECT_TRUE(fs::is_directory(mine));
    EXPECT_EQ(ListTree(temp.Path()).size(), 3u);

    fs::permissions(file, fs::perms::owner_read);
    EXPECT_FALSE(HostFiles().Write(WinPath(file), "newer", platform::WriteMode::kReplace, &reason));
    EXPECT_EQ(reason, platform::FailureText(platform::Failure::kReadOnly));
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReadBytes(file), "new");
    EXPECT_EQ(ListTree(temp.Path()).size(), 3u);
}

// The names a leftover may have: the file's, then ".tmp", with or without
// a process number and an attempt, in any case.
TEST(FileSystemTest, TemporaryNames) {
    const std::string name = "Traffic_Tolvane1_heli.bgl";
    EXPECT_TRUE(
        IsTemporaryOf(platform::LastNameOf(platform::TemporarySiblingOf("C:\\x\\" + name, 3),
                                           platform::CodePage()),
                      name));
    for (const char* yes : {".tmp", ".12.tmp", ".12-3.tmp", ".0.TMP"}) {
        EXPECT_TRUE(IsTemporaryOf("TRAFFIC_TOLVANE1_HELI.BGL" + std::string(yes), name)) << yes;
    }
    for (const char* no : {"", ".bgl", "tmp", "..tmp", ".x.tmp", ".12-.tmp", ".-3.tmp",
                           ".1-2-3.tmp", ".tmp.tmp", "x.tmp", "x123.tmp", "-1.tmp"}) {
        EXPECT_FALSE(IsTemporaryOf(name + no, name)) << no;
    }
    EXPECT_FALSE(IsTemporaryOf("Traffic.tmp", name));
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

// The same key for every spelling of one folder, and for a file and its
// hard link; another for every other folder, there or not.
TEST(FileSystemTest, AFolderIsKeyedByWhatItIs) {
    TempDir temp;
    fs::create_directories(temp.Path() / "Area" / "Scenery");
    fs::create_directories(temp.Path() / "Other" / "Scenery");
    WriteBytes(temp.Path() / "Area" / "file.bgl", "bytes");
    fs::create_hard_link(temp.Path() / "Area" / "file.bgl", temp.Path() / "Other" / "link.bgl");
    platform::FileSystem& files = HostFiles();
    const std::string root = WinPath(temp.Path());
    const std::string area = files.FolderKey(root + "\\Area\\Scenery");
    for (const char* spelling : {"\\AREA\\scenery", "\\Area\\Scenery\\", "/Area/Scenery",
                                 "\\Other\\..\\Area\\.\\Scenery"}) {
        EXPECT_EQ(files.FolderKey(root + spelling), area) << spelling;
    }
    EXPECT_EQ(files.FolderKey(root + "\\Other\\link.bgl"),
              files.FolderKey(root + "\\Area\\file.bgl"));
    const std::set<std::string> keys = {area,
                                        files.FolderKey(root + "\\Other\\Scenery"),
                                        files.FolderKey(root + "\\Area"),
                                        files.FolderKey(root + "\\Area\\Missing"),
                                        files.FolderKey(root + "\\Other\\Missing"),
                                        files.FolderKey(root + "\\Area\\file.bgl")};
    EXPECT_EQ(keys.size(), 6u);
    EXPECT_EQ(files.FolderKey(root + "\\AREA\\missing"), files.FolderKey(root + "\\Area\\Missing"));
}

// Asked for some names, a folder answers what its listing answers, whether
// the system asks for each name (Windows, Wine) or lists (posix); so does a
// simulation, before and after it renames one of them.
TEST(FileSystemTest, AFolderAskedForNamesAnswersAsItsListing) {
    TempDir temp;
    WriteBytes(temp.Path() / "Drey_Facility_CQP8.bgl", "exact");
    WriteBytes(temp.Path() / "DREY_MARROWBY_BRENMOOR_VTPL.XXX", "other case");
    fs::create_directory(temp.Path() / "Drey_Marrowby_Brenmoor_LWM2.bgl");  // a folder counts
    WriteBytes(temp.Path() / "Area1_1.bgl", "not asked for");
    WriteBytes(temp.Path() / "file", "not a folder");
    const std::vector<std::string> asked = {
        "Drey_Facility_CQP8.bgl",          "Drey_Marrowby_Brenmoor_VTPL.bgl",
        "Drey_Marrowby_Brenmoor_LWM2.bgl", "Drey_Facility_CQP8.xxx",
        "Drey_Marrowby_Brenmoor_VTPL.xxx", "Drey_Marrowby_Brenmoor_LWM2.xxx"};
    const std::string folder = WinPath(temp.Path());
    // The asked names held, as the listing spells them or as asked.
    auto held = [&](platform::FileSystem& files, bool byName) {
        std::vector<std::string> names;
        EXPECT_TRUE(files.ListFolder(folder, &names, nullptr, byName ? &asked : nullptr));
        std::vector<std::string> found;
        for (const std::string& name : asked) {
            found.push_back(platform::AmongNames(name, names) ? name : "-");
        }
        return found;
    };
    using Names = std::vector<std::string>;
    const Names before = {"Drey_Facility_CQP8.bgl",          "-",
                          "Drey_Marrowby_Brenmoor_LWM2.bgl", "-",
                          "Drey_Marrowby_Brenmoor_VTPL.xxx", "-"};
    EXPECT_EQ(held(HostFiles(), true), before);
    EXPECT_EQ(held(HostFiles(), false), before);
    std::vector<std::string> names;
    for (const char* missing : {"missing", "file"}) {
        EXPECT_FALSE(HostFiles().ListFolder(folder + "\\" + missing, &names, nullptr, &asked))
            << missing;
    }

    preview::SimulatedFileSystem simulation(HostFiles());
    EXPECT_EQ(held(simulation, true), before);
    std::string reason;
    ASSERT_TRUE(simulation.Rename(folder + "\\Drey_Facility_CQP8.bgl",
                                  folder + "\\Drey_Facility_CQP8.xxx", &reason))
        << reason;
    const Names after = {"-",
                         "-",
                         "Drey_Marrowby_Brenmoor_LWM2.bgl",
                         "Drey_Facility_CQP8.xxx",
                         "Drey_Marrowby_Brenmoor_VTPL.xxx",
                         "-"};
    EXPECT_EQ(held(simulation, true), after);
    EXPECT_EQ(held(simulation, false), after);
    EXPECT_EQ(held(HostFiles(), true), before);
}

}  // namespace
