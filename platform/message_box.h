#pragma once

#include <string>

#include "platform/window_handle.h"

namespace platform {

inline constexpr unsigned kMbIconHand = 0x10;  // one OK button and the stop icon

// Shows a modal message box owned by the window (may be null). On posix the
// caption and the text go to standard error instead.
void ShowMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                    unsigned style);

}  // namespace platform
