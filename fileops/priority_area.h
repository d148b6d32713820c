#pragma once

#include <string>

// The package's two scenery areas; each has a Cache and a Scenery folder.
enum class PriorityArea { Higher, Lower };

// The Cache folder (master copies) and the Scenery folder (read by the
// simulator) of both areas, each ending in a backslash.
struct AreaFolders {
    std::string higherCache;
    std::string higherScenery;
    std::string lowerCache;
    std::string lowerScenery;

    const std::string& Cache(PriorityArea area) const {
        return area == PriorityArea::Higher ? higherCache : lowerCache;
    }
    const std::string& Scenery(PriorityArea area) const {
        return area == PriorityArea::Higher ? higherScenery : lowerScenery;
    }
};
