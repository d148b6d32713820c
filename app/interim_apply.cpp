#include "app/interim_apply.h"

#include "app/install_layout.h"
#include "fileops/activity_log.h"
#include "fileops/file_actions.h"
#include "layers/layer_plan.h"
#include "layers/settings_file.h"

int RunInterimApply(const std::string& exePath, std::string* error) {
    InstallLayout layout;
    if (!DeriveInstallLayout(exePath, &layout, error)) {
        return 1;
    }
    LayerSettings settings = LoadLayerSettings(layout.iniPath);
    SaveLayerSettings(layout.iniPath, settings);
    ActivityLog log;
    ClearActivityLog(log);
    ApplyLayerPlan(settings, FileActionContext{layout, log, nullptr});
    WriteActivityLog(log, layout.logPath);
    return 0;
}
