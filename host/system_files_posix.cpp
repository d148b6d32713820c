#include "host/system_files.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include "host/host_paths.h"
#include "platform/posix/posix_files.h"
#include "preview/ruled_file_system.h"

namespace host {

namespace {

std::unique_ptr<platform::FileSystem> Files(HostPaths paths) {
    return preview::RuledOver(platform::PosixFiles(std::make_shared<HostPaths>(std::move(paths))));
}

}  // namespace

std::unique_ptr<platform::FileSystem> SystemFileSystem() {
    return Files(HostPaths());
}

std::unique_ptr<platform::FileSystem> WinePrefixFileSystem(const std::string& hostPrefix,
                                                           std::string* error) {
    HostPaths paths;
    if (!HostPaths::ForPrefix(hostPrefix, &paths, error)) {
        return nullptr;
    }
    return Files(std::move(paths));
}

std::string WinePrefixHolding(const std::string& givenPath) {
    const std::string hostPath = AbsoluteHostPath(givenPath);
    for (size_t at = hostPath.rfind("/drive_c"); at != std::string::npos && at > 0;
         at = hostPath.rfind("/drive_c", at - 1)) {
        const size_t end = at + 8;
        const std::string prefix = hostPath.substr(0, at);
        struct stat status;
        if ((end == hostPath.size() || hostPath[end] == '/') &&
            stat((prefix + "/dosdevices").c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
            return prefix;
        }
    }
    return std::string();
}

std::string ResolvedHostFolder(const std::string& hostPath) {
    char resolved[PATH_MAX];
    return realpath(hostPath.c_str(), resolved) != nullptr ? std::string(resolved) : hostPath;
}

}  // namespace host
