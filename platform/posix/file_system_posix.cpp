#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/host_path.h"
#include "platform/posix/fd.h"

namespace platform {

bool QueryFileStatus(const std::string& path) {
    std::string host = HostPathFromWindows(path);
    struct stat status;
    return !host.empty() && lstat(host.c_str(), &status) == 0;
}

bool RemoveFile(const std::string& path) {
    std::string host = HostPathFromWindows(path);
    return !host.empty() && unlink(host.c_str()) == 0;
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
    std::string host = HostPathFromWindows(path);
    if (host.empty()) {
        return false;
    }
    UniqueFd file(open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!file.Valid()) {
        return false;
    }
    return WriteAll(file.Get(), bytes.data(), bytes.size()) && file.Close();
}

}  // namespace platform
