#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>

#include "platform/files_os.h"

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

    // Closes now; false when the close itself reports an error.
    bool Close();

  private:
    int fd_;
};

// Writes every byte, retrying short writes and interruptions.
bool WriteAll(int fd, const char* data, std::size_t size);

// Gives the host file new content in one step: fill writes it to the
// file's temporary sibling (TemporarySiblingOf), which is flushed, given
// the mode and renamed over the file. Every file the program writes whole
// goes this way: the settings file and each shell copy.
os::Replacement ReplaceThroughSibling(const std::string& hostPath, mode_t mode,
                                      const std::function<bool(int fd)>& fill);

}  // namespace platform
