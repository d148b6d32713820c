#pragma once

#include <filesystem>
#include <string>

namespace e2e {

// The program under test, from TOLVANE_PROGRAM (a host path is accepted and
// shown on drive Z:, as Wine maps it). Empty when not set.
std::filesystem::path ProgramUnderTest();

// Starts the program with the command-line tail and waits up to
// timeoutMs for it to end. Returns its exit code, or -1 when it could not
// be started or did not end in time (it is then killed).
int RunProgram(const std::filesystem::path& exe, const std::string& tail, unsigned timeoutMs);

}  // namespace e2e
