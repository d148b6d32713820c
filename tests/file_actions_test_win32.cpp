// Refusals that only Windows (and Wine) make: the read-only attribute.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/apply_fixture.h"

namespace {

class ReadOnlyLayerTest : public ApplyFixture {};

TEST_F(ReadOnlyLayerTest, ReadOnlyFileIsNotDeletedAndTheApplyGoesOn) {
    const std::string name = "Traffic_Tolvane1_heli.bgl";
    const std::string path = layout.lowerScenery + name;
    testing_support::WriteBytes(install.Scenery(PriorityArea::Lower) / name, "kept");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));

    EXPECT_EQ(RemoveExistingFile(path), 0);
    DisableLayerFile(Context(), PriorityArea::Lower, name);
    DisableLayerFile(Context(), PriorityArea::Lower, "Traffic_Tolvane1_seaplane.bgl");
    EXPECT_EQ(LogLines(), (std::vector<std::string>{"Delete file failed", "Delete file failed"}));
    EXPECT_EQ(testing_support::ReadBytes(install.Scenery(PriorityArea::Lower) / name), "kept");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
