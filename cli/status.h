#pragma once

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>
#include <vector>

#include "survey/install_status.h"
#include "platform/host_names.h"

// The status for people, and as JSON: texts in UTF-8; for people, paths as
// the host names them.
void PrintStatus(const InstallStatus& status, platform::HostNames& names, std::ostream& out);
nlohmann::json StatusJson(const InstallStatus& status, platform::HostNames& names);
