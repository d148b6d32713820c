#pragma once

#include <string>

#include "app/config_dialog.h"
#include "app/config_dialog_window.h"
#include "platform/win32/modal_dialog.h"

// The main dialog as a Windows dialog: template 102, its messages handed to
// CConfigDlg, which reaches the window through ConfigDialogWindow.
class ConfigDialogWin32 : public platform::ModalDialog, public ConfigDialogWindow {
  public:
    ConfigDialogWin32(HINSTANCE instance, std::string exePath);

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
    void RunAboutBox() override;
    void DefaultHandling() override;
    bool IsIconic() override;
    void PaintMinimisedIcon() override;
    void* Icon() override;
    platform::WindowHandle Handle() override;

  protected:
    BOOL OnInitDialog() override;
    void OnCommand(int id, int notification) override;
    bool OnSysCommand(UINT id, LPARAM param) override;
    bool OnPaint() override;
    HICON OnQueryDragIcon() override;

  private:
    HICON icon_;
    CConfigDlg logic_;
    bool defaultRequested_ = false;
};
