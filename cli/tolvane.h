#pragma once

#include <ostream>
#include <string>
#include <vector>

// The command-line program tolvane: what is on disk, previews of every
// change, and scripted applies, scans and restores. Runs one command line
// (the arguments after the program's name) and returns its exit code: 0,
// 1 (status: an apply or a scan would change something; scan and restore:
// a rename failed) or 2 (an error). exePath is where the program lies: its
// folder is the package folder unless --package names one.
int RunTolvane(const std::vector<std::string>& args, const std::string& exePath, std::ostream& out,
               std::ostream& err);
