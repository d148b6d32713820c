// Runs the program once as a person would on a screen nobody watches:
// waits for the dialog, saves a screenshot, ticks the Ultimate Terrain
// master switch, saves another, applies and waits for the program to end.
//   demo_driver PATH\TolvaneConfig.exe SCREENSHOT-FOLDER
// Or starts it with -u, answers each message it shows (printing its text)
// and waits for it to end:
//   demo_driver PATH\TolvaneConfig.exe -u
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "res/resource.h"

#include "tools/program_driver.h"

namespace {

int Restore(const std::string& exe) {
    driver::Program program;
    if (!program.Start(exe, "-u")) {
        std::fprintf(stderr, "demo_driver: cannot start %s\n", exe.c_str());
        return 1;
    }
    while (program.Running(100)) {
        HWND box = program.WaitForWindow("TolvConfg error", 300);
        if (box != nullptr) {
            std::printf("%s\n", driver::MessageText(box).c_str());
            driver::PressKey(box, VK_RETURN);
            driver::WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
        }
    }
    std::vector<std::string> open;
    return program.WaitForExit("restore-hung", &open);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: demo_driver TolvaneConfig.exe SCREENSHOT-FOLDER|-u\n");
        return 2;
    }
    if (std::string(argv[2]) == "-u") {
        return Restore(argv[1]);
    }
    const std::filesystem::path shots = argv[2];
    driver::Program program;
    if (!program.Start(std::string(argv[1]), "")) {
        std::fprintf(stderr, "demo_driver: cannot start %s\n", argv[1]);
        return 1;
    }
    HWND dialog = program.WaitForWindow("TolvaneConfig");
    if (dialog == nullptr) {
        std::fprintf(stderr, "demo_driver: the dialog did not appear\n");
        return 1;
    }
    driver::SaveScreenshot(dialog, shots / "dialog.bmp", 1000);
    driver::Click(dialog, IDC_UT);
    driver::WaitUntil([&] { return driver::IsEnabled(dialog, IDC_RAILROADS); });
    driver::SaveScreenshot(dialog, shots / "dialog-ut-on.bmp", 500);
    driver::Click(dialog, IDOK);
    std::vector<std::string> open;
    int code = program.WaitForExit("demo-hung", &open);
    for (const std::string& caption : open) {
        std::fprintf(stderr, "demo_driver: still open: \"%s\"\n", caption.c_str());
    }
    return code;
}
