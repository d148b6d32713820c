#include "layers/layer_options.h"

const std::array<LayerOption, 11>& LayerOptions() {
    static const std::array<LayerOption, 11> options = {{
        {"UTCAN", "UT", 0, &LayerSettings::UT},
        {"UTCAN", "GolfCourses", 0, &LayerSettings::GolfCourses},
        {"UTCAN", "Parks", 0, &LayerSettings::Parks},
        {"UTCAN", "MinorRoads", 0, &LayerSettings::MinorRoads},
        {"UTCAN", "MajorRoads", 1, &LayerSettings::MajorRoads},
        {"UTCAN", "Cemetaries", 0, &LayerSettings::Cemetaries},
        {"UTCAN", "Railroads", 0, &LayerSettings::Railroads},
        {"AI", "Helos", 1, &LayerSettings::Helos},
        {"AI", "Ships", 1, &LayerSettings::Ships},
        {"AI", "Floats", 1, &LayerSettings::Floats},
        {"AI", "Boats", 1, &LayerSettings::Boats},
    }};
    return options;
}

LayerSettings DefaultLayerSettings() {
    LayerSettings settings;
    for (const LayerOption& option : LayerOptions()) {
        settings.*option.field = option.defaultValue;
    }
    return settings;
}
