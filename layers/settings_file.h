#pragma once

#include <string>

#include "layers/layer_settings.h"

// Reads the options from the settings file; every option the file does not
// supply (no file, no section, no key, an empty value) takes its default.
LayerSettings LoadLayerSettings(const std::string& iniPath);

// Replaces the settings file with sections UTCAN and AI holding the eleven
// options in order. Anything else the file held is dropped. A failed write
// leaves the old file whole; nothing is reported.
void SaveLayerSettings(const std::string& iniPath, const LayerSettings& settings);
