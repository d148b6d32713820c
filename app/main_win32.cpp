#include <windows.h>

#include <string>

#include "app/command_line.h"
#include "app/interim_apply.h"
#include "platform/executable_path.h"
#include "platform/message_box.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    auto show = [](const std::string& text, const std::string& caption, unsigned style) {
        platform::ShowMessageBox(nullptr, text, caption, style);
    };
    std::string error;
    int code = RunInterimProgram(platform::ExecutablePath(), CommandLineTail(GetCommandLineA()),
                                 show, &error);
    if (code != 0) {
        platform::ShowMessageBox(nullptr, error, "TolvaneConfig", platform::kMbIconHand);
    }
    return code;
}
