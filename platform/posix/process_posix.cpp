#include <csignal>

#include "platform/process.h"

namespace platform {

void IgnoreBrokenPipes() {
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace platform
