#pragma once

#include <string>

// What follows the program name on a command line, as the C runtime hands
// it to WinMain: a quoted program name ends at its closing quote, an
// unquoted one at the first blank, and the blanks after it are skipped.
std::string CommandLineTail(const std::string& commandLine);

// Restore mode is selected by a tail of exactly "-u", byte for byte.
bool IsRestoreTail(const std::string& tail);
