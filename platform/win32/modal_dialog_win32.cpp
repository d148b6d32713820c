#include "platform/win32/modal_dialog.h"

namespace platform {

INT_PTR ModalDialog::DoModal(HWND owner) {
    return DialogBoxParamA(instance_, MAKEINTRESOURCEA(templateId_), owner, &DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

void ModalDialog::OnCommand(int id, int) {
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(hwnd_, id);
    }
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
        default:
            return FALSE;
    }
}

}  // namespace platform
