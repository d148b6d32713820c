// Runs the program's core as the window drives it (start-up, apply, and a
// restore) with an allocation failing at each point in turn, once or for
// good, as on a machine out of memory. No exception may leave the core,
// the settings file is never left half-written, and no file or folder is
// left open.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/config_dialog.h"
#include "tests/faults/failing_new.h"
#include "tests/support/fake_dialog_window.h"
#include "tests/support/open_handles.h"
#include "tests/support/test_support.h"
#include "tools/sample_install.h"

namespace {

const char* const kDefaultsIni =
    "[UTCAN]\r\nUT=0\r\nGolfCourses=0\r\nParks=0\r\nMinorRoads=0\r\nMajorRoads=1\r\n"
    "Cemetaries=0\r\nRailroads=0\r\n\r\n[AI]\r\nHelos=1\r\nShips=1\r\nFloats=1\r\nBoats=1\r\n\r\n";

// One start that applies, and one restore, with allocation `failAt`
// failing (-1: none); false when an exception left the core.
bool RunProgram(const std::string& exePath, long failAt, bool persistent, long* made = nullptr) {
    FakeDialogWindow window, restoreWindow;
    CConfigDlg dialog(window, HostFiles(), exePath);
    CConfigDlg restore(restoreWindow, HostFiles(), exePath);
    restore.m_nUninstall = 1;
    bool contained = true;
    failing_new::FailAfter(failAt, persistent);
    try {
        if (dialog.OnInitDialog()) {
            dialog.OnOK();
        }
        restore.OnInitDialog();
    } catch (...) {
        contained = false;
    }
    if (made != nullptr) {
        *made = failing_new::Made();
    }
    failing_new::Disarm();
    return contained;
}

TEST(AllocationFailureTest, NoFailureEscapesTheCoreOrHalfWritesTheSettingsOrLeavesAFileOpen) {
    TempDir temp;
    sample::Install install;
    std::string error;
    ASSERT_TRUE(sample::MakeInstall(temp.Path() / "FS9", sample::Options{}, &install, &error));
    const std::string exePath = WinPath(install.package / "TolvaneConfig.exe");
    const std::filesystem::path ini = install.package / "TolvaneConfig.ini";

    long total = 0;
    ASSERT_TRUE(RunProgram(exePath, -1, false, &total));
    ASSERT_EQ(ReadBytes(ini), kDefaultsIni);
    const std::size_t handles = OpenHandleCount();

    // Every point for the first allocations, then evenly spread.
    const long step = std::max(1L, total / 150);
    int runs = 0;
    for (bool persistent : {false, true}) {
        for (long n = 0; n <= total; n += n < 50 ? 1 : step) {
            ASSERT_TRUE(RunProgram(exePath, n, persistent))
                << "allocation " << n << " of " << total;
            ASSERT_EQ(ReadBytes(ini), kDefaultsIni) << "allocation " << n;
            ASSERT_EQ(OpenHandleCount(), handles) << "allocation " << n;
            ++runs;
        }
    }
    std::printf("%ld allocations in one run; %d runs with failures\n", total, runs);
}

}  // namespace
