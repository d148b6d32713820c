#include "layers/layer_plan.h"

#include <gtest/gtest.h>

#include "tests/apply_fixture.h"

namespace {

constexpr PriorityArea H = PriorityArea::Higher;
constexpr PriorityArea L = PriorityArea::Lower;
const char* const kDeleteFailed = "Delete file failed";

const char* const kHigherFiles[] = {
    "1_UT_PC915140_Tvl+.bgl",
    "1_UT_PG915140_Tvl+.bgl",
    "1_UT_PK915140_Tvl+.bgl",
    "1_UT_RR915140-0077_Tvl+_120x117.bgl",
    "1_UT_RR915140-0077_Tvl+_120x118.bgl",
    "1_UT_RA915140-5077_Tvl+_120x117.bgl",
    "1_UT_RA915140-5077_Tvl+_120x118.bgl",
    "1_UT_RA915140-5077_Tvl+_121x117.bgl",
    "1_UT_RA915140-5077_Tvl+_121x118.bgl",
    "1_UT_RM915140-4077_Tvl+_120x117.bgl",
    "1_UT_RM915140-4077_Tvl+_120x118.bgl",
    "1_UT_RM915140-4077_Tvl+_121x117.bgl",
};
const char* const kExclusion = "0_excl_UT-layers_6+8_120-121x117-118.bgl";
const char* const kMask2 = "TolvaneDEM_LWM2.BGL";
const char* const kMask3 = "TolvaneDEM_LWM3.BGL";
const char* const kHarrelAdditional = "Traffic_Harrel_Point_additional.bgl";
const char* const kHarrel = "Traffic_Harrel_Point.bgl";
const char* const kBoats = "Traffic_marrowby_boats.bgl";
const char* const kSeaplane = "Traffic_Tolvane1_seaplane.bgl";
const char* const kHeli = "Traffic_Tolvane1_heli.bgl";

class LayerPlanTest : public ApplyFixture {};

TEST_F(LayerPlanTest, DefaultsOnAnEmptyInstall) {
    ApplyLayerPlan(DefaultLayerSettings(), Context());

    std::vector<std::string> expected(12, kDeleteFailed);  // rows 1-6, UT off
    expected.insert(expected.end(), {kDeleteFailed, CopiedLine(L, kMask2), CopiedLine(L, kMask3),
                                     CopiedLine(L, kHarrelAdditional), CopiedLine(L, kHarrel),
                                     CopiedLine(L, kBoats), CopiedLine(L, kBoats),
                                     CopiedLine(L, kSeaplane), CopiedLine(L, kHeli)});
    EXPECT_EQ(LogLines(), expected);
    EXPECT_TRUE(SceneryFiles(H).empty());
    EXPECT_EQ(SceneryFiles(L), (std::vector<std::string>{kMask2, kMask3, kHarrel, kHarrelAdditional,
                                                         kHeli, kSeaplane, kBoats}));
}

TEST_F(LayerPlanTest, UtWithOnlyMajorRoadsAfterDefaults) {
    ApplyLayerPlan(DefaultLayerSettings(), Context());
    log.Clear();
    LayerSettings settings = DefaultLayerSettings();  // major roads and the traffic on
    settings.UT = 1;
    ApplyLayerPlan(settings, Context());

    std::vector<std::string> expected(9, kDeleteFailed);
    for (int i = 9; i < 12; ++i) {
        expected.push_back(CopiedLine(H, kHigherFiles[i]));
    }
    expected.insert(
        expected.end(),
        {CopiedLine(L, kExclusion), DeletedLine(L, kMask2), DeletedLine(L, kMask3),
         CopiedLine(L, kHarrelAdditional), CopiedLine(L, kHarrel), CopiedLine(L, kBoats),
         CopiedLine(L, kBoats), CopiedLine(L, kSeaplane), CopiedLine(L, kHeli)});
    EXPECT_EQ(LogLines(), expected);
    EXPECT_EQ(SceneryFiles(H),
              (std::vector<std::string>{kHigherFiles[9], kHigherFiles[10], kHigherFiles[11]}));
    EXPECT_EQ(SceneryFiles(L), (std::vector<std::string>{kExclusion, kHarrel, kHarrelAdditional,
                                                         kHeli, kSeaplane, kBoats}));

    // Everything off again: the deletes of the files just copied succeed.
    log.Clear();
    ApplyLayerPlan(LayerSettings{}, Context());
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines[9], DeletedLine(H, kHigherFiles[9]));
    EXPECT_EQ(lines[12], DeletedLine(L, kExclusion));
    EXPECT_EQ(lines[15], DeletedLine(L, kHarrelAdditional));
    EXPECT_EQ(lines[18], kDeleteFailed);  // the boats file went in row 8
    EXPECT_TRUE(SceneryFiles(H).empty());
    EXPECT_EQ(SceneryFiles(L), (std::vector<std::string>{kMask2, kMask3}));
}

TEST_F(LayerPlanTest, SubOptionsActOnlyWithTheMasterSwitch) {
    LayerSettings settings;
    settings.GolfCourses = settings.Parks = settings.MinorRoads = settings.MajorRoads = 1;
    settings.Cemetaries = settings.Railroads = 1;
    ApplyLayerPlan(settings, Context());
    EXPECT_TRUE(SceneryFiles(H).empty());

    log.Clear();
    settings.UT = 1;
    ApplyLayerPlan(settings, Context());
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines[0], CopiedLine(H, kHigherFiles[0]));
    EXPECT_EQ(SceneryFiles(H).size(), 12u);
}

TEST_F(LayerPlanTest, BoatsFileFollowsTheBoatsOption) {
    LayerSettings shipsOnly;
    shipsOnly.Ships = 1;
    ApplyLayerPlan(shipsOnly, Context());
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines[17], CopiedLine(L, kBoats));
    EXPECT_EQ(lines[18], DeletedLine(L, kBoats));
    EXPECT_FALSE(std::filesystem::exists(install.Scenery(L) / kBoats));

    log.Clear();
    LayerSettings boatsOnly;
    boatsOnly.Boats = 1;
    ApplyLayerPlan(boatsOnly, Context());
    lines = LogLines();
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines[17], kDeleteFailed);
    EXPECT_EQ(lines[18], CopiedLine(L, kBoats));
    EXPECT_EQ(SceneryFiles(L), (std::vector<std::string>{kMask2, kMask3, kBoats}));
}

TEST(LayerPlanTableTest, ElevenRowsOfTwentyOneActions) {
    size_t actions = 0;
    for (const LayerPlanRow& row : LayerPlan()) {
        actions += row.files.size();
    }
    EXPECT_EQ(LayerPlan().size(), 11u);
    EXPECT_EQ(actions, 21u);
}

}  // namespace
