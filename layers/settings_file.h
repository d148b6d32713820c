#pragma once

#include <array>
#include <string>

#include "layers/layer_settings.h"
#include "platform/file_system.h"

// What the settings file held when it was read.
enum class SettingsFileState {
    kAbsent,      // no settings file: every option takes its default
    kRead,        // read to its end
    kUnreadable,  // there, but it could not be read: every option takes its default
};

// The options as loaded: their values, and for each option (in the order
// of LayerOptions) whether the file gave it (a non-empty value) or it is
// the option's default.
struct LoadedSettings {
    LayerSettings values;
    std::array<bool, 11> fromFile{};
    SettingsFileState state = SettingsFileState::kAbsent;
    std::string reason;  // why an unreadable file could not be read
};

// Reads the options from the settings file; every option the file does not
// supply (no file, no section, no key, an empty value) takes its default.
LoadedSettings LoadLayerSettings(platform::FileSystem& fs, const std::string& iniPath);

// Replaces the settings file with sections UTCAN and AI holding the eleven
// options in order, each as "%d" writes it; the bytes it is given go to
// *bytes when asked for. Anything else the file held is dropped. A failed
// write leaves the old file whole: false, with *reason.
bool SaveLayerSettings(platform::FileSystem& fs, const std::string& iniPath,
                       const LayerSettings& settings, std::string* reason,
                       std::string* bytes = nullptr);
