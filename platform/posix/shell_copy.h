#pragma once

#include <string>

namespace platform {

// Stands in for the Windows shell's copy of one file, as the program relies
// on it: the destination's missing folders are made, an existing
// destination is replaced silently, the copy is complete before the call
// returns, and a failure leaves the destination as it was. Host paths;
// false, with the system's reason.
bool CopyOneFile(const std::string& hostSource, const std::string& hostTarget, std::string* reason);

}  // namespace platform
