#include "tests/support/child_process.h"

#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>

int RunInChild(const std::function<int()>& body) {
    std::fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
        int code = 99;
        try {
            code = body();
        } catch (...) {
            code = 98;  // an exception left the code under test
        }
        _exit(code);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int RunAsNobody(const std::function<int()>& body) {
    return RunInChild([&] {
        const passwd* nobody = getpwnam("nobody");
        if (nobody == nullptr || setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 ||
            setuid(nobody->pw_uid) != 0) {
            return 97;
        }
        return body();
    });
}

bool RunsAsSuperuser() {
    return geteuid() == 0;
}

bool LimitAddressSpace(unsigned long headroom) {
    unsigned long pages = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) {
        return false;
    }
    bool read = std::fscanf(statm, "%lu", &pages) == 1;
    std::fclose(statm);
    const rlimit limit{pages * static_cast<unsigned long>(sysconf(_SC_PAGESIZE)) + headroom,
                       RLIM_INFINITY};
    return read && setrlimit(RLIMIT_AS, &limit) == 0;
}
