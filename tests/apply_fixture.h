#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/install_layout.h"
#include "fileops/activity_log.h"
#include "fileops/file_actions.h"
#include "tests/test_support.h"
#include "tools/sample_install.h"

// A sample install in a temporary folder, its layout as the program derives
// it, and a log to apply into.
class ApplyFixture : public ::testing::Test {
  protected:
    void SetUp() override;

    FileActionContext Context() { return FileActionContext{layout, log, nullptr}; }

    // The log's lines, each without its "\n".
    std::vector<std::string> LogLines() const;

    // The expected log lines, written out from the line formats.
    std::string CopiedLine(PriorityArea area, const std::string& name) const;
    std::string CopyFailedLine(PriorityArea area, const std::string& name) const;
    std::string DeletedLine(PriorityArea area, const std::string& name) const;

    // Names in an area's Scenery folder, sorted; each must equal its Cache copy.
    std::vector<std::string> SceneryFiles(PriorityArea area) const;

    testing_support::TempDir temp;
    sample::Install install;
    InstallLayout layout;
    ActivityLog log;
};
