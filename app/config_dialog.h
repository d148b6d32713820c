#pragma once

#include <string>
#include <utility>

#include "app/config_dialog_window.h"
#include "fileops/activity_log.h"
#include "layers/layer_settings.h"
#include "paths/install_layout.h"
#include "platform/file_system.h"

// The main dialog's logic: its data exchange, the enable rule, and the
// initialisation and apply sequences. It reaches its window only through
// ConfigDialogWindow; painting, the drag icon and the system commands are
// the Windows dialog's own business.
class CConfigDlg {
  public:
    // fs: the files the dialog works on; exePath: where the program lies.
    CConfigDlg(ConfigDialogWindow& window, platform::FileSystem& fs, std::string exePath);

    // Opens the dialog: system menu, icons, layout, then either the restore
    // (ends the dialog, returns false) or settings, enable rule, scan (true:
    // the focus goes to the first tab stop).
    bool OnInitDialog();
    // The Ultimate Terrain master box was clicked (it has toggled itself).
    void OnUtClicked();
    // "Apply settings and exit": save, apply the layer plan, write the log, end.
    void OnOK();
    // Leaving without applying: nothing is written.
    void OnCancel();

    // Moves the eleven marks between the check boxes and the settings.
    void UpdateData(bool fromControls);

    int m_nUninstall = 0;  // 1: restore mode (-u); the dialog then never shows
    LayerSettings m_settings;
    InstallLayout m_layout;
    ActivityLog m_log;

  private:
    bool Initialise();
    void ApplyEnableRule();

    ConfigDialogWindow& m_window;
    platform::FileSystem& m_fileSystem;
    std::string m_strExePath;
};

// Whether a system command opens the About box (the system keeps the low
// four bits of a command for itself).
bool OpensAboutBox(unsigned command);

// Where the icon goes in a minimised window: centred, as signed integer
// division rounds (towards zero).
std::pair<int, int> CentredIconOrigin(int clientWidth, int clientHeight, int iconWidth,
                                      int iconHeight);
