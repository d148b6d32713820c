#include "layers/settings_sources.h"

#include "ini/ini_store.h"
#include "ini/text_number.h"

std::vector<LoadedOption> LoadOptionsWithSources(const std::string& iniPath) {
    CIniStore store(iniPath);
    store.Load();
    std::vector<LoadedOption> options;
    for (const LayerOption& option : LayerOptions()) {
        const std::string text = store.GetString(option.section, option.key);
        options.push_back(
            {&option, text.empty() ? option.defaultValue : TextToInt(text), !text.empty()});
    }
    return options;
}
