#pragma once

#include <windows.h>

namespace dialog {

// A modal dialog built from a resource template. The dialog procedure keeps
// the object in the window and hands each message to a small handler; a
// handler that returns false leaves the message to the system's default
// dialog handling.
class ModalDialog {
  public:
    ModalDialog(HINSTANCE instance, int templateId)
        : instance_(instance), templateId_(templateId) {}
    virtual ~ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // Runs the dialog until it ends; its result, or -1 when it cannot be
    // created.
    INT_PTR DoModal(HWND owner);

  protected:
    // True for a dialog that ends during its initialisation: it is then
    // built without WS_VISIBLE, so that no system shows it on the way.
    // (Windows never shows such a dialog; Wine shows a template's
    // WS_VISIBLE dialog after the initialisation whatever it did.)
    virtual bool StartsHidden() const { return false; }
    // TRUE lets the system put the focus on the first tab stop.
    virtual BOOL OnInitDialog() { return TRUE; }
    // OK and Cancel end the dialog with their own numbers unless overridden.
    virtual void OnCommand(int id, int notification);
    virtual bool OnSysCommand(UINT, LPARAM) { return false; }
    virtual bool OnPaint() { return false; }
    virtual HICON OnQueryDragIcon() { return nullptr; }

    HWND Hwnd() const { return hwnd_; }
    HINSTANCE Instance() const { return instance_; }

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_;
    int templateId_;
    HWND hwnd_ = nullptr;
};

}  // namespace dialog
