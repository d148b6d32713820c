#include "ini/ini_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ini/text_number.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace {

class IniStoreTest : public ::testing::Test {
  protected:
    // Loads the bytes as a file and returns the store.
    CIniStore LoadText(const std::string& bytes) {
        WriteBytes(file, bytes);
        CIniStore store(HostFiles(), WinPath(file));
        EXPECT_TRUE(store.Load());
        return store;
    }

    TempDir temp;
    fs::path file = temp.Path() / "test.ini";
};

TEST_F(IniStoreTest, Headers) {
    CIniStore store = LoadText(
        "[[AI]]\nHelos=1\n[]\nempty=1\n[ UTCAN ]\nUT=1\n[AI\nstray=1\n[AI] \nx=2\n"
        "[NoKeys]\n[utcan]\nut=0\n");
    // "[AI" and "[AI] " are not headers and hold no "=": skipped.
    EXPECT_EQ(store.Serialize(),
              "[AI]\r\nHelos=1\r\n\r\n[]\r\nempty=1\r\n\r\n"
              "[ UTCAN ]\r\nUT=1\r\nstray=1\r\nx=2\r\n\r\n[utcan]\r\nut=0\r\n\r\n");
    EXPECT_EQ(store.GetInt("UTCAN", "UT", 7), 7);
    EXPECT_EQ(store.IndexOfSection("NoKeys"), -1);

    // A file of nothing but a header holds no section.
    EXPECT_EQ(LoadText("[UTCAN]\r\n").SectionCount(), 0);
}

TEST_F(IniStoreTest, KeyLines) {
    CIniStore store = LoadText(
        "UT=1\n[S]\na=b=c\n=5\nUT = 1\nParks=\nno equals sign\n  \nrep=first\n[S]\nrep=second\n"
        "z=last\n");
    EXPECT_EQ(store.Serialize(),
              "[]\r\nUT=1\r\n\r\n[S]\r\na=b=c\r\n=5\r\nUT = 1\r\nParks=\r\nrep=second\r\nz=last\r\n"
              "\r\n");
    EXPECT_EQ(store.GetString("S", "a"), "b=c");
    EXPECT_EQ(store.GetString("S", ""), "5");
    EXPECT_EQ(store.GetString("S", "UT "), " 1");
    EXPECT_EQ(store.GetString("", "UT"), "1");
    EXPECT_EQ(store.GetInt("S", "UT", 0), 0);
    EXPECT_EQ(store.LastError(), "Unable to locate specified value.");
    EXPECT_EQ(store.GetInt("S", "Parks", 9), 9);
    EXPECT_EQ(store.GetString("S", "Parks"), "");
    EXPECT_EQ(store.LastError(), "Unable to locate specified value.");  // unchanged
}

TEST_F(IniStoreTest, LineEndsLongLinesAndByteOrderMark) {
    std::string longValue(100000, 'v');
    CIniStore store = LoadText("\xEF\xBB\xBF[A]\r\nk=v\r\ncr=in\rside\r\n\r\nlong=" + longValue +
                               "\r\nlast=no break");
    EXPECT_EQ(store.Serialize(),
              "[A]\r\nk=v\r\ncr=in\rside\r\nlong=" + longValue + "\r\nlast=no break\r\n\r\n");

    // Loading again merges into the same content.
    ASSERT_TRUE(store.Load());
    EXPECT_EQ(store.SectionCount(), 1);
    EXPECT_EQ(store.GetString("A", "last"), "no break");
}

TEST_F(IniStoreTest, SaveWritesTheNormalForm) {
    CIniStore store = LoadText("k0=v0\n\n\n[[B]]\nx=1\n[A]\n[B]\ny= 2 \nx=3\n");
    store.Save();
    EXPECT_EQ(ReadBytes(file), "[]\r\nk0=v0\r\n\r\n[B]\r\nx=3\r\ny= 2 \r\n\r\n");

    CIniStore fresh(HostFiles(), WinPath(file));
    fresh.SetInt("UTCAN", "UT", 0, true);
    fresh.SetInt("UTCAN", "MajorRoads", 1, true);
    fresh.SetInt("AI", "Helos", 1, true);
    fresh.Save();
    EXPECT_EQ(ReadBytes(file), "[UTCAN]\r\nUT=0\r\nMajorRoads=1\r\n\r\n[AI]\r\nHelos=1\r\n\r\n");

    CIniStore empty(HostFiles(), WinPath(file));
    empty.Save();
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(fs::file_size(file), 0u);
}

TEST_F(IniStoreTest, FailedSaveLeavesTheOldFileAndNoTemporary) {
    fs::create_directories(file / "inside");
    WriteBytes(file / "inside" / "keep", "old");
    CIniStore store(HostFiles(), WinPath(file));
    store.SetString("S", "k", "v", true);
    store.Save();
    EXPECT_EQ(ReadBytes(file / "inside" / "keep"), "old");
    std::vector<fs::path> entries(fs::directory_iterator(temp.Path()), fs::directory_iterator());
    EXPECT_EQ(entries, std::vector<fs::path>{file});
}

TEST_F(IniStoreTest, LoadFailuresAndLookupErrors) {
    CIniStore missing(HostFiles(), WinPath(temp.Path() / "none.ini"));
    EXPECT_FALSE(missing.Load());
    EXPECT_EQ(missing.LastError(), "");

    fs::create_directory(file);
    CIniStore folder(HostFiles(), WinPath(file));
    EXPECT_FALSE(folder.Load());
    EXPECT_EQ(folder.LastError(), "Unable to open ini file.");
    EXPECT_EQ(folder.SectionCount(), 0);

    CIniStore store(HostFiles(), WinPath(file));
    EXPECT_TRUE(store.SetString("S", "k", "v", true));
    EXPECT_EQ(store.GetString("T", "k"), "");
    EXPECT_EQ(store.LastError(), "Unable to locate specified key.");
    EXPECT_EQ(store.GetString("S", "k"), "v");
    EXPECT_EQ(store.LastError(), "Unable to locate specified key.");  // kept after success
    EXPECT_EQ(store.GetInt("S", "nokey", 4), 4);
    EXPECT_EQ(store.LastError(), "Unable to locate specified value.");
    EXPECT_EQ(store.SectionName(store.SectionCount()), "");
    EXPECT_EQ(store.SectionName(-1), "");
    EXPECT_EQ(store.IndexOfKey(-1, "k"), -1);
}

TEST_F(IniStoreTest, SetStringAndSetInt) {
    CIniStore store(HostFiles(), WinPath(file));
    EXPECT_FALSE(store.SetString("S", "k", "v", false));
    EXPECT_EQ(store.SectionCount(), 0);
    EXPECT_TRUE(store.SetString("S", "k", "v", true));
    EXPECT_FALSE(store.SetString("S", "other", "v", false));
    EXPECT_TRUE(store.SetString("S", "k", "w", false));
    EXPECT_TRUE(store.SetInt("T", "n", -5, true));
    EXPECT_TRUE(store.SetString("S", "k2", "x", true));
    EXPECT_EQ(store.Serialize(), "[S]\r\nk=w\r\nk2=x\r\n\r\n[T]\r\nn=-5\r\n\r\n");
}

TEST_F(IniStoreTest, ManyKeysInOneSectionKeepTheirOrderAndLastValue) {
    std::string text = "[Big]\n";
    for (int i = 0; i < 50; ++i) {
        text += "k" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    }
    text += "k3=again\nk49=again\n";
    CIniStore store = LoadText(text);
    EXPECT_EQ(store.IndexOfKey(0, "k3"), 3);
    EXPECT_EQ(store.IndexOfKey(0, "k49"), 49);
    EXPECT_EQ(store.GetString("Big", "k3"), "again");
    EXPECT_EQ(store.GetString("Big", "k49"), "again");
    EXPECT_EQ(store.IndexOfKey(0, "k50"), -1);
}

TEST(TextToIntTest, ReadsLikeAtoi) {
    EXPECT_EQ(TextToInt("12abc"), 12);
    EXPECT_EQ(TextToInt(" \t-7"), -7);
    EXPECT_EQ(TextToInt("+3"), 3);
    EXPECT_EQ(TextToInt("TRUE"), 0);
    EXPECT_EQ(TextToInt("yes"), 0);
    EXPECT_EQ(TextToInt("- 1"), 0);
    EXPECT_EQ(TextToInt("99999999999"), 2147483647);
    EXPECT_EQ(TextToInt("-99999999999"), -2147483647 - 1);
    EXPECT_EQ(TextToInt("-2147483648"), -2147483647 - 1);
}

}  // namespace
