#include "layers/settings_file.h"

#include <exception>

#include "ini/ini_store.h"
#include "layers/layer_options.h"

LayerSettings LoadLayerSettings(const std::string& iniPath) {
    try {
        CIniStore store(iniPath);
        store.Load();
        LayerSettings settings;
        for (const LayerOption& option : LayerOptions()) {
            settings.*option.field = store.GetInt(option.section, option.key, option.defaultValue);
        }
        return settings;
    } catch (const std::exception&) {
        // Out of memory while looking the values up: as for an unreadable file.
        return DefaultLayerSettings();
    }
}

void SaveLayerSettings(const std::string& iniPath, const LayerSettings& settings) {
    try {
        CIniStore store(iniPath);
        for (const LayerOption& option : LayerOptions()) {
            store.SetInt(option.section, option.key, settings.*option.field, true);
        }
        store.Save();
    } catch (const std::exception&) {
        // Out of memory before anything was written: the old file stays.
    }
}
