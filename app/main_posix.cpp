#include <cstdio>
#include <string>

#include "app/interim_apply.h"
#include "platform/executable_path.h"
#include "platform/message_box.h"

int main(int argc, char** argv) {
    // The tail is the arguments joined by single blanks.
    std::string tail;
    for (int i = 1; i < argc; ++i) {
        tail += (i > 1 ? " " : "") + std::string(argv[i]);
    }
    auto show = [](const std::string& text, const std::string& caption, unsigned style) {
        platform::ShowMessageBox(nullptr, text, caption, style);
    };
    std::string error;
    int code = RunInterimProgram(platform::ExecutablePath(), tail, show, &error);
    if (code != 0) {
        std::fprintf(stderr, "TolvaneConfig: %s\n", error.c_str());
    }
    return code;
}
