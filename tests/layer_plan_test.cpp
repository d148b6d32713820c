#include "layers/layer_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "layers/layer_options.h"

#include "tests/support/apply_fixture.h"

namespace {

constexpr PriorityArea H = PriorityArea::Higher;
constexpr PriorityArea L = PriorityArea::Lower;

using Names = std::vector<std::string>;
const char* const kMask2 = "TolvaneDEM_LWM2.BGL";
const char* const kMask3 = "TolvaneDEM_LWM3.BGL";
const char* const kBoats = "Traffic_marrowby_boats.bgl";
const Names kAllTraffic = {"Traffic_Harrel_Point.bgl", "Traffic_Harrel_Point_additional.bgl",
                           "Traffic_Tolvane1_heli.bgl", "Traffic_Tolvane1_seaplane.bgl", kBoats};

Names With(Names names, const Names& more) {
    names.insert(names.end(), more.begin(), more.end());
    std::sort(names.begin(), names.end());
    return names;
}

class LayerPlanTest : public ApplyFixture {
  protected:
    // Applies the settings with a fresh log; true when it logged `outcomes`.
    void Apply(const LayerSettings& settings, const std::string& outcomes) {
        log.Clear();
        ApplyLayerPlan(settings, Context());
        EXPECT_EQ(LogLines(), ExpectedLog(outcomes));
    }
};

// The letters, one per action in plan order: C copied, D deleted, d delete
// failed (the file was not there). Rows: six UT rows (12 files), the mixed
// row (exclusion, two masks), ships (3), boats, floats, helos.
TEST_F(LayerPlanTest, DefaultsThenUtWithMajorRoadsThenEverythingOff) {
    Apply(DefaultLayerSettings(), "dddddddddddd dCC CCC C C C");
    EXPECT_TRUE(SceneryFiles(H).empty());
    EXPECT_EQ(SceneryFiles(L), With(kAllTraffic, {kMask2, kMask3}));

    LayerSettings settings = DefaultLayerSettings();  // major roads and the traffic on
    settings.UT = 1;
    Apply(settings, "ddddddddd CCC CDD CCC C C C");
    EXPECT_EQ(SceneryFiles(H),
              (Names{"1_UT_RM915140-4077_Tvl+_120x117.bgl", "1_UT_RM915140-4077_Tvl+_120x118.bgl",
                     "1_UT_RM915140-4077_Tvl+_121x117.bgl"}));
    EXPECT_EQ(SceneryFiles(L), With(kAllTraffic, {"0_excl_UT-layers_6+8_120-121x117-118.bgl"}));

    // The boats file went with the ships row, so the boats row finds nothing.
    Apply(LayerSettings{}, "ddddddddd DDD DCC DDD d D D");
    EXPECT_TRUE(SceneryFiles(H).empty());
    EXPECT_EQ(SceneryFiles(L), (Names{kMask2, kMask3}));
}

TEST_F(LayerPlanTest, SubOptionsActOnlyWithTheMasterSwitch) {
    LayerSettings settings;
    settings.GolfCourses = settings.Parks = settings.MinorRoads = settings.MajorRoads = 1;
    settings.Cemetaries = settings.Railroads = 7;  // any value other than 0 is on
    Apply(settings, "dddddddddddd dCC ddd d d d");
    settings.UT = 1;
    Apply(settings, "CCCCCCCCCCCC CDD ddd d d d");
    EXPECT_EQ(SceneryFiles(H).size(), 12u);
}

TEST_F(LayerPlanTest, TheBoatsFileFollowsTheBoatsOption) {
    LayerSettings ships;
    ships.Ships = 1;
    Apply(ships, "dddddddddddd dCC CCC D d d");
    EXPECT_EQ(SceneryFiles(L), (Names{kMask2, kMask3, "Traffic_Harrel_Point.bgl",
                                      "Traffic_Harrel_Point_additional.bgl"}));

    LayerSettings boats;
    boats.Boats = 1;
    Apply(boats, "dddddddddddd dCC DDd C d d");
    EXPECT_EQ(SceneryFiles(L), (Names{kMask2, kMask3, kBoats}));
}

// What an apply leaves in the Scenery folders is what FinalActions says
// each file ends as (the later of two actions on a file decides), whatever
// the settings and whatever the folders held before.
TEST_F(LayerPlanTest, FinalActionsTellWhatAnApplyLeaves) {
    std::mt19937 random(20261208);
    LayerSettings ships;  // the ships row copies the boats file, the boats row deletes it
    ships.Ships = 1;
    LayerSettings boats;
    boats.Boats = 1;
    std::vector<LayerSettings> all = {ships, boats, DefaultLayerSettings(), LayerSettings{}};
    for (int round = 0; round < 12; ++round) {
        LayerSettings settings;
        for (const LayerOption& option : LayerOptions()) {
            settings.*option.field = static_cast<int>(random() % 2);
        }
        all.push_back(settings);
    }
    for (const LayerSettings& settings : all) {
        for (const auto& [area, name] : sample::LayerFiles()) {
            std::filesystem::remove(install.Scenery(area) / name);
            if (random() % 2 == 0) {
                WriteBytes(install.Scenery(area) / name, "an old copy");
            }
        }
        ApplyLayerPlan(settings, Context());
        const std::vector<PlannedAction> final = FinalActions(settings);
        EXPECT_EQ(final.size(), sample::LayerFiles().size());
        for (const PlannedAction& action : final) {
            EXPECT_EQ(std::filesystem::exists(install.Scenery(action.area) / action.name),
                      action.enable)
                << action.name;
        }
    }
}

}  // namespace
