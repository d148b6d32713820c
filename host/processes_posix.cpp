#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "host/processes.h"
#include "platform/path_names.h"

namespace host {

using platform::SameFileName;

namespace {

// The whole of a /proc file in *text; false when it cannot be read.
bool ReadProcFile(const std::string& path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    text->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return static_cast<bool>(in) || in.eof();
}

// The whole of a small /proc file; empty when it cannot be read.
std::string ProcFile(const std::string& path) {
    std::string text;
    ReadProcFile(path, &text);
    return text;
}

// The name after the last "/" or "\\" of a path.
std::string LastName(const std::string& path) {
    return platform::LastNameOf(path, platform::CodePage());
}

// The program file of a process ("/usr/lib/wine/wine64"); empty when this
// user may not know it.
std::string ProgramOf(const std::string& proc) {
    char target[4096];
    const ssize_t length = readlink((proc + "/exe").c_str(), target, sizeof target - 1);
    std::string program = length > 0 ? std::string(target, static_cast<size_t>(length)) : "";
    const std::string deleted = " (deleted)";
    if (program.size() > deleted.size() &&
        program.compare(program.size() - deleted.size(), deleted.size(), deleted) == 0) {
        program.resize(program.size() - deleted.size());
    }
    return program;
}

// A process that has ended and waits to be reaped: state Z or X after the
// command in parentheses.
bool Ended(const std::string& proc) {
    const std::string stat = ProcFile(proc + "/stat");
    const size_t close = stat.rfind(')');
    return close == std::string::npos || close + 2 >= stat.size() || stat[close + 2] == 'Z' ||
           stat[close + 2] == 'X';
}

// The value of a variable in a process's environment; empty when it is not
// set or cannot be read.
std::string EnvironmentValue(const std::string& environment, const std::string& name) {
    const std::string wanted = name + "=";
    for (size_t start = 0; start < environment.size();) {
        const size_t end = environment.find('\0', start);
        const std::string entry = environment.substr(start, end - start);
        if (entry.compare(0, wanted.size(), wanted) == 0) {
            return entry.substr(wanted.size());
        }
        start = end == std::string::npos ? environment.size() : end + 1;
    }
    return std::string();
}

// True when two host paths name the same folder.
bool SameFolder(const std::string& a, const std::string& b) {
    struct stat first;
    struct stat second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// The home folder of the process's user (its real user, as getuid() tells
// it) in the password database; empty when there is none.
std::string PasswordHomeOf(const std::string& proc) {
    const std::string status = ProcFile(proc + "/status");
    const size_t at = status.find("\nUid:");
    if (at == std::string::npos) {
        return std::string();
    }
    const uid_t user = static_cast<uid_t>(std::strtoul(status.c_str() + at + 5, nullptr, 10));
    std::vector<char> buffer(16384);
    struct passwd entry;
    struct passwd* found = nullptr;
    return getpwuid_r(user, &entry, buffer.data(), buffer.size(), &found) == 0 &&
                   found != nullptr && found->pw_dir != nullptr
               ? std::string(found->pw_dir)
               : std::string();
}

// The prefix a Wine process works in, as Wine finds it: WINEPREFIX, else
// .wine in HOME, else in its user's home in the password database; empty
// when its environment cannot be read.
std::string PrefixOf(const std::string& proc) {
    std::string environment;
    if (!ReadProcFile(proc + "/environ", &environment)) {
        return std::string();
    }
    const std::string prefix = EnvironmentValue(environment, "WINEPREFIX");
    std::string home = EnvironmentValue(environment, "HOME");
    if (home.empty()) {
        home = PasswordHomeOf(proc);
    }
    return !prefix.empty() ? prefix : home.empty() ? std::string() : home + "/.wine";
}

// True when the Windows program was started by that name: its last name,
// with ".exe" added when it has no extension, as Windows adds it.
bool StartedAs(const std::string& windowsProgram, const std::string& imageName) {
    std::string name = LastName(windowsProgram);
    if (name.find('.') == std::string::npos) {
        name += ".exe";
    }
    return SameFileName(name, imageName);
}

// True when the process has a file of that name mapped: Wine maps a
// program's image from its file, whatever name the program was started
// by. Only the process's own user (or the superuser) may read its map.
bool MapsImage(const std::string& proc, const std::string& imageName) {
    const std::string maps = ProcFile(proc + "/maps");
    for (size_t start = 0; start < maps.size();) {
        size_t end = maps.find('\n', start);
        end = end == std::string::npos ? maps.size() : end;
        // address, permissions, offset, device, inode, then the file.
        size_t at = start;
        for (int field = 0; field < 5 && at < end; ++field) {
            at = maps.find(' ', at);
            at = at == std::string::npos || at > end ? end : maps.find_first_not_of(' ', at);
        }
        if (at < end && maps[at] == '/' &&
            SameFileName(LastName(maps.substr(at, end - at)), imageName)) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// Whether the process under /proc/ID runs the program: a Wine loader whose
// Windows program (its first argument, as Wine rewrites it, or the image
// it has mapped) has that name, in the prefix; or a native program of that
// name, or a script (whose process the kernel names after it, as it names
// a program).
bool Runs(const std::string& proc, const std::string& imageName, const std::string& winePrefix) {
    const std::string program = LastName(ProgramOf(proc));
    if (program.empty()) {
        return false;
    }
    if (program.compare(0, 4, "wine") != 0) {
        std::string name = ProcFile(proc + "/comm");
        name = name.substr(0, name.find('\n'));
        return (SameFileName(program, imageName) || SameFileName(name, imageName)) && !Ended(proc);
    }
    const std::string arguments = ProcFile(proc + "/cmdline");
    const std::string windowsProgram = arguments.substr(0, arguments.find('\0'));
    return (StartedAs(windowsProgram, imageName) || MapsImage(proc, imageName)) && !Ended(proc) &&
           (winePrefix.empty() || SameFolder(PrefixOf(proc), winePrefix));
}

}  // namespace

std::vector<unsigned long> ProcessesNamed(const std::string& imageName,
                                          const std::string& winePrefix) {
    std::vector<unsigned long> found;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) {
        return found;
    }
    const unsigned long self = static_cast<unsigned long>(getpid());
    while (const dirent* entry = readdir(proc)) {
        const std::string name = entry->d_name;
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const unsigned long id = std::stoul(name);
        if (id != self && Runs("/proc/" + name, imageName, winePrefix)) {
            found.push_back(id);
        }
    }
    closedir(proc);
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace host
