#include <windows.h>

#include <tlhelp32.h>  // needs windows.h first

#include <algorithm>

#include "host/processes.h"
#include "platform/path_names.h"
#include "platform/win32/handle.h"

namespace host {

std::vector<unsigned long> ProcessesNamed(const std::string& imageName, const std::string&) {
    std::vector<unsigned long> found;
    platform::AutoCloseHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.Valid()) {
        return found;
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    const DWORD self = GetCurrentProcessId();
    // Some versions of Windows give the program's whole path.
    for (BOOL more = Process32First(snapshot.Get(), &entry); more;
         more = Process32Next(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID != self &&
            platform::SameFileName(platform::LastNameOf(entry.szExeFile, platform::CodePage()),
                                   imageName)) {
            found.push_back(entry.th32ProcessID);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace host
