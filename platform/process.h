#pragma once

namespace platform {

// Makes a write to a pipe whose reader has gone fail with an error instead
// of ending the process (posix); nothing to do on Windows.
void IgnoreBrokenPipes();

}  // namespace platform
