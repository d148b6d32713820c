#include <windows.h>

#include "platform/code_page.h"

namespace platform {

CodePage SystemCodePage() {
    std::array<bool, 256> lead{};
    for (size_t byte = 0x80; byte < lead.size(); ++byte) {
        lead[byte] = IsDBCSLeadByte(static_cast<BYTE>(byte)) != FALSE;
    }
    return CodePage(static_cast<int>(GetACP()), lead);
}

}  // namespace platform
