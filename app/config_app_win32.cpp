#include "app/config_app_win32.h"

#include <commctrl.h>

#include "app/command_line.h"
#include "app/config_dialog_win32.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/win32/windows_files.h"

int CConfigApp::InitInstance() {
    // Stands in for the framework's control containment and 3-D controls:
    // the common controls in the style the manifest asks for.
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                  ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    const std::unique_ptr<platform::FileSystem> files = platform::WindowsFiles();
    std::string exePath;  // none: the dialog finds no package folder and ends
    platform::ExecutablePath(&exePath);
    ConfigDialogWin32 dialog(m_hInstance, *files, exePath);
    if (IsRestoreTail(CommandLineTail(GetCommandLineA()))) {
        dialog.Logic().m_nUninstall = 1;
    }
    dialog.DoModal(nullptr);
    return 0;
}
