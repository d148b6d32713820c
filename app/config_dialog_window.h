#pragma once

#include <string>

#include "platform/shell.h"

// What the main dialog's logic needs from its window. The Windows dialog
// implements it; tests use a recording fake.
class ConfigDialogWindow {
  public:
    virtual ~ConfigDialogWindow() = default;

    // The window's own system menu, unchanged: is there one?
    virtual bool HasSystemMenu() = 0;
    virtual void AppendSystemMenuSeparator() = 0;
    virtual void AppendSystemMenuItem(unsigned command, const std::string& text) = 0;
    // A string of the program's resources; empty when it is missing.
    virtual std::string LoadResourceString(unsigned id) = 0;
    // Make the dialog's icon the window's big, then its small icon.
    virtual void SetBigIcon() = 0;
    virtual void SetSmallIcon() = 0;

    // Check box marks: 0 clear, 1 ticked.
    virtual int GetCheck(int controlId) = 0;
    virtual void SetCheck(int controlId, bool ticked) = 0;
    // Enables or disables a control; its mark stays.
    virtual void EnableControl(int controlId, bool enabled) = 0;

    // Ends the modal run with the result.
    virtual void EndDialog(int result) = 0;
    // A message box owned by the dialog.
    virtual void ShowMessage(const std::string& text, const std::string& caption,
                             unsigned style) = 0;
    // The window, as the owner of the shell's copy.
    virtual platform::WindowHandle Handle() = 0;
};
