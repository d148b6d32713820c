#include "layers/apply.h"

#include "layers/settings_file.h"

ApplyReport ApplySettings(const InstallLayout& layout, const LayerSettings& settings,
                          platform::FileSystem& fs, ActivityLog& log,
                          platform::WindowHandle owner) {
    ApplyReport report;
    report.settingsSaved = SaveLayerSettings(fs, layout.iniPath, settings, &report.settingsReason,
                                             &report.settingsBytes);
    ClearActivityLog(log);
    report.actions = ApplyLayerPlan(settings, FileActionContext{layout, fs, log, owner});
    report.leftovers = RemoveLeftovers(fs, layout);
    report.logWritten = WriteActivityLog(fs, log, layout.logPath, &report.logReason);
    return report;
}
