#pragma once

#include <dirent.h>
#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "platform/replacement.h"

namespace platform {

// Owns a file descriptor and closes it once.
class UniqueFd {
  public:
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { Close(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    bool Valid() const { return fd_ >= 0; }
    int Get() const { return fd_; }

    // Closes what it owns and takes the new descriptor.
    void Reset(int fd) {
        Close();
        fd_ = fd;
    }
    // Gives the descriptor up without closing it.
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

    // Closes now; false when the close itself reports an error.
    bool Close();

  private:
    int fd_;
};

// Owns an open folder listing and closes it once, also when memory runs
// out while it is read.
struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using UniqueDir = std::unique_ptr<DIR, DirCloser>;

// Writes every byte, retrying short writes and interruptions.
bool WriteAll(int fd, const char* data, std::size_t size);

// Gives the host file new content in one step: fill writes it to a new
// file at the file's temporary sibling (TemporarySiblingOf), which is given
// the mode, flushed to disk when flush is set, and renamed over the file
// (over a link, the link itself is replaced). Whatever stood at the
// sibling's name before is removed first, never written into. *error is
// the errno of the step that failed.
Replacement ReplaceThroughSibling(const std::string& hostPath, mode_t mode, bool flush,
                                  const std::function<bool(int fd)>& fill, int* error);

}  // namespace platform
