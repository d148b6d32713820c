#include "tools/program_driver.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace driver {

namespace {

// A host path (from the environment) in the form Wine's programs see.
fs::path FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) {
        return {};
    }
    std::string path = value;
    if (!path.empty() && path[0] == '/') {
        std::replace(path.begin(), path.end(), '/', '\\');
        path.insert(0, "Z:");
    }
    return path;
}

// A wait's length, longer where programs run slower than on a machine of
// their own (TOLVANE_TIMEOUT_SCALE: an emulated guest's factor).
unsigned Scaled(unsigned ms) {
    static const unsigned scale = [] {
        const char* value = std::getenv("TOLVANE_TIMEOUT_SCALE");
        const int factor = value != nullptr ? std::atoi(value) : 1;
        return factor > 0 ? static_cast<unsigned>(factor) : 1u;
    }();
    return ms * scale;
}

struct WindowSearch {
    DWORD process;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectVisibleOf(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process && IsWindowVisible(window)) {
        search->found.push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
    return TRUE;
}

std::vector<HWND> TopWindows(DWORD process) {
    WindowSearch search{process, {}};
    EnumWindows(&CollectVisibleOf, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

namespace {

constexpr DWORD kClickGapMs = 250;

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

void WriteLittleEndian(std::ofstream& out, unsigned value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

}  // namespace

fs::path ProgramUnderTest() {
    return FromEnvironment("TOLVANE_PROGRAM");
}

fs::path ArtifactFolder() {
    fs::path folder = FromEnvironment("TOLVANE_ARTIFACTS");
    if (folder.empty()) {
        folder = fs::temp_directory_path();
    }
    std::error_code ec;
    fs::create_directories(folder, ec);
    return folder;
}

bool SaveScreenshot(HWND window, const fs::path& file, unsigned settleMs) {
    if (window != nullptr) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
    }
    Sleep(settleMs);
    RECT rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (window != nullptr) {
        GetWindowRect(window, &rect);
    }
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return false;
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    unsigned rowBytes = (static_cast<unsigned>(width) * 3 + 3) & ~3u;
    unsigned imageBytes = rowBytes * static_cast<unsigned>(height);
    std::ofstream out(file, std::ios::binary);
    out.write("BM", 2);
    WriteLittleEndian(out, 54 + imageBytes, 4);
    WriteLittleEndian(out, 0, 4);
    WriteLittleEndian(out, 54, 4);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(BITMAPINFOHEADER));
    out.write(static_cast<const char*>(bits), imageBytes);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return static_cast<bool>(out);
}

Program::~Program() {
    if (info_.hProcess != nullptr) {
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hProcess);
    }
}

bool Program::Start(const std::string& exe, const std::string& tail) {
    std::string commandLine = "\"" + exe + "\"";
    if (!tail.empty()) {
        commandLine += " " + tail;
    }
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    const std::string folder = exe.substr(0, exe.find_last_of("\\/"));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info_)) {
        return false;
    }
    CloseHandle(info_.hThread);
    return true;
}

HWND Program::WaitForWindow(const std::string& caption, unsigned timeoutMs) const {
    WaitForInputIdle(info_.hProcess, Scaled(timeoutMs));
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopWindows(info_.dwProcessId)) {
                if (WindowText(window) == caption) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

std::vector<std::string> Program::VisibleWindows() const {
    std::vector<std::string> captions;
    for (HWND window : TopWindows(info_.dwProcessId)) {
        captions.push_back(WindowText(window));
    }
    return captions;
}

int Program::WaitForExit(const std::string& name, std::vector<std::string>* open,
                         unsigned timeoutMs) {
    if (WaitForSingleObject(info_.hProcess, Scaled(timeoutMs)) != WAIT_OBJECT_0) {
        SaveScreenshot(nullptr, ArtifactFolder() / (name + ".bmp"));
        *open = VisibleWindows();
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<int>(code);
}

std::string WindowText(HWND window) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    int length = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

std::string MessageText(HWND box) {
    std::string longest;
    for (HWND child : Children(box)) {
        std::string text = WindowText(child);
        if (ClassOf(child) == "Static" && text.size() > longest.size()) {
            longest = text;
        }
    }
    return longest;
}

HICON MessageIcon(HWND box) {
    for (HWND child : Children(box)) {
        if (ClassOf(child) == "Static" &&
            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            return reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        }
    }
    return nullptr;
}

int CheckState(HWND dialog, int id) {
    return static_cast<int>(SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0));
}

bool IsEnabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

namespace {

void ClickAt(HWND window, POINT point) {
    // A person's clicks on two places are some time apart. Sent at once,
    // a click after one on a disabled check box was now and then lost
    // under Wine (5 in 20 runs; none in 32 with 150 ms between them).
    static DWORD lastClick = GetTickCount() - kClickGapMs;
    while (GetTickCount() - lastClick < kClickGapMs) {
        Sleep(10);
    }
    // The click goes to whatever is at the point, as a person's would; the
    // window is brought to the front first and the pointer moved there.
    SetForegroundWindow(window);
    WaitUntil([&] { return GetForegroundWindow() == window; }, 2000);
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input[3]{};
    for (INPUT& one : input) {
        one.type = INPUT_MOUSE;
        one.mi.dx = MulDiv(point.x, 65535, width - 1);
        one.mi.dy = MulDiv(point.y, 65535, height - 1);
        one.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
    }
    input[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
    input[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    input[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    SendInput(3, input, sizeof(INPUT));
    lastClick = GetTickCount();
}

}  // namespace

void Click(HWND dialog, int id) {
    RECT rect;
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    // A point on the check box's square, left in the control.
    ClickAt(dialog, POINT{rect.left + 6, (rect.top + rect.bottom) / 2});
}

void ClickCloseBox(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    int frame = GetSystemMetrics(SM_CYFIXEDFRAME);
    int button = GetSystemMetrics(SM_CXSIZE);
    ClickAt(window, POINT{rect.right - frame - button / 2,
                          rect.top + frame + GetSystemMetrics(SM_CYCAPTION) / 2});
}

void PressKey(HWND window, WORD key, bool alt) {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
    HWND focus = thread.hwndFocus;
    bool inWindow =
        focus != nullptr && IsWindow(focus) && (focus == window || IsChild(window, focus));
    HWND target = inWindow ? focus : window;
    LPARAM down = 1 | (alt ? (1 << 29) : 0);
    LPARAM up = down | (1u << 30) | (1u << 31);
    PostMessageA(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, down);
    PostMessageA(target, alt ? WM_SYSKEYUP : WM_KEYUP, key, up);
}

bool WaitUntil(const std::function<bool()>& condition, unsigned timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount() - start > Scaled(timeoutMs)) {
            return false;
        }
        Sleep(50);
    }
}

}  // namespace driver
