#include "scenerycfg/conflict_pass.h"

#include "scenerycfg/rename_failures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace {

const char* const kFiles[] = {"Drey_Facility_CQP8", "Drey_Marrowby_Brenmoor_VTPL",
                              "Drey_Marrowby_Brenmoor_LWM2"};

struct Message {
    std::string text, caption;
    unsigned style;
};

class ConflictPassTest : public ::testing::Test {
  protected:
    ConflictPassTest() : root(temp.Path() / "FS9"), fsRoot(WinPath(root)) {
        fs::create_directories(root);
    }

    ShowMessageFn Recorder() {
        return [this](const std::string& text, const std::string& caption, unsigned style) {
            messages.push_back({text, caption, style});
        };
    }

    // Puts the conflicting files (those whose bit is set) in folder/sub.
    static void PlaceFiles(const fs::path& folder, const char* sub, const char* ext,
                           int which = 7) {
        fs::create_directories(folder / sub);
        for (int i = 0; i < 3; ++i) {
            if (which & (1 << i)) {
                WriteBytes(folder / sub / (std::string(kFiles[i]) + ext),
                           folder.filename().string() + kFiles[i]);
            }
        }
    }

    void AddArea(const std::string& header, const std::string& local, const std::string& active) {
        library += "\r\n[" + header + "]\r\nTitle=" + header + "\r\nLocal=" + local +
                   "\r\nLayer=1\r\nActive=" + active + "\r\nRequired=FALSE\r\n";
    }

    // The simulator's own block of areas, none of them holding conflicts.
    void AddDefaultAreas(int count) {
        for (int n = 1; n <= count; ++n) {
            std::string local = "Scenery\\" + std::to_string(1000 + n);
            fs::create_directories(root / "Scenery" / std::to_string(1000 + n) / "scenery");
            WriteBytes(root / "Scenery" / std::to_string(1000 + n) / "scenery" / "terrain.bgl",
                       local);
            AddArea("Area." + std::to_string(100 + n), local, "TRUE");
        }
    }

    void WriteLibrary() {
        WriteBytes(root / "scenery.cfg", "[General]\r\nTitle=FS9 World Scenery\r\n" + library);
    }

    Listing ListTree() const { return ::ListTree(temp.Path()); }

    // The listing with one file renamed from ext `from` to `to`.
    static void Renamed(Listing& listing, const fs::path& folder, const fs::path& base,
                        const std::string& sub, int file, const char* from, const char* to) {
        std::string prefix = fs::relative(folder, base).generic_string() + "/" + sub + "/";
        auto node = listing.extract(prefix + kFiles[file] + from);
        ASSERT_FALSE(node.empty()) << prefix + kFiles[file] + from;
        node.key() = prefix + kFiles[file] + to;
        listing.insert(std::move(node));
    }

    TempDir temp;
    fs::path root;
    std::string fsRoot;
    std::string library;
    std::vector<Message> messages;
};

TEST_F(ConflictPassTest, ScanRenamesOnlyInActiveAreasAndRestoreBringsAllBack) {
    AddDefaultAreas(120);
    const fs::path relative = root / "Addon Scenery" / "Drey Marrowby";
    const fs::path absolute = temp.Path() / "Elsewhere" / "Brenmoor";
    const fs::path inactive = root / "Addon Scenery" / "Old Harbour";
    const fs::path mixedCase = root / "Addon Scenery" / "Mixed";
    const fs::path onlySecond = root / "Addon Scenery" / "Second";
    const fs::path general = root / "Addon Scenery" / "General";
    PlaceFiles(relative, "scenery", ".bgl");
    PlaceFiles(absolute, "Scenery", ".bgl");  // named as Windows would still find it
    PlaceFiles(inactive, "scenery", ".bgl");
    PlaceFiles(mixedCase, "scenery", ".bgl");
    PlaceFiles(onlySecond, "scenery", ".bgl", 2);
    PlaceFiles(general, "scenery", ".bgl");
    AddArea("Area.200", "Addon Scenery\\Drey Marrowby\\\\", "TRUE");
    AddArea("Area.201", WinPath(absolute), "TRUE");
    AddArea("Area.202", "Addon Scenery\\Old Harbour", "FALSE");
    AddArea("Area.203", "Addon Scenery\\Mixed", "True");
    AddArea("Area.204", "Addon Scenery\\Second", "TRUE");
    AddArea("Area.205", "Addon Scenery/Drey Marrowby", "TRUE");  // the same folder again
    AddArea("AREA.206", "Addon Scenery\\General", "TRUE");
    AddArea("Areas", "Addon Scenery\\General", "TRUE");
    library += "\r\n[Scenery]\r\nLocal=Addon Scenery\\General\r\nActive=TRUE\r\n";
    WriteLibrary();
    const Listing before = ListTree();

    ConflictScan(HostFiles(), fsRoot, Recorder());

    Listing expected = before;
    for (int i = 0; i < 3; ++i) {
        Renamed(expected, relative, temp.Path(), "scenery", i, ".bgl", ".xxx");
        Renamed(expected, absolute, temp.Path(), "Scenery", i, ".bgl", ".xxx");
    }
    Renamed(expected, onlySecond, temp.Path(), "scenery", 1, ".bgl", ".xxx");
    EXPECT_EQ(ListTree(), expected);
    EXPECT_TRUE(messages.empty());

    // A second scan finds nothing more to do.
    ConflictScan(HostFiles(), fsRoot, Recorder());
    EXPECT_EQ(ListTree(), expected);

    // The restore visits inactive areas too: a file disabled while its area
    // was active gets its name back.
    fs::rename(inactive / "scenery" / "Drey_Marrowby_Brenmoor_LWM2.bgl",
               inactive / "scenery" / "Drey_Marrowby_Brenmoor_LWM2.xxx");
    ConflictRestore(HostFiles(), fsRoot, Recorder());
    EXPECT_EQ(ListTree(), before);
    EXPECT_TRUE(messages.empty());
}

TEST_F(ConflictPassTest, MissingLibraryIsReportedByEachPass) {
    const fs::path area = root / "Addon Scenery" / "Drey";
    PlaceFiles(area, "scenery", ".bgl");
    const Listing before = ListTree();

    ConflictScan(HostFiles(), fsRoot, Recorder());
    ConflictRestore(HostFiles(), fsRoot, Recorder());
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text,
              "TolvConfig was unable to find the FS scenery.cfg file. This program must be run "
              "from the [FS9]\\Addon Scenery\\Tolvane folder.  Please ensure that the program is "
              "installed to the correct folder, and that the scenery.cfg file is located in your "
              "FS9 root folder.");
    EXPECT_EQ(messages[1].text,
              "TolvConfig was unable to find the FS scenery.cfg file. This program must be run "
              "from the [FS9]\\Addon scenery\\Tolvane folder.  Please ensure that the program is "
              "installed to the correct folder, and that the scenery.cfg file is located in your "
              "FS9 root folder.");
    for (const Message& message : messages) {
        EXPECT_EQ(message.caption, "TolvConfg error");
        EXPECT_EQ(message.style, 0x10u);
    }
    EXPECT_EQ(ListTree(), before);
}

TEST_F(ConflictPassTest, UnreadableLibraryTouchesNothing) {
    fs::create_directories(root / "scenery.cfg" / "inside");
    PlaceFiles(root / "Scenery" / "World", "scenery", ".bgl");
    const Listing before = ListTree();
    ConflictScan(HostFiles(), fsRoot, Recorder());
    ConflictRestore(HostFiles(), fsRoot, Recorder());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(ListTree(), before);
}

TEST_F(ConflictPassTest, AreasWithoutFolderAreSkipped) {
    library += "\r\n[Area.001]\r\nTitle=No Local\r\nActive=TRUE\r\n";
    AddArea("Area.002", "", "TRUE");
    AddArea("Area.003", "\\\\\\", "TRUE");
    AddArea("Area.004", std::string(300, 'x'), "TRUE");
    AddArea("Area.005", "/", "TRUE");
    AddArea("Area.006", "\\/", "TRUE");
    AddArea("Area.007", std::string("Scenery\0", 8), "TRUE");
    PlaceFiles(root / "Scenery", "scenery", ".bgl");
    PlaceFiles(root, "scenery", ".bgl");
    WriteLibrary();
    const Listing before = ListTree();
    ConflictScan(HostFiles(), fsRoot, Recorder());
    ConflictRestore(HostFiles(), fsRoot, Recorder());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(ListTree(), before);
}

// An area written as a device path with its drive (\\?\C:\...) is the
// folder it names, as Windows takes it.
TEST_F(ConflictPassTest, DevicePathAreasAreTreated) {
    const fs::path area = temp.Path() / "Device";
    PlaceFiles(area, "scenery", ".bgl");
    AddArea("Area.001", "\\\\?\\" + WinPath(area), "TRUE");
    WriteLibrary();
    ConflictScan(HostFiles(), fsRoot, Recorder());
    EXPECT_TRUE(fs::exists(area / "scenery" / "Drey_Facility_CQP8.xxx"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(ConflictPassTest, FailedRenameKeepsItsNameAndThePassGoesOn) {
    const fs::path first = root / "Addon Scenery" / "First";
    const fs::path later = root / "Addon Scenery" / "Later";
    PlaceFiles(first, "scenery", ".bgl");
    PlaceFiles(first, "scenery", ".xxx", 1);  // the first file's disabled name is taken
    PlaceFiles(later, "scenery", ".bgl");
    AddArea("Area.001", "Addon Scenery\\First", "TRUE");
    AddArea("Area.002", "Addon Scenery\\Later", "TRUE");
    WriteLibrary();
    Listing expected = ListTree();

    ConflictScan(HostFiles(), fsRoot, Recorder());

    for (int i = 1; i < 3; ++i) {
        Renamed(expected, first, temp.Path(), "scenery", i, ".bgl", ".xxx");
    }
    for (int i = 0; i < 3; ++i) {
        Renamed(expected, later, temp.Path(), "scenery", i, ".bgl", ".xxx");
    }
    EXPECT_EQ(ListTree(), expected);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "TolvConfg error");
    EXPECT_EQ(messages[0].style, 0x10u);
    EXPECT_NE(messages[0].text.find("First\\scenery\\\n    Drey_Facility_CQP8.bgl: "),
              std::string::npos);

    // The restore meets the same collision the other way round.
    messages.clear();
    ConflictRestore(HostFiles(), fsRoot, Recorder());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].text.find("First\\scenery\\\n    Drey_Facility_CQP8.xxx: "),
              std::string::npos);
    EXPECT_TRUE(fs::exists(later / "scenery" / "Drey_Marrowby_Brenmoor_LWM2.bgl"));
}

// Thousands of failures, an area listed twice and very long paths still
// make a message that fits the screen, naming each file once.
TEST_F(ConflictPassTest, RenameFailureMessageStaysReadable) {
    // A folder path of about 200 characters: it has to be shortened.
    const std::string longName(200 - fsRoot.size() - 15, 'L');
    for (int n = 0; n < 30; ++n) {
        const std::string name = n == 1 ? longName : "Area " + std::to_string(n);
        PlaceFiles(root / "Addon Scenery" / name, "scenery", ".bgl");
        PlaceFiles(root / "Addon Scenery" / name, "scenery", ".xxx");  // every name is taken
        AddArea("Area." + std::to_string(n), "Addon Scenery\\" + name, "TRUE");
    }
    AddArea("Area.again", "Addon Scenery\\Area 0", "TRUE");
    AddArea("Area.case", "addon scenery\\AREA 2", "TRUE");
    WriteLibrary();

    ConflictScan(HostFiles(), fsRoot, Recorder());

    ASSERT_EQ(messages.size(), 1u);
    const std::string& text = messages[0].text;
    EXPECT_EQ(
        text.rfind("TolvaneConfig could not rename these files; they keep their names:\n\n", 0),
        0u);
    EXPECT_EQ(text.substr(text.rfind('\n') + 1), "80 more files could not be renamed.");
    const std::vector<std::string> lines = SplitLines(text);
    size_t fileLines = 0;
    for (size_t i = 1; i < lines.size(); ++i) {  // the first line is kept as it always was
        EXPECT_LE(lines[i].size(), RenameFailures::kWidth) << lines[i];
        fileLines += lines[i].rfind("    ", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(fileLines, RenameFailures::kListed);
    // Area 0 is named once, with its three files below it.
    auto areaZero = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.size() > 16 && line.substr(line.size() - 16) == "\\Area 0\\scenery\\";
    });
    ASSERT_LE(areaZero + 4, lines.end()) << text;
    EXPECT_EQ(areaZero[1].rfind("    Drey_Facility_CQP8.bgl: ", 0), 0u);
    EXPECT_EQ(areaZero[2].rfind("    Drey_Marrowby_Brenmoor_VTPL.bgl: ", 0), 0u);
    EXPECT_EQ(areaZero[3].rfind("    Drey_Marrowby_Brenmoor_LWM2.bgl: ", 0), 0u);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) {
                                return line.find("\\Area 0\\") != std::string::npos;
                            }),
              1);
    EXPECT_NE(text.find("...LLL"), std::string::npos) << text;  // the long folder, shortened
}

// The message word for word: a failure alone, one more than it lists, a
// line too long, a folder cut in its middle keeping more of its end, and
// a name split after its last separator (never after a double-byte
// character's second byte).
TEST(RenameFailuresTest, MessagesWordForWord) {
    const std::string head = "TolvaneConfig could not rename these files; they keep their names:\n";
    RenameFailures one{platform::CodePage()};
    one.Add("C:\\FS9\\Harbour\\scenery\\Drey_Facility_CQP8.bgl", "Access is denied.");
    EXPECT_EQ(one.Message(), head +
                                 "\nC:\\FS9\\Harbour\\scenery\\\n"
                                 "    Drey_Facility_CQP8.bgl: Access is denied.");

    RenameFailures eleven{platform::CodePage()};
    for (int n = 0; n <= 10; ++n) {
        eleven.Add("C:\\A\\" + std::to_string(n) + ".bgl", "busy");
        eleven.Add("c:\\a\\" + std::to_string(n) + ".BGL", "busy");  // the same file
    }
    const std::string listed = eleven.Message();
    EXPECT_EQ(
        listed.substr(head.size()),
        "\nC:\\A\\\n    0.bgl: busy\n    1.bgl: busy\n    2.bgl: busy\n    3.bgl: busy\n"
        "    4.bgl: busy\n    5.bgl: busy\n    6.bgl: busy\n    7.bgl: busy\n    8.bgl: busy\n"
        "    9.bgl: busy\n\n1 more file could not be renamed.");

    RenameFailures wide{platform::CodePage(932)};
    wide.Add("C:\\\x83\x5C\\" + std::string(50, 'n') + "\x83\x5C.bgl", "Access is denied.");
    EXPECT_EQ(wide.Message().substr(head.size()),
              "\nC:\\\x83\x5C\\\n    " + std::string(50, 'n') + "\x83\x5C." + "...");

    EXPECT_EQ(ShortenedMiddle("C:\\0123456789\\abcdefghij\\scenery", 20), "C:\\01...ghij\\scenery");
    EXPECT_EQ(ShortenedMiddle("C:\\short\\scenery", 20), "C:\\short\\scenery");
}

}  // namespace
