#include "platform/shell.h"

#include <vector>

namespace platform {

namespace {

// The paths of a double-NUL-terminated list, as written.
std::vector<std::string> SplitPathBuffer(const char* buffer) {
    std::vector<std::string> paths;
    while (buffer != nullptr && *buffer != '\0') {
        paths.emplace_back(buffer);
        buffer += paths.back().size() + 1;
    }
    return paths;
}

}  // namespace

bool OneFileCopyOf(const ShellFileOpRequest& request, std::string* source,
                   std::string* destination) {
    const std::vector<std::string> sources = SplitPathBuffer(request.pFrom);
    const std::vector<std::string> destinations = SplitPathBuffer(request.pTo);
    if (request.wFunc != kFoCopy || sources.size() != 1 || destinations.size() != 1 ||
        (request.fFlags & kFofMultiDestFiles) != 0) {
        return false;
    }
    *source = sources[0];
    *destination = destinations[0];
    return true;
}

}  // namespace platform
