// The command line run by a user without the right to change what it works
// on: the permission bits refuse for real, even when the tests run as root.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/tolvane.h"
#include "tests/support/apply_fixture.h"
#include "tests/support/child_process.h"

namespace fs = std::filesystem;

namespace {

// tolvane as the user nobody: its exit code, and its standard error in *err.
int TolvaneAsNobody(const std::vector<std::string>& args, const fs::path& scratch,
                    std::string* err) {
    fs::create_directories(scratch);
    fs::permissions(scratch, fs::perms::all);
    const fs::path errFile = scratch / "err";
    const int code = RunAsNobody([&] {
        std::ostringstream out, errors;
        const int result = RunTolvane(args, "", out, errors);
        WriteBytes(errFile, errors.str());
        return result;
    });
    *err = ReadBytes(errFile);
    return code;
}

// Area folders this user may not write: the preview says what the scan
// then meets, with the same exit code and the same reasons.
TEST_F(ApplyFixture, ScanPreviewInFoldersThatRefuseWrites) {
    const Listing before = ListTree(install.root);
    const std::vector<std::string> scan = {"--package", install.package.string(), "scan"};
    std::vector<std::string> dryScan = scan;
    dryScan.push_back("--dry-run");
    std::string dryErr, realErr;
    EXPECT_EQ(TolvaneAsNobody(dryScan, temp.Path() / "scratch", &dryErr), 1);
    EXPECT_EQ(TolvaneAsNobody(scan, temp.Path() / "scratch", &realErr), 1);
    EXPECT_EQ(ListTree(install.root), before);
    EXPECT_NE(realErr.find("could not rename"), std::string::npos) << realErr;
    for (size_t at; (at = dryErr.find("would not ")) != std::string::npos;) {
        dryErr.replace(at, 10, "could not ");
    }
    EXPECT_EQ(dryErr, realErr);
}

}  // namespace
