#include <windows.h>

#include <tlhelp32.h>  // needs windows.h first

#include <algorithm>

#include "host/processes.h"
#include "platform/win32/handle.h"

namespace host {

namespace {

// True when the wide name is the ASCII name but for ASCII case, as Windows
// compares file names.
bool SameName(const wchar_t* wide, const std::string& name) {
    size_t i = 0;
    for (; wide[i] != L'\0' && i < name.size(); ++i) {
        const wchar_t a = wide[i] >= L'A' && wide[i] <= L'Z' ? wide[i] + (L'a' - L'A') : wide[i];
        const char b = name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] + 32) : name[i];
        if (a != static_cast<unsigned char>(b)) {
            return false;
        }
    }
    return wide[i] == L'\0' && i == name.size();
}

// The name after the last backslash of a program's path, as some versions
// of Windows give the whole path.
const wchar_t* LastName(const wchar_t* path) {
    const wchar_t* name = path;
    for (const wchar_t* at = path; *at != L'\0'; ++at) {
        name = *at == L'\\' || *at == L'/' ? at + 1 : name;
    }
    return name;
}

}  // namespace

std::vector<unsigned long> ProcessesNamed(const std::string& imageName, const std::string&) {
    std::vector<unsigned long> found;
    platform::AutoCloseHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.Valid()) {
        return found;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    const DWORD self = GetCurrentProcessId();
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID != self && SameName(LastName(entry.szExeFile), imageName)) {
            found.push_back(entry.th32ProcessID);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace host
