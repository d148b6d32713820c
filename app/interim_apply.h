#pragma once

#include <string>

// Until the main dialog exists the program applies the saved choices (or the
// first-start ones) straight away: derive the layout from the executable's
// own path, load and save the settings file, run the layer plan and write
// log.txt. Returns the process exit code; *error says
// why when it is not 0.
int RunInterimApply(const std::string& exePath, std::string* error);
