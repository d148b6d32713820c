#pragma once

#include <string>

#include "platform/code_page.h"

// The absolute folder of a scenery area, without trailing backslash, from
// its Local value (which arrives ending in exactly one backslash): a
// relative Local is joined to the simulator root and canonicalised; any
// other is taken as written. Empty text when a relative Local cannot be
// made absolute, when the parser refuses Local (too long), when Local is
// made only of slashes and backslashes, or when it holds a NUL byte.
std::string ResolveAreaPath(const std::string& fsRoot, const std::string& local,
                            const platform::CodePage& codePage);
