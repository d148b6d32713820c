#pragma once

#include <string>

// This process, as the system knows it.
namespace platform {

// This process's number, as the system counts processes.
unsigned long CurrentProcessId();

// The running executable's whole path as the host names it (no length
// limit); false when the system cannot tell.
bool ExecutablePath(std::string* path);

// Makes a write to a pipe whose reader has gone fail with an error instead
// of ending the process (posix); nothing to do on Windows.
void IgnoreBrokenPipes();

}  // namespace platform
