#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace platform {

// A path the system can be given: a NUL byte would cut it short on its way.
inline bool Reachable(const std::string& path) {
    return path.find('\0') == std::string::npos;
}

// Owns a kernel handle and closes it once.
class AutoCloseHandle {
  public:
    explicit AutoCloseHandle(HANDLE handle) : handle_(handle) {}
    ~AutoCloseHandle() { Close(); }
    AutoCloseHandle(const AutoCloseHandle&) = delete;
    AutoCloseHandle& operator=(const AutoCloseHandle&) = delete;

    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE Get() const { return handle_; }
    void Reset(HANDLE handle) {
        Close();
        handle_ = handle;
    }

    // Closes now; false when the close itself fails.
    bool Close() {
        return !Valid() || CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != FALSE;
    }

  private:
    HANDLE handle_;
};

}  // namespace platform
