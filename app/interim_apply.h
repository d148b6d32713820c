#pragma once

#include <string>

// Until the main dialog exists the program applies the first-start choices
// straight away: derive the layout from the executable's own path, run the
// layer plan and write log.txt. Returns the process exit code; *error says
// why when it is not 0.
int RunInterimApply(const std::string& exePath, std::string* error);
