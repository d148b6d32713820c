#pragma once

#include <array>

#include "layers/layer_settings.h"

// One option: where it is kept in the settings file, its first-start value
// and the field it fills.
struct LayerOption {
    const char* section;
    const char* key;
    int defaultValue;
    int LayerSettings::*field;
};

// The eleven options in the settings file's order.
const std::array<LayerOption, 11>& LayerOptions();
