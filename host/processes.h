#pragma once

#include <string>
#include <vector>

namespace host {

// The ids of the running processes whose program is imageName (a file
// name, compared as Windows compares names), this process left out, in
// ascending order.
// Windows: the system's process list (under Wine, the processes of Wine's
// prefix). Posix: the Wine processes of that Windows program whose prefix
// is winePrefix (of any prefix when it is empty), and native programs of
// that file name; processes that have ended but not been reaped are left
// out.
std::vector<unsigned long> ProcessesNamed(const std::string& imageName,
                                          const std::string& winePrefix);

}  // namespace host
