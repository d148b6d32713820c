#include "platform/posix/host_paths.h"

#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "platform/path_names.h"

namespace platform {

namespace {

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string WithSlashes(std::string text) {
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

bool Exists(const std::string& path) {
    struct stat status;
    return lstat(path.empty() ? "." : path.c_str(), &status) == 0;
}

// The entry of folder whose name equals name but for ASCII case; empty when
// there is none. Of several, the first the folder lists, as Wine takes it.
std::string CaseVariant(const std::string& folder, const std::string& name) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return std::string();
    }
    std::string match;
    while (const dirent* entry = readdir(dir)) {
        if (SameFileName(entry->d_name, name)) {
            match = entry->d_name;
            break;
        }
    }
    closedir(dir);
    return match;
}

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

std::string HostPaths::Written(const std::string& path) const {
    if (path.find('\0') != std::string::npos) {
        return std::string();
    }
    // \\?\C:\x names C:\x to Windows without its path rules applied; a
    // path here is taken as written anyway.
    const bool device = path.size() >= 6 && path.compare(0, 4, "\\\\?\\") == 0 &&
                        IsDriveLetter(path[4]) && path[5] == ':';
    const std::string windowsPath = device ? path.substr(4) : path;
    // Any other two leading separators start a network or device path
    // (\\server\share, \\.\pipe\x), which never names a file of this host.
    if (windowsPath.find_first_not_of("\\/") >= 2 && windowsPath.size() >= 2) {
        return std::string();
    }
    if (windowsPath.size() >= 2 && windowsPath[1] == ':' && IsDriveLetter(windowsPath[0])) {
        const bool rooted =
            windowsPath.size() > 2 && (windowsPath[2] == '\\' || windowsPath[2] == '/');
        const std::string rest = WithSlashes(windowsPath.substr(rooted ? 3 : 2));
        const char letter = static_cast<char>(windowsPath[0] | 0x20);
        if (!prefix_.empty()) {
            // Wine's own map: prefix/dosdevices/c: links to the drive's root.
            char root[PATH_MAX];
            const std::string link = prefix_ + "/dosdevices/" + letter + ":";
            if (realpath(link.c_str(), root) == nullptr) {
                return std::string();
            }
            return std::string(root) + (std::string(root) == "/" ? "" : "/") + rest;
        }
        return letter == 'z' ? "/" + rest : std::string();  // only Z:, the host root
    }
    // A rooted path without a drive stays on Z:, as under Wine.
    return WithSlashes(windowsPath);
}

std::string HostPaths::ToHost(const std::string& windowsPath) const {
    std::string host = Written(windowsPath);
    if (host.empty() || Exists(host)) {
        return host;
    }
    std::string root = host[0] == '/' ? "/" : "";
    std::vector<std::string> components;
    for (size_t start = root.size(); start <= host.size();) {
        size_t end = host.find('/', start);
        end = end == std::string::npos ? host.size() : end;
        components.push_back(host.substr(start, end - start));
        start = end + 1;
    }
    // The longest prefix that exists as written needs no listing.
    size_t known = components.size();
    std::string resolved;
    while (known > 0) {
        --known;
        resolved = root;
        for (size_t i = 0; i < known; ++i) {
            resolved = Join(resolved, components[i]);
        }
        if (Exists(resolved)) {
            break;
        }
    }
    for (size_t i = known; i < components.size(); ++i) {
        const std::string& name = components[i];
        std::string exact = Join(resolved, name);
        if (name.empty() || name == "." || name == ".." || Exists(exact)) {
            resolved = exact;
            continue;
        }
        std::string variant = CaseVariant(resolved, name);
        if (variant.empty()) {
            // Nothing matches: the rest is kept as written.
            for (; i < components.size(); ++i) {
                resolved = Join(resolved, components[i]);
            }
            break;
        }
        resolved = Join(resolved, variant);
    }
    return resolved;
}

std::string HostPaths::ToWindows(const std::string& hostPath) const {
    std::string windows = hostPath;
    std::replace(windows.begin(), windows.end(), '/', '\\');
    if (!hostPath.empty() && hostPath[0] == '/') {
        windows.insert(0, "Z:");
    }
    return windows;
}

}  // namespace platform
