#include "platform/win32/modal_dialog.h"

namespace platform {

INT_PTR ModalDialog::DoModal(HWND owner) {
    return DialogBoxParamA(instance_, MAKEINTRESOURCEA(templateId_), owner, &DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

void ModalDialog::OnCommand(int id, int) {
    if (id == IDOK || id == IDCANCEL) {
        End(id);
    }
}

void ModalDialog::End(int result) {
    ended_ = true;
    EndDialog(hwnd_, result);
}

INT_PTR CALLBACK ModalDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<ModalDialog*>(lParam);
        dialog->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
    }
    auto* dialog = reinterpret_cast<ModalDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    return dialog == nullptr ? FALSE : dialog->Dispatch(message, wParam, lParam);
}

INT_PTR ModalDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_SYSCOMMAND:
            return OnSysCommand(static_cast<UINT>(wParam), lParam) ? TRUE : FALSE;
        case WM_PAINT:
            return OnPaint() ? TRUE : FALSE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(OnQueryDragIcon());
        case WM_WINDOWPOSCHANGING:
            // Some systems show a dialog built with WS_VISIBLE after its
            // initialisation even when that has already ended it.
            if (ended_) {
                reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace platform
