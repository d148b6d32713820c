#include <dirent.h>

#include <cstring>

#include "platform/files.h"
#include "platform/posix/host_path.h"

namespace platform {

bool ListFolder(const std::string& folder, std::vector<std::string>* names) {
    const std::string host = HostPathFromWindows(folder);
    DIR* dir = host.empty() ? nullptr : opendir(host.c_str());
    if (dir == nullptr) {
        return false;
    }
    names->clear();
    while (const dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            names->emplace_back(entry->d_name);
        }
    }
    closedir(dir);
    return true;
}

}  // namespace platform
