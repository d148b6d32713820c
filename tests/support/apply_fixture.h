#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fileops/activity_log.h"
#include "fileops/file_actions.h"
#include "paths/install_layout.h"
#include "tests/support/test_support.h"
#include "tools/sample_install.h"

// A sample install in a temporary folder, its layout as the program derives
// it, and a log to apply into.
class ApplyFixture : public ::testing::Test {
  protected:
    void SetUp() override;

    FileActionContext Context() { return FileActionContext{layout, HostFiles(), log, nullptr}; }

    // The log's lines, each without its "\n".
    std::vector<std::string> LogLines() const;

    // The lines an apply should log, one per action: each letter of `outcomes`
    // says what became of the plan's next file (C copied, F copy failed,
    // D deleted, d delete failed; blanks are left out). Written out from
    // the log's line forms.
    std::vector<std::string> ExpectedLog(std::string outcomes) const;
    // The same lines as log.txt holds them, each ended by CR LF.
    std::string ExpectedLogFile(const std::string& outcomes) const;

    // Names in an area's Scenery folder, sorted; each must equal its Cache copy.
    std::vector<std::string> SceneryFiles(PriorityArea area) const;

    TempDir temp;
    sample::Install install;
    InstallLayout layout;
    ActivityLog log;
};
