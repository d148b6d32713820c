#include <unistd.h>

#include <csignal>
#include <vector>

#include "platform/process.h"

namespace platform {

unsigned long CurrentProcessId() {
    return static_cast<unsigned long>(getpid());
}

bool ExecutablePath(std::string* path) {
    std::vector<char> buffer(256);
    for (;;) {
        ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return false;
        }
        if (static_cast<size_t>(length) < buffer.size()) {
            path->assign(buffer.data(), static_cast<size_t>(length));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

void IgnoreBrokenPipes() {
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace platform
