#include "host/host_paths.h"

#include <dirent.h>
#include <iconv.h>
#include <limits.h>
#include <locale.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wctype.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>

#include "platform/path_names.h"
#include "platform/posix/fd.h"

namespace host {

using platform::SameFileName;
using platform::UniqueDir;

// One direction of iconv, kept open for the life of the mapping.
class HostPaths::Converter {
  public:
    Converter(const std::string& to, const std::string& from)
        : cd_(iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (Valid()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as far as it can: the bytes of text converted go to *out; the
    // number of bytes of text taken is returned (all of it on success).
    size_t Convert(const std::string& text, std::string* out) const {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(text.data());
        size_t inLeft = text.size();
        char buffer[1024];
        while (inLeft > 0) {
            char* next = buffer;
            size_t room = sizeof buffer;
            const size_t result = iconv(cd_, &in, &inLeft, &next, &room);
            out->append(buffer, static_cast<size_t>(next - buffer));
            if (result == static_cast<size_t>(-1) && errno != E2BIG) {
                break;
            }
        }
        return text.size() - inLeft;
    }

    // The whole text converted; false when a byte does not convert.
    bool ConvertAll(const std::string& text, std::string* out) const {
        out->clear();
        if (std::none_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; })) {
            *out = text;  // ASCII stands for itself in every code page the program meets
            return true;
        }
        return Valid() && Convert(text, out) == text.size();
    }

  private:
    iconv_t cd_;
};

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

// The code points of UTF-8 text, each in upper case as Windows compares
// names (Unicode's simple mapping, through the C library's UTF-8 locale);
// a byte that is no UTF-8 stands for itself.
std::u32string UpperCodePoints(std::string_view text) {
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    std::u32string points;
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const size_t length = byte < 0x80    ? 1
                              : byte >= 0xF0 ? 4
                              : byte >= 0xE0 ? 3
                              : byte >= 0xC0 ? 2
                                             : 1;
        char32_t point = length == 1 ? byte : byte & (0x7F >> length);
        size_t taken = 1;
        while (taken < length && i + taken < text.size() &&
               (static_cast<unsigned char>(text[i + taken]) & 0xC0) == 0x80) {
            point = (point << 6) | (static_cast<unsigned char>(text[i + taken]) & 0x3F);
            ++taken;
        }
        if (taken < length) {
            point = byte;  // not UTF-8: the byte alone
            taken = 1;
        }
        if (utf8 != nullptr) {
            point = static_cast<char32_t>(towupper_l(static_cast<wint_t>(point), utf8));
        } else if (point >= 'a' && point <= 'z') {
            point -= 'a' - 'A';
        }
        points.push_back(point);
        i += taken;
    }
    return points;
}

bool IsAscii(std::string_view text) {
    return std::none_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; });
}

// The first entry of folder whose name equals name but for case, as Wine
// takes it; empty when there is none.
std::string CaseVariant(const std::string& folder, const std::string& name) {
    const UniqueDir dir(opendir(folder.empty() ? "." : folder.c_str()));
    if (dir == nullptr) {
        return std::string();
    }
    // Names outside ASCII are compared by their code points in upper case;
    // most names of a large folder are ASCII and need no more than a glance.
    std::u32string wanted;
    while (const dirent* entry = readdir(dir.get())) {
        if (SameFileName(entry->d_name, name)) {
            return entry->d_name;
        }
        if (!IsAscii(entry->d_name) || !IsAscii(name)) {
            if (wanted.empty()) {
                wanted = UpperCodePoints(name);
            }
            if (UpperCodePoints(entry->d_name) == wanted) {
                return entry->d_name;
            }
        }
    }
    return std::string();
}

// The rest of a path after its root ("C:\"), with "/" separators, as
// Windows reads it before it looks (Wine's rules, which are Windows'):
// doubled separators collapse, "." elements go, ".." takes the element
// before it away, one dot ending a folder's name is dropped, and every dot
// and space ending the path.
std::string Collapsed(const std::string& rest) {
    std::string path;
    for (char c : rest) {
        if (c != '/' || (!path.empty() && path.back() != '/')) {
            path += c;
        }
    }
    size_t p = 0;
    // The start of the element that ends just before at (at a separator or
    // at 0).
    auto elementBefore = [&](size_t at) {
        while (at > 0 && path[at - 1] != '/') {
            --at;
        }
        return at;
    };
    while (p < path.size()) {
        if (path[p] == '.') {
            const char next = p + 1 < path.size() ? path[p + 1] : '\0';
            const char after = p + 2 < path.size() ? path[p + 2] : '\0';
            if (next == '/') {
                path.erase(p, 2);  // a "." element
                continue;
            }
            if (next == '\0') {
                path.erase(p > 0 ? p - 1 : p);  // a "." ending the path
                continue;
            }
            if (next == '.' && (after == '/' || after == '\0')) {
                // A ".." element takes the one before it away, never the root.
                const size_t start = p > 0 ? elementBefore(p - 1) : 0;
                if (after == '/') {
                    path.erase(start, p + 3 - start);
                    p = start;
                } else {
                    path.erase(start > 0 ? start - 1 : 0);
                    p = path.size();
                }
                continue;
            }
        }
        while (p < path.size() && path[p] != '/') {
            ++p;
        }
        if (p < path.size()) {
            if (p > 0 && path[p - 1] == '.') {
                path.erase(p - 1, 1);  // the one dot ending a folder's name
            } else {
                ++p;
            }
        }
    }
    while (!path.empty() && (path.back() == ' ' || path.back() == '.')) {
        path.pop_back();
    }
    return path;
}

std::string Join(const std::string& folder, const std::string& name) {
    return platform::JoinedPath(folder, name, platform::CodePage(), '/');
}

}  // namespace

HostPaths::HostPaths()
    : drives_{{'z', "/"}},
      toHost_(std::make_shared<const Converter>("UTF-8", "CP1252")),
      toAnsi_(std::make_shared<const Converter>("CP1252", "UTF-8")) {}

bool HostPaths::ForPrefix(const std::string& hostPrefix, HostPaths* paths, std::string* error) {
    const std::string devices = hostPrefix + "/dosdevices";
    const UniqueDir dir(hostPrefix.empty() ? nullptr : opendir(devices.c_str()));
    if (dir == nullptr) {
        *error = hostPrefix + " is not a Wine prefix with a dosdevices folder";
        return false;
    }
    HostPaths made;
    made.prefix_ = hostPrefix;
    made.drives_.clear();
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        char root[PATH_MAX];
        if (name.size() == 2 && name[1] == ':' && IsDriveLetter(name[0]) &&
            realpath((devices + "/" + name).c_str(), root) != nullptr) {
            made.drives_.emplace_back(static_cast<char>(name[0] | 0x20), root);
        }
    }
    std::sort(made.drives_.begin(), made.drives_.end());
    const std::string acp = WineRegistryValue(
        hostPrefix + "/system.reg", "System\\CurrentControlSet\\Control\\Nls\\CodePage", "ACP");
    made.codePage_ = acp.empty() ? 1252 : std::atoi(acp.c_str());
    const std::string codeSet = "CP" + std::to_string(made.codePage_);
    made.toHost_ = std::make_shared<const Converter>("UTF-8", codeSet);
    made.toAnsi_ = std::make_shared<const Converter>(codeSet, "UTF-8");
    if (!made.toHost_->Valid() || !made.toAnsi_->Valid()) {
        *error = hostPrefix + ": the code page " + acp + " cannot be converted here";
        return false;
    }
    *paths = std::move(made);
    return true;
}

std::string HostPaths::DriveRoot(char letter) const {
    for (const auto& [drive, root] : drives_) {
        if (drive == letter) {
            return root;
        }
    }
    return std::string();
}

bool HostPaths::Written(const std::string& path, std::string* hostPath) const {
    if (path.find('\0') != std::string::npos) {
        return false;
    }
    // \\?\C:\x names C:\x to Windows without its path rules applied; a
    // path here is taken as written anyway.
    const bool device = path.size() >= 6 && path.compare(0, 4, "\\\\?\\") == 0 &&
                        IsDriveLetter(path[4]) && path[5] == ':';
    const std::string windowsPath = device ? path.substr(4) : path;
    // Any other two leading separators start a network or device path
    // (\\server\share, \\.\pipe\x), which never names a file of this host.
    if (windowsPath.find_first_not_of("\\/") >= 2 && windowsPath.size() >= 2) {
        return false;
    }
    // The root: a drive's folder, or for a rooted path without a drive
    // drive Z:, as under Wine; a relative path is taken from the working
    // folder.
    std::string root = "/";
    std::string rest = windowsPath;
    if (windowsPath.size() >= 2 && windowsPath[1] == ':' && IsDriveLetter(windowsPath[0])) {
        root = DriveRoot(static_cast<char>(windowsPath[0] | 0x20));
        if (root.empty()) {
            return false;
        }
        rest = windowsPath.substr(2);
    }
    const bool relative =
        !rest.empty() && rest[0] != '\\' && rest[0] != '/' && root == "/" && windowsPath[1] != ':';
    // Converted first: a separator is looked for among characters, never
    // in the second byte of a double-byte one.
    std::string converted;
    if (!toHost_->ConvertAll(rest, &converted)) {
        return false;  // never another file under a mangled name
    }
    if (device) {
        // Taken as it stands: "/", "." and ".." are no separators or
        // elements, and an empty element names nothing.
        const std::string elements = converted + "\\";
        if (converted.find('/') != std::string::npos ||
            elements.find("\\.\\") != std::string::npos ||
            elements.find("\\..\\") != std::string::npos ||
            converted.find("\\\\") != std::string::npos) {
            return false;
        }
        *hostPath = Join(root, WithSlashes(converted).substr(1));
        return true;
    }
    if (relative) {
        char here[PATH_MAX];
        if (getcwd(here, sizeof here) == nullptr) {
            return false;
        }
        converted = std::string(here) + "/" + converted;
    }
    // What the rules leave as "." or ".." (of "..." or ". .") is a name
    // Windows does not look up.
    const std::string collapsed = Collapsed(WithSlashes(converted));
    const std::string elements = "/" + collapsed + "/";
    if (elements.find("/./") != std::string::npos || elements.find("/../") != std::string::npos) {
        return false;
    }
    *hostPath = Join(root, collapsed);
    return true;
}

bool HostPaths::FullWindowsPath(const std::string& windowsPath, std::string* fullPath) const {
    if (windowsPath.size() >= 2 && (windowsPath[0] == '\\' || windowsPath[0] == '/') &&
        (windowsPath[1] == '\\' || windowsPath[1] == '/')) {
        *fullPath = windowsPath;  // \\?\..., \\server\share: no rules applied
        return true;
    }
    const bool drive = windowsPath.size() >= 2 && windowsPath[1] == ':';
    std::string utf8;
    if (!toHost_->ConvertAll(windowsPath.substr(drive ? 2 : 0), &utf8)) {
        return false;
    }
    std::string ansi;
    if (!AnsiName(Collapsed(WithSlashes(utf8)), &ansi)) {
        return false;
    }
    std::replace(ansi.begin(), ansi.end(), '/', '\\');
    *fullPath = (drive ? windowsPath.substr(0, 2) : std::string("Z:")) + "\\" + ansi;
    return true;
}

bool HostPaths::ToHost(const std::string& windowsPath, std::string* hostPath) const {
    std::string host;
    if (!Written(windowsPath, &host)) {
        return false;
    }
    if (Exists(host)) {
        *hostPath = host;
        return true;
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
    *hostPath = resolved;
    return true;
}

std::string AbsoluteHostPath(const std::string& path) {
    std::string absolute = path;
    if (path.empty() || path[0] != '/') {
        // A working folder that is gone leaves the path relative, never
        // taken from the root.
        char here[PATH_MAX];
        if (getcwd(here, sizeof here) == nullptr) {
            return path;
        }
        absolute = std::string(here) + "/" + path;
    }
    // The longest folder that exists, resolved; what follows is kept (the
    // last name too, which may be a link the program must not follow).
    for (size_t end = absolute.rfind('/'); end != std::string::npos && end > 0;
         end = absolute.rfind('/', end - 1)) {
        char real[PATH_MAX];
        if (realpath(absolute.substr(0, end).c_str(), real) != nullptr) {
            const std::string rest = absolute.substr(end);
            return std::string(real) == "/" && !rest.empty() ? rest : real + rest;
        }
    }
    return absolute;
}

bool HostPaths::ToWindows(const std::string& givenPath, std::string* windowsPath) const {
    const std::string hostPath = AbsoluteHostPath(givenPath);
    // The drive whose root is the longest whole-folder prefix of the path.
    const std::pair<char, std::string>* best = nullptr;
    for (const auto& drive : drives_) {
        const std::string& root = drive.second;
        const bool inside =
            root == "/" ? !hostPath.empty() && hostPath[0] == '/'
                        : hostPath.compare(0, root.size(), root) == 0 &&
                              (hostPath.size() == root.size() || hostPath[root.size()] == '/');
        if (inside && (best == nullptr || root.size() > best->second.size())) {
            best = &drive;
        }
    }
    std::string rest = hostPath;
    std::string drive;
    if (best != nullptr) {
        rest = hostPath.substr(best->second == "/" ? 1 : best->second.size());
        rest.erase(0, rest.find_first_not_of('/'));
        drive = std::string(1, static_cast<char>(best->first & ~0x20)) + ":\\";
    }
    std::string ansi;
    if (!AnsiName(rest, &ansi)) {
        return false;
    }
    std::replace(ansi.begin(), ansi.end(), '/', '\\');
    *windowsPath = drive + ansi;
    return true;
}

bool HostPaths::AnsiName(const std::string& hostName, std::string* ansi) const {
    return toAnsi_->ConvertAll(hostName, ansi);
}

std::string HostPaths::Utf8Of(const std::string& ansi) const {
    std::string utf8;
    if (toHost_->ConvertAll(ansi, &utf8)) {
        return utf8;
    }
    utf8.clear();
    for (size_t at = 0; at < ansi.size();) {
        const std::string rest = ansi.substr(at);
        const size_t taken = toHost_->Valid() ? toHost_->Convert(rest, &utf8) : 0;
        at += taken;
        if (taken < rest.size()) {
            utf8 += "\xEF\xBF\xBD";  // U+FFFD for a byte the code page does not have
            ++at;
        }
    }
    return utf8;
}

std::string WineRegistryValue(const std::string& registryFile, const std::string& key,
                              const std::string& name) {
    // The file doubles every backslash of a key and of a value.
    std::string header = "[";
    for (char c : key) {
        header += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    header += "]";
    const std::string prefix = "\"" + name + "\"=\"";
    std::ifstream in(registryFile, std::ios::binary);
    std::string line;
    bool inKey = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[') {
            inKey = SameFileName(line.substr(0, header.size()), header);
            continue;
        }
        if (inKey && line.compare(0, prefix.size(), prefix) == 0) {
            std::string value;
            for (size_t i = prefix.size(); i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size()) {
                    ++i;
                }
                value += line[i];
            }
            return value;
        }
    }
    return std::string();
}

}  // namespace host
