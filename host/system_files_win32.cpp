#include "host/system_files.h"

#include "platform/win32/windows_files.h"

namespace host {

std::unique_ptr<platform::FileSystem> SystemFileSystem() {
    return platform::WindowsFiles();
}

std::unique_ptr<platform::FileSystem> WinePrefixFileSystem(const std::string&, std::string* error) {
    *error = "--wineprefix works on Linux; on Windows every drive is the system's own";
    return nullptr;
}

std::string WinePrefixHolding(const std::string&) {
    return std::string();
}

std::string ResolvedHostFolder(const std::string& hostPath) {
    return hostPath;
}

}  // namespace host
