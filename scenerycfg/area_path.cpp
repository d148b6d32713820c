#include "scenerycfg/area_path.h"

#include "paths/path_spec.h"

std::string WithoutTrailingBackslashes(std::string text) {
    while (!text.empty() && text.back() == '\\') {
        text.pop_back();
    }
    return text;
}

std::string ResolveAreaPath(const std::string& fsRoot, const std::string& local) {
    CPathSpec spec;
    spec.Parse(local);
    if (spec.Rebuild().empty()) {
        return std::string();  // refused by the parser: no folder to resolve
    }
    return WithoutTrailingBackslashes(spec.IsRelative() ? spec.MakeAbsolute(fsRoot) : local);
}
