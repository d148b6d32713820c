#include "layers/settings_file.h"

#include <gtest/gtest.h>

#include "layers/layer_options.h"
#include "tests/test_support.h"

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WinPath;
using testing_support::WriteBytes;

namespace {

const char* const kDefaultsFile =
    "[UTCAN]\r\nUT=0\r\nGolfCourses=0\r\nParks=0\r\nMinorRoads=0\r\nMajorRoads=1\r\n"
    "Cemetaries=0\r\nRailroads=0\r\n\r\n[AI]\r\nHelos=1\r\nShips=1\r\nFloats=1\r\nBoats=1\r\n\r\n";

bool SameSettings(const LayerSettings& a, const LayerSettings& b) {
    for (const LayerOption& option : LayerOptions()) {
        if (a.*option.field != b.*option.field) {
            return false;
        }
    }
    return true;
}

class SettingsFileTest : public ::testing::Test {
  protected:
    LayerSettings LoadFrom(const std::string& bytes) {
        WriteBytes(file, bytes);
        return LoadLayerSettings(WinPath(file));
    }

    TempDir temp;
    fs::path file = temp.Path() / "TolvaneConfig.ini";
};

TEST_F(SettingsFileTest, MissingValuesTakeTheirDefaults) {
    LayerSettings defaults = LoadLayerSettings(WinPath(file));  // no file at all
    EXPECT_EQ(defaults.UT, 0);
    EXPECT_EQ(defaults.MajorRoads, 1);
    EXPECT_EQ(defaults.GolfCourses + defaults.Parks + defaults.MinorRoads + defaults.Cemetaries +
                  defaults.Railroads,
              0);
    EXPECT_EQ(defaults.Helos + defaults.Ships + defaults.Floats + defaults.Boats, 4);
    EXPECT_TRUE(SameSettings(defaults, DefaultLayerSettings()));

    LayerSettings boatsOff = LoadFrom("[AI]\r\nBoats=0\r\n");
    LayerSettings expected = DefaultLayerSettings();
    expected.Boats = 0;
    EXPECT_TRUE(SameSettings(boatsOff, expected));

    // Names are matched exactly: a lower-case section or key is not found.
    EXPECT_TRUE(SameSettings(LoadFrom("[utcan]\r\nUT=1\r\n"), DefaultLayerSettings()));
    EXPECT_TRUE(SameSettings(LoadFrom("[UTCAN]\r\nut=1\r\n"), DefaultLayerSettings()));
}

TEST_F(SettingsFileTest, ValuesAreReadAsIntegers) {
    EXPECT_EQ(LoadFrom("[UTCAN]\r\nParks=2\r\n").Parks, 2);
    EXPECT_EQ(LoadFrom("[UTCAN]\r\nParks=yes\r\n").Parks, 0);
    EXPECT_EQ(LoadFrom("[UTCAN]\r\nParks=\r\n").Parks, 0);
    EXPECT_EQ(LoadFrom("[UTCAN]\r\nMajorRoads=\r\n").MajorRoads, 1);  // empty: the default
    EXPECT_EQ(LoadFrom("[UTCAN]\r\nUT=-3\r\n").UT, -3);
}

TEST_F(SettingsFileTest, SaveWritesOnlyTheElevenOptions) {
    WriteBytes(file, "[Other]\r\nkeep=me\r\n[UTCAN]\r\nExtra=1\r\nUT=1\r\n");
    SaveLayerSettings(WinPath(file), DefaultLayerSettings());
    EXPECT_EQ(ReadBytes(file), kDefaultsFile);

    LayerSettings mixed = DefaultLayerSettings();
    mixed.UT = 1;
    mixed.Parks = 1;
    mixed.Boats = 0;
    SaveLayerSettings(WinPath(file), mixed);
    EXPECT_TRUE(SameSettings(LoadLayerSettings(WinPath(file)), mixed));
}

}  // namespace
