#include "layers/settings_file.h"

#include <exception>

#include "ini/ini_store.h"
#include "ini/text_number.h"
#include "layers/layer_options.h"

LoadedSettings LoadLayerSettings(platform::FileSystem& fs, const std::string& iniPath) {
    LoadedSettings loaded;
    loaded.values = DefaultLayerSettings();
    try {
        CIniStore store(fs, iniPath);
        if (store.Load(&loaded.reason)) {
            loaded.state = SettingsFileState::kRead;
        } else if (fs.Exists(iniPath)) {
            loaded.state = SettingsFileState::kUnreadable;
        }
        size_t i = 0;
        for (const LayerOption& option : LayerOptions()) {
            const std::string text = store.GetString(option.section, option.key);
            loaded.fromFile[i++] = !text.empty();
            loaded.values.*option.field = text.empty() ? option.defaultValue : TextToInt(text);
        }
    } catch (const std::exception&) {
        // Out of memory while looking the values up: as for an unreadable file.
        loaded.values = DefaultLayerSettings();
        loaded.fromFile.fill(false);
        loaded.state = SettingsFileState::kUnreadable;
        loaded.reason = "not enough memory";
    }
    return loaded;
}

bool SaveLayerSettings(platform::FileSystem& fs, const std::string& iniPath,
                       const LayerSettings& settings, std::string* reason, std::string* bytes) {
    try {
        CIniStore store(fs, iniPath);
        for (const LayerOption& option : LayerOptions()) {
            store.SetInt(option.section, option.key, settings.*option.field, true);
        }
        if (bytes != nullptr) {
            *bytes = store.Serialize();
        }
        return store.Save(reason);
    } catch (const std::exception&) {
        *reason = "Not enough memory to write ini file.";  // the old file stays
        return false;
    }
}
