// Runs the program's core as the dialog drives it (start-up, apply and
// restore) with an allocation failing at each point in turn, once or for
// good, as on a machine out of memory. No exception may leave the core,
// and the settings file is never left half-written.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/install_layout.h"
#include "fileops/activity_log.h"
#include "layers/layer_plan.h"
#include "layers/settings_file.h"
#include "scenerycfg/conflict_pass.h"
#include "tests/faults/failing_new.h"
#include "tests/test_support.h"
#include "tools/sample_install.h"

namespace fs = std::filesystem;

namespace {

const char* const kDefaultsIni =
    "[UTCAN]\r\nUT=0\r\nGolfCourses=0\r\nParks=0\r\nMinorRoads=0\r\nMajorRoads=1\r\n"
    "Cemetaries=0\r\nRailroads=0\r\n\r\n[AI]\r\nHelos=1\r\nShips=1\r\nFloats=1\r\nBoats=1\r\n\r\n";

void IgnoreMessage(const std::string&, const std::string&, unsigned) {}

// The core calls of one start, apply and restore; false when an exception
// left any of them.
bool RunProgram(const std::string& exePath) {
    try {
        InstallLayout layout;
        std::string error;
        if (!DeriveInstallLayout(exePath, &layout, &error)) {
            return true;  // the dialog reports it and ends
        }
        LayerSettings settings = LoadLayerSettings(layout.iniPath);
        ConflictScan(layout.fsRoot, IgnoreMessage);
        SaveLayerSettings(layout.iniPath, settings);
        ActivityLog log;
        ClearActivityLog(log);
        ApplyLayerPlan(settings, FileActionContext{layout, log, nullptr});
        WriteActivityLog(log, layout.logPath);
        ConflictRestore(layout.fsRoot, IgnoreMessage);
        return true;
    } catch (...) {
        return false;
    }
}

TEST(AllocationFailureTest, NoFailureEscapesTheCoreOrHalfWritesTheSettings) {
    testing_support::TempDir temp;
    sample::Install install;
    std::string error;
    ASSERT_TRUE(sample::MakeInstall(temp.Path() / "FS9", sample::Options{}, &install, &error));
    const std::string exePath = testing_support::WinPath(install.package / "TolvaneConfig.exe");
    const fs::path ini = install.package / "TolvaneConfig.ini";

    failing_new::FailAfter(-1, false);
    ASSERT_TRUE(RunProgram(exePath));
    const long total = failing_new::Made();
    failing_new::Disarm();
    ASSERT_EQ(testing_support::ReadBytes(ini), kDefaultsIni);

    // Every point for the first allocations, then evenly spread.
    const long step = std::max(1L, total / 150);
    int runs = 0;
    for (bool persistent : {false, true}) {
        for (long n = 0; n <= total; n += n < 50 ? 1 : step) {
            failing_new::FailAfter(n, persistent);
            const bool contained = RunProgram(exePath);
            failing_new::Disarm();
            ASSERT_TRUE(contained) << "allocation " << n << " of " << total;
            ASSERT_EQ(testing_support::ReadBytes(ini), kDefaultsIni) << "allocation " << n;
            ++runs;
        }
    }
    std::printf("%ld allocations in one run; %d runs with failures\n", total, runs);
}

}  // namespace
