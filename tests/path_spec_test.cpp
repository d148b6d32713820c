#include "paths/path_spec.h"

#include <gtest/gtest.h>

#include <string>

#include "paths/install_layout.h"
#include "paths/path_text.h"
#include "platform/path_names.h"
#include "scenerycfg/area_path.h"

namespace {

const platform::CodePage kAnsi;  // Windows-1252

struct Parsed {
    std::string drive, dir, name, ext;
    bool relative;
    bool operator==(const Parsed&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Parsed& p) {
    return out << "{" << p.drive << "|" << p.dir << "|" << p.name << "|" << p.ext << "|"
               << p.relative << "}";
}

Parsed ParseOf(const std::string& path) {
    CPathSpec spec;
    spec.Parse(path);
    return {spec.Drive(), spec.Dir(), spec.Name(), spec.Ext(), spec.IsRelative()};
}

std::string Absolute(const std::string& path, const std::string& base) {
    CPathSpec spec;
    spec.Parse(path);
    return spec.MakeAbsolute(base);
}

TEST(PathSpecTest, SplitsIntoParts) {
    EXPECT_EQ(ParseOf("Addon Scenery\\Tolvane\\"),
              (Parsed{"", "Addon Scenery\\Tolvane\\", "", "", true}));
    EXPECT_EQ(ParseOf("Scenery/World/"), (Parsed{"", "Scenery\\World\\", "", "", true}));
    EXPECT_EQ(ParseOf("D:Sceneries\\X\\"), (Parsed{"D:", "Sceneries\\X\\", "", "", true}));
    EXPECT_EQ(ParseOf("C:\\FS9\\Scenery\\"), (Parsed{"C:", "\\FS9\\Scenery\\", "", "", false}));
    EXPECT_EQ(ParseOf("\\FS9\\"), (Parsed{"", "\\FS9\\", "", "", false}));
    EXPECT_EQ(ParseOf("/FS9/"), (Parsed{"", "\\FS9\\", "", "", false}));
    EXPECT_EQ(ParseOf("\\"), (Parsed{"", "\\", "", "", false}));
    EXPECT_EQ(ParseOf("docs\\archive.tar.gz"), (Parsed{"", "docs\\", "archive.tar", "gz", true}));
    EXPECT_EQ(ParseOf("docs\\.profile"), (Parsed{"", "docs\\", "", "", true}));
    EXPECT_EQ(ParseOf("readme.txt"), (Parsed{"", "", "readme", "txt", false}));
    EXPECT_EQ(ParseOf("a.b\\c"), (Parsed{"", "a.b\\", "c", "", true}));
}

TEST(PathSpecTest, QuotesAndEmptyInput) {
    EXPECT_EQ(ParseOf("\"Addon Scenery\\Tolvane\\\""), ParseOf("Addon Scenery\\Tolvane\\"));
    EXPECT_EQ(ParseOf("\"\""), (Parsed{"", "", "", "", false}));
    EXPECT_EQ(ParseOf(""), (Parsed{"", "", "", "", false}));
    EXPECT_EQ(ParseOf("\"half\\"), (Parsed{"", "\"half\\", "", "", true}));
}

TEST(PathSpecTest, OverLongInputIsRefused) {
    const Parsed refused{"", "", "", "", false};
    EXPECT_EQ(ParseOf(std::string(260, 'a') + "\\"), refused);
    EXPECT_EQ(ParseOf("x\\" + std::string(256, 'n')), refused);
    EXPECT_EQ(ParseOf("x\\n." + std::string(255, 'e')), refused);  // 256 with its dot
    EXPECT_EQ(ParseOf(std::string(256, 'd') + "\\x"), refused);
    EXPECT_EQ(ParseOf(std::string(254, 'd') + "\\").dir.size(), 255u);

    // A refusal clears what an earlier parse left.
    CPathSpec spec;
    spec.Parse("C:\\a\\b.c");
    spec.Parse(std::string(300, 'x'));
    EXPECT_EQ(spec.Rebuild(), "");
    EXPECT_FALSE(spec.IsRelative());
}

TEST(PathSpecTest, MakeAbsolute) {
    EXPECT_EQ(Absolute("Addon Scenery\\Tolvane\\", "C:\\FS9"), "C:\\FS9\\Addon Scenery\\Tolvane\\");
    EXPECT_EQ(Absolute("Addon Scenery\\Tolvane\\", "C:\\FS9\\"),
              "C:\\FS9\\Addon Scenery\\Tolvane\\");
    EXPECT_EQ(Absolute("Scenery/World/", "C:\\FS9"), "C:\\FS9\\Scenery\\World\\");
    EXPECT_EQ(Absolute("..\\Shared\\Area\\", "C:\\FS9"), "C:\\Shared\\Area\\");
    EXPECT_EQ(Absolute("..\\..\\..\\Area\\", "C:\\FS9"), "C:\\Area\\");  // never above the root
    EXPECT_EQ(Absolute(".\\a\\.\\b\\..\\c\\", "C:\\FS9"), "C:\\FS9\\a\\c\\");
    EXPECT_EQ(Absolute("docs\\archive.tar.gz", "C:\\base"), "C:\\base\\docs\\archive.tar.gz");
    EXPECT_EQ(Absolute("D:Sceneries\\X\\", "C:\\FS9"), "C:\\FS9\\D:Sceneries\\X\\");
    EXPECT_EQ(Absolute("C:\\FS9\\Scenery\\", "C:\\FS9"), "");  // not relative
    EXPECT_EQ(Absolute("readme.txt", "C:\\FS9"), "");
    EXPECT_EQ(Absolute("Scenery\\", ""), "");
    EXPECT_EQ(Absolute("Scenery\\", std::string(250, 'b')).size(), 259u);
    EXPECT_EQ(Absolute("Scenery\\", std::string(251, 'b')), "");  // result too long
}

TEST(PathTextTest, SeparatorsAtTheEnd) {
    EXPECT_EQ(platform::JoinedPath("", "x", kAnsi), "x");
    EXPECT_EQ(platform::JoinedPath("C:\\FS9", "x", kAnsi), "C:\\FS9\\x");
    EXPECT_EQ(platform::JoinedPath("C:\\FS9\\", "x", kAnsi), "C:\\FS9\\x");
    EXPECT_EQ(platform::JoinedPath("C:/FS9/", "x", kAnsi), "C:/FS9/x");
    EXPECT_EQ(WithoutTrailingBackslashes("C:\\a\\\\\\", kAnsi), "C:\\a");
    EXPECT_EQ(WithoutTrailingBackslashes("\\\\", kAnsi), "");
    EXPECT_EQ(WithoutTrailingBackslashes("C:/a/", kAnsi), "C:/a/");
}

TEST(PathTextTest, CanonicalizeKeepsTheRoot) {
    std::string out;
    ASSERT_TRUE(CanonicalizePath("\\a\\..\\..\\b", 259, &out, kAnsi));
    EXPECT_EQ(out, "\\b");
    ASSERT_TRUE(CanonicalizePath("C:\\x\\..", 259, &out, kAnsi));
    EXPECT_EQ(out, "C:\\");
    ASSERT_TRUE(CanonicalizePath("C:\\FS9\\Scenery", 259, &out, kAnsi));
    EXPECT_EQ(out, "C:\\FS9\\Scenery");
    EXPECT_FALSE(CanonicalizePath(std::string(300, 'a'), 259, &out, kAnsi));
}

}  // namespace

namespace {

// In code page 932 (Japanese) the second byte of a double-byte character may
// be 0x5C, the backslash: "\x95\x5C" is one character (a kanji), and a path
// is split only where a backslash stands on its own, as the system's
// _splitpath and PathCanonicalizeA split it.
TEST(PathSpecTest, ASecondByteIsNoSeparatorInADoubleByteCodePage) {
    const platform::CodePage japanese(932);
    const std::string kanji = "\x95\x5C";  // its second byte is a backslash
    EXPECT_TRUE(japanese.IsLeadByte('\x95'));
    EXPECT_FALSE(japanese.IsLeadByte('\xA0'));  // a half-width katakana stands alone
    EXPECT_FALSE(kAnsi.IsLeadByte('\x95'));

    EXPECT_EQ(platform::FolderOf("C:\\x\\" + kanji, japanese), "C:\\x");
    EXPECT_EQ(platform::LastNameOf("C:\\x\\" + kanji, japanese), kanji);
    EXPECT_EQ(TrimmedFolderPath("C:\\a\\" + kanji + "\\\\", japanese), "C:\\a\\" + kanji);
    EXPECT_EQ(WithoutTrailingBackslashes("Addon Scenery\\" + kanji + "\\", japanese),
              "Addon Scenery\\" + kanji);
    EXPECT_EQ(platform::JoinedPath("C:\\" + kanji, "x", japanese), "C:\\" + kanji + "\\x");
    EXPECT_EQ(SplitPath("Addon Scenery\\" + kanji + "\\x.bgl", japanese).dir,
              "Addon Scenery\\" + kanji + "\\");
    std::string out;
    ASSERT_TRUE(
        CanonicalizePath("C:\\FS9\\" + kanji + "\\..\\" + kanji + "\\.\\x", 259, &out, japanese));
    EXPECT_EQ(out, "C:\\FS9\\" + kanji + "\\x");
    EXPECT_EQ(SimulatorRoot("C:\\" + kanji + "\\Addon Scenery\\Tolvane\\", japanese),
              "C:\\" + kanji);
    EXPECT_EQ(PackageLayout("C:\\" + kanji + "\\Addon Scenery\\" + kanji, japanese).iniPath,
              "C:\\" + kanji + "\\Addon Scenery\\" + kanji + "\\TolvaneConfig.ini");
    EXPECT_EQ(ResolveAreaPath("C:\\FS9", "Addon Scenery\\" + kanji + "\\", japanese),
              "C:\\FS9\\Addon Scenery\\" + kanji);
    // The same bytes in Windows-1252 are a character and a separator.
    EXPECT_EQ(platform::FolderOf("C:\\x\\" + kanji, kAnsi), "C:\\x\\\x95");
}

}  // namespace
