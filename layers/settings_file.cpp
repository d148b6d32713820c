#include "layers/settings_file.h"

#include "ini/ini_store.h"
#include "layers/layer_options.h"

LayerSettings LoadLayerSettings(const std::string& iniPath) {
    CIniStore store(iniPath);
    store.Load();
    LayerSettings settings;
    for (const LayerOption& option : LayerOptions()) {
        settings.*option.field = store.GetInt(option.section, option.key, option.defaultValue);
    }
    return settings;
}

void SaveLayerSettings(const std::string& iniPath, const LayerSettings& settings) {
    CIniStore store(iniPath);
    for (const LayerOption& option : LayerOptions()) {
        store.SetInt(option.section, option.key, settings.*option.field, true);
    }
    store.Save();
}
