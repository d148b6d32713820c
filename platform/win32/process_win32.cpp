#include <windows.h>

#include <vector>

#include "platform/process.h"

namespace platform {

unsigned long CurrentProcessId() {
    return GetCurrentProcessId();
}

bool ExecutablePath(std::string* path) {
    // GetModuleFileNameA cuts the path to fit the buffer; grow it until the
    // whole path fits.
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
        if (length == 0 || (length >= size && buffer.size() >= 0x10000)) {
            return false;
        }
        if (length < size) {
            path->assign(buffer.data(), length);
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

void IgnoreBrokenPipes() {}

}  // namespace platform
