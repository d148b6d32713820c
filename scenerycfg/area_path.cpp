#include "scenerycfg/area_path.h"

#include "paths/path_spec.h"
#include "paths/path_text.h"

std::string ResolveAreaPath(const std::string& fsRoot, const std::string& local,
                            const platform::CodePage& codePage) {
    // Nothing but separators names no folder ("/\\" would become the network
    // path \\scenery\... on Windows); a NUL byte would cut the path short.
    if (local.find_first_not_of("\\/") == std::string::npos ||
        local.find('\0') != std::string::npos) {
        return std::string();
    }
    CPathSpec spec(codePage);
    spec.Parse(local);
    if (spec.Rebuild().empty()) {
        return std::string();  // refused by the parser: no folder to resolve
    }
    return WithoutTrailingBackslashes(spec.IsRelative() ? spec.MakeAbsolute(fsRoot) : local,
                                      codePage);
}
