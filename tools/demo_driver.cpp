// Runs the program once as a person would on a screen nobody watches:
// waits for the dialog, saves a screenshot, ticks the Ultimate Terrain
// master switch, saves another, applies and waits for the program to end.
//   demo_driver PATH\TolvaneConfig.exe SCREENSHOT-FOLDER
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "res/resource.h"

#include "tools/program_driver.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: demo_driver TolvaneConfig.exe SCREENSHOT-FOLDER\n");
        return 2;
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
