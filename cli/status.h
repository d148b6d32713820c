#pragma once

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>
#include <vector>

#include "host/host_names.h"
#include "survey/install_status.h"

// The status for people, and as JSON: texts in UTF-8; for people, paths as
// the host names them.
void PrintStatus(const InstallStatus& status, host::HostNames& names, std::ostream& out);
nlohmann::json StatusJson(const InstallStatus& status, host::HostNames& names);
