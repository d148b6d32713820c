#include "app/config_dialog_win32.h"

#include <utility>

#include "app/about_box_win32.h"
#include "res/resource.h"

ConfigDialogWin32::ConfigDialogWin32(HINSTANCE instance, platform::FileSystem& fs,
                                     std::string exePath)
    : ModalDialog(instance, IDD_TOLVANECONFIG_DIALOG),
      icon_(LoadIconA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME))),
      logic_(*this, fs, std::move(exePath)) {}

BOOL ConfigDialogWin32::OnInitDialog() {
    return logic_.OnInitDialog() ? TRUE : FALSE;
}

void ConfigDialogWin32::OnCommand(int id, int notification) {
    if (id == IDOK) {
        logic_.OnOK();
    } else if (id == IDCANCEL) {
        logic_.OnCancel();
    } else if (id == IDC_UT && notification == BN_CLICKED) {
        logic_.OnUtClicked();
    }
}

bool ConfigDialogWin32::OnSysCommand(UINT id, LPARAM) {
    if (!OpensAboutBox(id)) {
        return false;  // the system's own command
    }
    CAboutBox about(Instance());
    about.DoModal(Hwnd());
    return true;
}

bool ConfigDialogWin32::OnPaint() {
    if (!IsIconic(Hwnd())) {
        return false;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Hwnd(), &paint);
    SendMessageA(Hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(Hwnd(), &client);
    auto [x, y] = CentredIconOrigin(client.right - client.left, client.bottom - client.top,
                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    DrawIcon(dc, x, y, icon_);
    EndPaint(Hwnd(), &paint);
    return true;
}

bool ConfigDialogWin32::HasSystemMenu() {
    return GetSystemMenu(Hwnd(), FALSE) != nullptr;
}

void ConfigDialogWin32::AppendSystemMenuSeparator() {
    AppendMenuA(GetSystemMenu(Hwnd(), FALSE), MF_SEPARATOR, 0, nullptr);
}

void ConfigDialogWin32::AppendSystemMenuItem(unsigned command, const std::string& text) {
    AppendMenuA(GetSystemMenu(Hwnd(), FALSE), MF_STRING, command, text.c_str());
}

std::string ConfigDialogWin32::LoadResourceString(unsigned id) {
    char text[512];
    int length = LoadStringA(Instance(), id, text, sizeof text);
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

void ConfigDialogWin32::SetBigIcon() {
    SendMessageA(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
}

void ConfigDialogWin32::SetSmallIcon() {
    SendMessageA(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
}

int ConfigDialogWin32::GetCheck(int controlId) {
    return IsDlgButtonChecked(Hwnd(), controlId) == BST_CHECKED ? 1 : 0;
}

void ConfigDialogWin32::SetCheck(int controlId, bool ticked) {
    CheckDlgButton(Hwnd(), controlId, ticked ? BST_CHECKED : BST_UNCHECKED);
}

void ConfigDialogWin32::EnableControl(int controlId, bool enabled) {
    EnableWindow(GetDlgItem(Hwnd(), controlId), enabled ? TRUE : FALSE);
}

void ConfigDialogWin32::EndDialog(int result) {
    ::EndDialog(Hwnd(), result);
}

void ConfigDialogWin32::ShowMessage(const std::string& text, const std::string& caption,
                                    unsigned style) {
    MessageBoxA(Hwnd(), text.c_str(), caption.c_str(), style);
}

platform::WindowHandle ConfigDialogWin32::Handle() {
    return Hwnd();
}
