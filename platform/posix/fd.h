#pragma once

#include <cstddef>

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

}  // namespace platform
