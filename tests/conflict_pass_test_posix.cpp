// The conflict pass with the drive's root in reach: in a child whose root
// is a test folder (chroot), so that files below the root can be planted.
#include <unistd.h>

#include <gtest/gtest.h>

#include "scenerycfg/conflict_pass.h"
#include "tests/support/child_process.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace {

// The renames a scan makes with the library given, in a child whose root
// is root.
int RenamesBelowRoot(const fs::path& root, const std::string& library) {
    WriteBytes(root / "FS9" / "scenery.cfg", library);
    platform::FileSystem& files = HostFiles();  // made before the root changes
    return RunInChild([&] {
        if (chroot(root.c_str()) != 0 || chdir("/") != 0) {
            return 100;
        }
        int renames = 0;
        RunConflictPass(files, "Z:\\FS9", ConflictPass::kScan,
                        [&](const RenameReport&) { ++renames; });
        return renames;
    });
}

// A Local that names no folder (empty, or separators alone) is no area: the
// pass never reaches the "scenery" folder below the drive's root, which an
// area written as the root itself does reach.
TEST(ConflictPassRootTest, AnAreaWithoutAFolderNamesNothingBelowTheRoot) {
    SKIP_UNLESS_SUPERUSER("the pass runs below a root of its own (chroot)");
    TempDir temp;
    fs::create_directories(temp.Path() / "FS9");
    fs::create_directories(temp.Path() / "scenery");
    WriteBytes(temp.Path() / "scenery" / "Drey_Facility_CQP8.bgl", "below the root");
    EXPECT_EQ(RenamesBelowRoot(temp.Path(),
                               "[Area.001]\r\nLocal=\r\nActive=TRUE\r\n"
                               "[Area.002]\r\nLocal=/\\\r\nActive=TRUE\r\n"),
              0);
    EXPECT_TRUE(fs::exists(temp.Path() / "scenery" / "Drey_Facility_CQP8.bgl"));
    EXPECT_EQ(RenamesBelowRoot(temp.Path(), "[Area.001]\r\nLocal=Z:\\\r\nActive=TRUE\r\n"), 1);
    EXPECT_TRUE(fs::exists(temp.Path() / "scenery" / "Drey_Facility_CQP8.xxx"));
}

}  // namespace
