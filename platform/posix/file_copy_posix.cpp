#include "platform/posix/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/posix/fd.h"

namespace platform {

namespace {

// Copies in the kernel where it can, else through a buffer.
bool CopyBytes(int from, int to, off_t size) {
    off_t left = size;
    while (left > 0) {
        ssize_t copied = copy_file_range(from, nullptr, to, nullptr, static_cast<size_t>(left), 0);
        if (copied < 0 && errno == EINTR) {
            continue;
        }
        if (copied <= 0) {
            break;
        }
        left -= copied;
    }
    if (left == 0) {
        return true;
    }
    std::vector<char> buffer(1 << 20);
    for (;;) {
        ssize_t got = read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        if (!WriteAll(to, buffer.data(), static_cast<size_t>(got))) {
            return false;
        }
    }
}

std::string TemporaryNameFor(const std::string& target) {
    size_t slash = target.find_last_of('/');
    std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    return folder + "." + name + ".copy-XXXXXX";
}

}  // namespace

bool CopyFileReplacing(const std::string& source, const std::string& target) {
    UniqueFd from(open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status;
    if (!from.Valid() || fstat(from.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    std::string temporary = TemporaryNameFor(target);
    UniqueFd to(mkostemp(temporary.data(), O_CLOEXEC));
    if (!to.Valid()) {
        return false;
    }
    bool ok = CopyBytes(from.Get(), to.Get(), status.st_size) &&
              fchmod(to.Get(), status.st_mode & 07777) == 0;
    ok = to.Close() && ok;
    ok = ok && rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temporary.c_str());
    }
    return ok;
}

}  // namespace platform
