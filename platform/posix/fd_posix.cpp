#include "platform/posix/fd.h"

#include <unistd.h>

#include <cerrno>

namespace platform {

bool UniqueFd::Close() {
    if (fd_ < 0) {
        return true;
    }
    int result = close(fd_);
    fd_ = -1;
    return result == 0;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace platform
