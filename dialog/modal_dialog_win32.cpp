#include "dialog/modal_dialog.h"

#include <cstring>
#include <vector>

namespace dialog {

INT_PTR ModalDialog::DoModal(HWND owner) {
    if (!StartsHidden()) {
        return DialogBoxParamA(instance_, MAKEINTRESOURCEA(templateId_), owner, &DialogProc,
                               reinterpret_cast<LPARAM>(this));
    }
    HRSRC found = FindResourceA(instance_, MAKEINTRESOURCEA(templateId_), RT_DIALOG);
    const void* resource =
        found != nullptr ? LockResource(LoadResource(instance_, found)) : nullptr;
    DWORD size = found != nullptr ? SizeofResource(instance_, found) : 0;
    if (resource == nullptr || size < 16) {
        return -1;
    }
    // The style is the first field of a DLGTEMPLATE, the fourth of a
    // DLGTEMPLATEEX (which begins with version 1 and 0xFFFF).
    std::vector<BYTE> copy(static_cast<const BYTE*>(resource),
                           static_cast<const BYTE*>(resource) + size);
    WORD signature = 0;
    std::memcpy(&signature, copy.data() + 2, sizeof signature);
    size_t styleAt = signature == 0xFFFF ? 12 : 0;
    DWORD style = 0;
    std::memcpy(&style, copy.data() + styleAt, sizeof style);
    style &= ~static_cast<DWORD>(WS_VISIBLE);
    std::memcpy(copy.data() + styleAt, &style, sizeof style);
    return DialogBoxIndirectParamA(instance_, reinterpret_cast<LPCDLGTEMPLATEA>(copy.data()), owner,
                                   &DialogProc, reinterpret_cast<LPARAM>(this));
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
    // No C++ exception may unwind through the system's dialog code.
    try {
        return dialog == nullptr ? FALSE : dialog->Dispatch(message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
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

}  // namespace dialog
