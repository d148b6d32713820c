#include "platform/message_box.h"

#include <windows.h>

namespace platform {

static_assert(kMbIconHand == MB_ICONHAND);

void ShowMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                    unsigned style) {
    MessageBoxA(static_cast<HWND>(owner), text.c_str(), caption.c_str(), style);
}

}  // namespace platform
