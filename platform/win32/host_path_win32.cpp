#include "platform/host_path.h"

namespace platform {

std::string WindowsPathFromHost(const std::string& hostPath) {
    return hostPath;
}

std::string HostPathFromWindows(const std::string& windowsPath) {
    return windowsPath;
}

}  // namespace platform
