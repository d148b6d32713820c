#pragma once

#include <dirent.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "platform/whole_file.h"

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
    void Reset(int fd) {
        Close();
        fd_ = fd;
    }
    int Release() { return std::exchange(fd_, -1); }
    // Closes now; false when the close itself reports an error.
    bool Close() { return fd_ < 0 || close(std::exchange(fd_, -1)) == 0; }

  private:
    int fd_;
};

// Owns an open folder listing, also when memory runs out while it is read.
struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using UniqueDir = std::unique_ptr<DIR, DirCloser>;

// Writes every byte, retrying short writes and interruptions; false with
// the system's reason.
bool WriteAll(int fd, const char* data, std::size_t size, std::string* reason);
// The same from the file's offset at (where the file stands when at is
// negative), in as few writes as the system takes.
bool WriteAllAt(int fd, const char* data, std::size_t size, off_t at, std::string* reason);

// The writers' lock on a file: its first byte, a lock that the kernel keeps
// for the open file (F_OFD_SETLK) and that Wine's LockFileEx takes on the
// same byte, so that runs of the program under Wine and native runs see each
// other's. A run holds it for writing while it writes a temporary sibling.
// Waits for it; false when it cannot be had.
bool LockForWriting(int fd);
// Takes it for reading without waiting: false when a run holds it for
// writing (or it cannot be had at all).
bool TryLockForReading(int fd);

// A temporary sibling of a host file: fill writes its content, which is
// flushed to disk when flush is set and given the mode before it takes the
// file's name (over a link, the link itself is replaced). It holds the
// writers' lock from its creation until it has the file's name.
class FdSibling : public NewSibling {
  public:
    FdSibling(mode_t mode, bool flush, std::function<bool(int fd, std::string* reason)> fill)
        : mode_(mode), flush_(flush), fill_(std::move(fill)) {}
    bool Create(const std::string& name, bool* taken, std::string* reason) override;
    bool Fill(std::string* reason) override;
    bool MoveOver(const std::string& name, const std::string& path, std::string* reason) override;
    void Discard(const std::string& name) override;

  private:
    mode_t mode_;
    bool flush_;
    std::function<bool(int fd, std::string* reason)> fill_;
    UniqueFd file_{-1};
    UniqueFd lock_{-1};  // the lock, from the close to the rename
};

}  // namespace platform
