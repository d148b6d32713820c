#pragma once

#include <string>

#include "scenerycfg/conflict_pass.h"

// Until the main dialog exists the program works straight away: it derives
// the layout from the executable's own path and then either restores the
// conflicting files (tail "-u") or runs the conflict scan and applies the
// saved choices (or the first-start ones): load and save the settings file,
// run the layer plan, write log.txt. Returns the process exit code; *error
// says why when it is not 0.
int RunInterimProgram(const std::string& exePath, const std::string& tail,
                      const ShowMessageFn& showMessage, std::string* error);
