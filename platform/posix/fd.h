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

// How many of its temporary siblings' names a replacement tries.
inline constexpr int kSiblingAttempts = 8;

// Writes every byte, retrying short writes and interruptions.
bool WriteAll(int fd, const char* data, std::size_t size);
// The same from the file's offset at (where the file stands when at is
// negative), in as few writes as the system takes.
bool WriteAllAt(int fd, const char* data, std::size_t size, off_t at);

// The writers' lock on a file: its first byte, a lock that the kernel keeps
// for the open file (F_OFD_SETLK) and that Wine's LockFileEx takes on the
// same byte, so that runs of the program under Wine and native runs see each
// other's. A run holds it for writing while it writes a temporary sibling.
// Waits for it; false when it cannot be had.
bool LockForWriting(int fd);
// Takes it for reading without waiting: false when a run holds it for
// writing (or it cannot be had at all).
bool TryLockForReading(int fd);

// Gives the host file new content in one step: fill writes it to a new
// file at one of this process's temporary siblings (TemporarySiblingOf),
// which holds the writers' lock while it is written, flushed to disk when flush
// is set, given the mode and renamed over the file (over a link, the link
// itself is replaced). Nothing that stood at a sibling's name before is
// written into or removed. *error is the errno of the step that failed.
Replacement ReplaceThroughSibling(const std::string& hostPath, mode_t mode, bool flush,
                                  const std::function<bool(int fd)>& fill, int* error);

}  // namespace platform
