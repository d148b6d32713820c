#include <windows.h>

#include <cstdio>
#include <string>

#include "app/interim_apply.h"
#include "platform/executable_path.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::string error;
    int code = RunInterimApply(platform::ExecutablePath(), &error);
    if (code != 0) {
        std::fprintf(stderr, "TolvaneConfig: %s\n", error.c_str());
    }
    return code;
}
