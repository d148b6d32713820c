#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// Drives the real program from outside, as a person at the screen would:
// finds its windows, reads its check boxes, clicks, presses keys, answers
// message boxes and waits for it to end. Every wait has a time limit.
namespace driver {

// The program under test, from TOLVANE_PROGRAM (a host path is accepted and
// shown on drive Z:, as Wine maps it). Empty when not set.
std::filesystem::path ProgramUnderTest();

// Where screenshots go: TOLVANE_ARTIFACTS, else the temporary folder.
std::filesystem::path ArtifactFolder();

// Saves what the screen shows of a window (the whole screen for null) as a
// 24-bit BMP file, after letting it paint for settleMs.
bool SaveScreenshot(HWND window, const std::filesystem::path& file, unsigned settleMs = 0);

class Program {
  public:
    Program() = default;
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Starts exe in its own folder with the command-line tail.
    bool Start(const std::filesystem::path& exe, const std::string& tail) {
        return Start(exe.string(), tail);
    }
    // The same with the program's path in the ANSI code page, as a command
    // line hands it over.
    bool Start(const std::string& exe, const std::string& tail);
    // A visible top-level window of the program with that caption, ready
    // for input, or null after the time limit.
    HWND WaitForWindow(const std::string& caption, unsigned timeoutMs = 20000) const;
    // The captions of the program's visible top-level windows.
    std::vector<std::string> VisibleWindows() const;
    // The exit code, or -1 when the program has not ended in time: then the
    // screen is saved as name + ".bmp" in the artifact folder, the windows
    // still open are listed in *open, and the program is ended.
    int WaitForExit(const std::string& name, std::vector<std::string>* open,
                    unsigned timeoutMs = 30000);
    DWORD Id() const { return info_.dwProcessId; }
    // Whether the program is still running, after waiting up to waitMs.
    bool Running(unsigned waitMs = 0) const {
        return WaitForSingleObject(info_.hProcess, waitMs) == WAIT_TIMEOUT;
    }

  private:
    PROCESS_INFORMATION info_{};
};

std::string WindowText(HWND window);
// Every descendant window of a window.
std::vector<HWND> Children(HWND parent);
// The text of the longest static control of a window (a message's text).
std::string MessageText(HWND box);
// The icon shown by a window's icon control, or null.
HICON MessageIcon(HWND box);

int CheckState(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);
// A real mouse click at the centre of the control.
void Click(HWND dialog, int id);
// A real mouse click on the close box at the right of the window's caption.
void ClickCloseBox(HWND window);
// A key press sent to the control that has the keyboard focus.
void PressKey(HWND window, WORD key, bool alt = false);
// Waits until the condition holds or the time is up; its last value.
bool WaitUntil(const std::function<bool()>& condition, unsigned timeoutMs = 10000);

}  // namespace driver
