#include "tests/support/isolation.h"

#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

bool WriteProcFile(const char* path, const std::string& text) {
    std::ofstream out(path);
    out << text;
    out.flush();
    return static_cast<bool>(out);
}

// Keeps no capability: in a user namespace of its own the process would
// otherwise pass permission bits that refuse its user everywhere else.
bool DropCapabilities() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    return syscall(SYS_capset, &header, data) == 0;
}

int CodeOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Process 1 of the namespace: its own /proc, then the tests in a child of
// its own, which ends as any program does (a leak checker's report at its
// exit included); process 1 reaps every process left to it and ends with
// the tests' code.
[[noreturn]] void BeInit(const std::function<int()>& tests, bool root) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("proc", "/proc", "proc", MS_NOSUID | MS_NODEV | MS_NOEXEC, nullptr) != 0 ||
        (!root && !DropCapabilities())) {
        std::perror("tests: no /proc of their own");
        _exit(125);
    }
    std::fflush(nullptr);
    const pid_t runner = fork();
    if (runner == 0) {
        std::exit(tests());
    }
    for (;;) {
        int status = 0;
        const pid_t ended = wait(&status);
        if (ended == runner) {
            _exit(CodeOf(status));
        }
        if (ended < 0 && errno != EINTR) {
            _exit(124);
        }
    }
}

int WaitFor(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return 124;
        }
    }
    return CodeOf(status);
}

// In a child, so that this process's own children (a leak checker's
// helper too) stay where they were.
[[noreturn]] void EnterNamespaces(const std::function<int()>& tests) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const uid_t user = geteuid();
    const gid_t group = getegid();
    const bool root = user == 0;
    if (unshare(CLONE_NEWPID | CLONE_NEWNS | (root ? 0 : CLONE_NEWUSER)) != 0 ||
        (!root && !(WriteProcFile("/proc/self/setgroups", "deny") &&
                    WriteProcFile("/proc/self/uid_map",
                                  std::to_string(user) + " " + std::to_string(user) + " 1") &&
                    WriteProcFile("/proc/self/gid_map",
                                  std::to_string(group) + " " + std::to_string(group) + " 1")))) {
        std::fprintf(stderr,
                     "tests: no PID namespace of their own (%s): they see every process of "
                     "this machine, and a simulator running here makes commands refuse\n",
                     std::strerror(errno));
        std::exit(tests());
    }
    std::fflush(nullptr);
    const pid_t init = fork();
    if (init == 0) {
        BeInit(tests, root);
    }
    _exit(WaitFor(init));
}

}  // namespace

int RunIsolated(const std::function<int()>& tests) {
    std::fflush(nullptr);
    const pid_t leader = fork();
    if (leader == 0) {
        EnterNamespaces(tests);
    }
    return leader < 0 ? tests() : WaitFor(leader);
}
