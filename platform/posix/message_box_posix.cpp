#include "platform/message_box.h"

#include <cstdio>

namespace platform {

void ShowMessageBox(WindowHandle, const std::string& text, const std::string& caption, unsigned) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

}  // namespace platform
