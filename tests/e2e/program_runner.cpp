#include "tests/e2e/program_runner.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace e2e {

std::filesystem::path ProgramUnderTest() {
    const char* value = std::getenv("TOLVANE_PROGRAM");
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

int RunProgram(const std::filesystem::path& exe, const std::string& tail, unsigned timeoutMs) {
    std::string commandLine = "\"" + exe.string() + "\"";
    if (!tail.empty()) {
        commandLine += " " + tail;
    }
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    std::string folder = exe.parent_path().string();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(exe.string().c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        return -1;
    }
    CloseHandle(process.hThread);
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 5000);
    } else {
        GetExitCodeProcess(process.hProcess, &code);
    }
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

}  // namespace e2e
