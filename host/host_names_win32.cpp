#include <windows.h>

#include <shlobj.h>  // needs windows.h first

#include <string>

#include "host/host_names.h"
#include "host/processes.h"
#include "platform/win32/handle.h"

namespace host {

namespace {

using platform::Reachable;

class Win32HostNames : public HostNames {
  public:
    bool WindowsPathOf(const std::string& hostPath, std::string* windowsPath) override {
        char full[MAX_PATH];
        const DWORD length =
            Reachable(hostPath) ? GetFullPathNameA(hostPath.c_str(), MAX_PATH, full, nullptr) : 0;
        *windowsPath = length > 0 && length < MAX_PATH ? std::string(full, length) : hostPath;
        return true;
    }
    std::string ShownPath(const std::string& windowsPath) override { return Utf8Of(windowsPath); }

    std::string LocalAppData() override {
        // Windows keeps VirtualStore copies from Vista (6.0) on.
        OSVERSIONINFOA version{};
        version.dwOSVersionInfoSize = sizeof version;
        char folder[MAX_PATH] = "";
        if (!GetVersionExA(&version) || version.dwMajorVersion < 6 ||
            FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder))) {
            return std::string();
        }
        return folder;
    }

    std::vector<unsigned long> ProcessesRunning(const std::string& imageName) override {
        return ProcessesNamed(imageName, std::string());
    }

    std::string Utf8Of(const std::string& text) override {
        if (text.empty()) {
            return text;
        }
        const int size = static_cast<int>(text.size());
        std::wstring wide(
            static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0)),
            L'\0');
        MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(),
                            static_cast<int>(wide.size()));
        const int wideSize = static_cast<int>(wide.size());
        std::string utf8(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize,
                                                                 nullptr, 0, nullptr, nullptr)),
                         '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, utf8.data(),
                            static_cast<int>(utf8.size()), nullptr, nullptr);
        return utf8;
    }
};

}  // namespace

std::unique_ptr<HostNames> SystemHostNames() {
    return std::make_unique<Win32HostNames>();
}

std::unique_ptr<HostNames> WinePrefixHostNames(const std::string&, std::string* error) {
    *error = "--wineprefix works on Linux; on Windows every drive is the system's own";
    return nullptr;
}

}  // namespace host
