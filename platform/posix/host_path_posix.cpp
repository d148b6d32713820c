#include "platform/host_path.h"

#include <algorithm>

namespace platform {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string WithSlashes(std::string text) {
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

}  // namespace

std::string WindowsPathFromHost(const std::string& hostPath) {
    std::string windows = hostPath;
    std::replace(windows.begin(), windows.end(), '/', '\\');
    if (!hostPath.empty() && hostPath[0] == '/') {
        windows.insert(0, "Z:");
    }
    return windows;
}

std::string HostPathFromWindows(const std::string& windowsPath) {
    if (windowsPath.find('\0') != std::string::npos) {
        return std::string();
    }
    // Two leading separators start a network or device path (\\server\share,
    // \\?\C:\x), which on Windows never names a file of this host.
    if (windowsPath.size() >= 2 && IsSeparator(windowsPath[0]) && IsSeparator(windowsPath[1])) {
        return std::string();
    }
    if (windowsPath.size() >= 2 && windowsPath[1] == ':' && IsDriveLetter(windowsPath[0])) {
        if (windowsPath[0] != 'Z' && windowsPath[0] != 'z') {
            return std::string();  // only Z: is mapped, to the host root
        }
        return "/" + WithSlashes(windowsPath.substr(
                         windowsPath.size() > 2 && IsSeparator(windowsPath[2]) ? 3 : 2));
    }
    // A rooted path without a drive stays on Z:, as under Wine.
    return WithSlashes(windowsPath);
}

}  // namespace platform
