#pragma once

#include <string>
#include <vector>

#include "layers/layer_options.h"

// An option as the settings file gives it: its value, and whether the file
// held it (a non-empty value) or it is the option's default.
struct LoadedOption {
    const LayerOption* option;
    int value;
    bool fromFile;
};

// The eleven options in the settings file's order, read as
// LoadLayerSettings reads them.
std::vector<LoadedOption> LoadOptionsWithSources(const std::string& iniPath);
