#pragma once

#include <string>

namespace platform {

// Stands in for the Windows shell's copy of one file, as the program relies
// on it: the destination's missing folders are made, an existing
// destination is replaced silently, the copy is complete before the call
// returns, and a failure leaves the destination as it was. Host paths; the
// shell's result: 0, kShellErrorFileNotFound or kShellErrorUnknown.
int CopyOneFile(const std::string& hostSource, const std::string& hostTarget);

}  // namespace platform
