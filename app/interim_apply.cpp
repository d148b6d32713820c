#include "app/interim_apply.h"

#include "app/command_line.h"
#include "app/install_layout.h"
#include "fileops/activity_log.h"
#include "fileops/file_actions.h"
#include "layers/layer_plan.h"
#include "layers/settings_file.h"

int RunInterimProgram(const std::string& exePath, const std::string& tail,
                      const ShowMessageFn& showMessage, std::string* error) {
    InstallLayout layout;
    if (!DeriveInstallLayout(exePath, &layout, error)) {
        return 1;
    }
    if (IsRestoreTail(tail)) {
        ConflictRestore(layout.fsRoot, showMessage);
        return 0;
    }
    ConflictScan(layout.fsRoot, showMessage);
    LayerSettings settings = LoadLayerSettings(layout.iniPath);
    SaveLayerSettings(layout.iniPath, settings);
    ActivityLog log;
    ClearActivityLog(log);
    ApplyLayerPlan(settings, FileActionContext{layout, log, nullptr});
    WriteActivityLog(log, layout.logPath);
    return 0;
}
