#pragma once

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

#include "cli/tolvane.h"
#include "tests/support/apply_fixture.h"

// The command-line program on the sample install, run in-process as its
// main runs it.
struct CliOutcome {
    int code;
    std::string out, err;
};

class CliFixture : public ApplyFixture {
  protected:
    CliOutcome Tolvane(std::vector<std::string> args) {
        args.insert(args.begin(), {"--package", install.package.string()});
        std::ostringstream out, err;
        const int code = RunTolvane(args, "", out, err);
        return {code, out.str(), err.str()};
    }

    nlohmann::json Json(std::vector<std::string> args, int expectedCode) {
        args.push_back("--json");
        const CliOutcome run = Tolvane(args);
        EXPECT_EQ(run.code, expectedCode) << args[0] << "\n" << run.out << run.err;
        return nlohmann::json::parse(run.out);
    }
};
