#pragma once

#include <string>

namespace platform {

// Copies a regular file's bytes and permission bits to target, replacing an
// existing target only once the copy is complete. On failure the target is
// left as it was and no partial file remains.
bool CopyFileReplacing(const std::string& source, const std::string& target);

}  // namespace platform
