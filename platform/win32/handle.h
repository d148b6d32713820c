#pragma once

#include <windows.h>

#include <string>

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

    // Closes what it owns and takes the new handle.
    void Reset(HANDLE handle) {
        Close();
        handle_ = handle;
    }

    // Gives the handle up without closing it.
    HANDLE Release() {
        HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }

    // Closes now; false when the close itself fails.
    bool Close() {
        if (!Valid()) {
            return true;
        }
        BOOL ok = CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return ok != FALSE;
    }

  private:
    HANDLE handle_;
};

}  // namespace platform
