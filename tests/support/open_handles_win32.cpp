#include <windows.h>

#include "tests/support/open_handles.h"

std::size_t OpenHandleCount() {
    DWORD count = 0;
    return GetProcessHandleCount(GetCurrentProcess(), &count) ? count : 0;
}
