#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/config_dialog_window.h"
#include "res/resource.h"

// A dialog window for CConfigDlg without a window system: it keeps marks
// and enabled states and records the calls that show on screen.
class FakeDialogWindow : public ConfigDialogWindow {
  public:
    // Room for every call of a run up front: a real window's calls never
    // fail for want of memory.
    FakeDialogWindow() { calls.reserve(32); }

    bool HasSystemMenu() override { return hasSystemMenu; }
    void AppendSystemMenuSeparator() override { calls.push_back("Separator"); }
    void AppendSystemMenuItem(unsigned command, const std::string& text) override {
        calls.push_back("MenuItem " + std::to_string(command) + " " + text);
    }
    std::string LoadResourceString(unsigned id) override {
        return id == IDS_ABOUTBOX ? aboutText : "";
    }
    void SetBigIcon() override { calls.push_back("BigIcon"); }
    void SetSmallIcon() override { calls.push_back("SmallIcon"); }
    int GetCheck(int id) override { return checks[id]; }
    void SetCheck(int id, bool ticked) override { checks[id] = ticked ? 1 : 0; }
    void EnableControl(int id, bool on) override { enabled[id] = on; }
    void EndDialog(int result) override { calls.push_back("End " + std::to_string(result)); }
    void ShowMessage(const std::string& text, const std::string& caption, unsigned) override {
        calls.push_back("Message " + caption + ": " + text.substr(0, 40));
    }
    platform::WindowHandle Handle() override { return nullptr; }

    bool hasSystemMenu = true;
    std::string aboutText = "&About TolvaneConfig...";
    std::map<int, int> checks;
    std::map<int, bool> enabled;
    std::vector<std::string> calls;
};
