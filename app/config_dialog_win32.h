#pragma once

#include <string>

#include "app/config_dialog.h"
#include "app/config_dialog_window.h"
#include "dialog/modal_dialog.h"

// The main dialog as a Windows dialog: template 102. Its initialisation,
// clicks and apply go to CConfigDlg, which reaches the window through
// ConfigDialogWindow; painting while minimised, the drag icon and the
// system commands are handled here.
class ConfigDialogWin32 : public dialog::ModalDialog, public ConfigDialogWindow {
  public:
    ConfigDialogWin32(HINSTANCE instance, platform::FileSystem& fs, std::string exePath);

    // The logic, whose uninstall flag start-up sets before the modal run.
    CConfigDlg& Logic() { return logic_; }

    bool HasSystemMenu() override;
    void AppendSystemMenuSeparator() override;
    void AppendSystemMenuItem(unsigned command, const std::string& text) override;
    std::string LoadResourceString(unsigned id) override;
    void SetBigIcon() override;
    void SetSmallIcon() override;
    int GetCheck(int controlId) override;
    void SetCheck(int controlId, bool ticked) override;
    void EnableControl(int controlId, bool enabled) override;
    void EndDialog(int result) override;
    void ShowMessage(const std::string& text, const std::string& caption, unsigned style) override;
    platform::WindowHandle Handle() override;

  protected:
    // Restore mode ends the dialog during its initialisation.
    bool StartsHidden() const override { return logic_.m_nUninstall == 1; }
    BOOL OnInitDialog() override;
    void OnCommand(int id, int notification) override;
    bool OnSysCommand(UINT id, LPARAM param) override;
    bool OnPaint() override;
    HICON OnQueryDragIcon() override { return icon_; }

  private:
    HICON icon_;
    CConfigDlg logic_;
};
