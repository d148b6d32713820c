#include "layers/settings_file.h"

#include <gtest/gtest.h>

#include <array>

#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace {

// The eleven values in the settings file's order: UT, GolfCourses, Parks,
// MinorRoads, MajorRoads, Cemetaries, Railroads, Helos, Ships, Floats, Boats.
using Values = std::array<int, 11>;
const Values kDefaults = {0, 0, 0, 0, 1, 0, 0, 1, 1, 1, 1};

Values ValuesOf(const LayerSettings& s) {
    return {s.UT,        s.GolfCourses, s.Parks, s.MinorRoads, s.MajorRoads, s.Cemetaries,
            s.Railroads, s.Helos,       s.Ships, s.Floats,     s.Boats};
}

class SettingsFileTest : public ::testing::Test {
  protected:
    Values LoadFrom(const std::string& bytes) {
        WriteBytes(file, bytes);
        return ValuesOf(LoadLayerSettings(HostFiles(), WinPath(file)).values);
    }

    TempDir temp;
    fs::path file = temp.Path() / "TolvaneConfig.ini";
};

TEST_F(SettingsFileTest, MissingValuesTakeTheirDefaults) {
    const LoadedSettings none = LoadLayerSettings(HostFiles(), WinPath(file));  // no file at all
    EXPECT_EQ(ValuesOf(none.values), kDefaults);
    EXPECT_EQ(none.state, SettingsFileState::kAbsent);
    EXPECT_EQ(ValuesOf(DefaultLayerSettings()), kDefaults);
    EXPECT_EQ(LoadFrom("[AI]\r\nBoats=0\r\n"), (Values{0, 0, 0, 0, 1, 0, 0, 1, 1, 1, 0}));
    // Names are matched exactly: a lower-case section or key is not found.
    EXPECT_EQ(LoadFrom("[utcan]\r\nUT=1\r\n"), kDefaults);
    EXPECT_EQ(LoadFrom("[UTCAN]\r\nut=1\r\n"), kDefaults);
}

TEST_F(SettingsFileTest, ValuesAreReadAsIntegersWithTheirSources) {
    EXPECT_EQ(LoadFrom("[UTCAN]\r\nUT=-3\r\nParks=2\r\nMinorRoads=yes\r\nMajorRoads=\r\n"),
              (Values{-3, 0, 2, 0, 1, 0, 0, 1, 1, 1, 1}));  // empty: the default
    const LoadedSettings loaded = LoadLayerSettings(HostFiles(), WinPath(file));
    EXPECT_EQ(loaded.state, SettingsFileState::kRead);
    EXPECT_EQ(loaded.fromFile, (std::array<bool, 11>{true, false, true, true, false, false, false,
                                                     false, false, false, false}));
}

// A settings file that is there but cannot be read gives the defaults, and
// says so.
TEST_F(SettingsFileTest, UnreadableFileIsToldFromAMissingOne) {
    fs::create_directories(file / "inside");
    const LoadedSettings loaded = LoadLayerSettings(HostFiles(), WinPath(file));
    EXPECT_EQ(loaded.state, SettingsFileState::kUnreadable);
    EXPECT_FALSE(loaded.reason.empty());
    EXPECT_EQ(ValuesOf(loaded.values), kDefaults);
}

TEST_F(SettingsFileTest, SaveWritesOnlyTheElevenOptions) {
    WriteBytes(file, "[Other]\r\nkeep=me\r\n[UTCAN]\r\nExtra=1\r\nUT=1\r\n");
    LayerSettings mixed = DefaultLayerSettings();
    mixed.UT = 1;
    mixed.Parks = 1;
    mixed.Boats = 0;
    std::string reason, bytes;
    EXPECT_TRUE(SaveLayerSettings(HostFiles(), WinPath(file), mixed, &reason, &bytes));
    EXPECT_EQ(ReadBytes(file),
              "[UTCAN]\r\nUT=1\r\nGolfCourses=0\r\nParks=1\r\nMinorRoads=0\r\nMajorRoads=1\r\n"
              "Cemetaries=0\r\nRailroads=0\r\n\r\n[AI]\r\nHelos=1\r\nShips=1\r\nFloats=1\r\n"
              "Boats=0\r\n\r\n");
    EXPECT_EQ(bytes, ReadBytes(file));
}

}  // namespace
