#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "host/host_names.h"
#include "survey/install_status.h"

// What the status warns of before the simulator surprises the user: each
// finding with its stable key, one line on what stands, the details, what
// it means and what to do. Only those a tree has are made.
struct Finding {
    std::string key;
    bool needsAction = false;
    std::string summary;
    std::vector<std::string> lines;
    std::string meaning;
    std::string action;
    nlohmann::json details;
};

// How a finding names paths: for people (the host's names) or for JSON
// (Windows form); texts in UTF-8 either way.
enum class PathStyle { kShown, kWindows };

std::vector<Finding> StatusFindings(const InstallStatus& status, host::HostNames& names,
                                    PathStyle style);

void PrintFindings(const std::vector<Finding>& findings, std::ostream& out);
nlohmann::json FindingsJson(const std::vector<Finding>& findings);

// A time as "2026-12-08 06:02:10 UTC", or with iso as "2026-12-08T06:02:10Z".
std::string UtcText(std::int64_t seconds, bool iso);
