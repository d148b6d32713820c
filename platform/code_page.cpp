#include "platform/code_page.h"

namespace platform {

namespace {

void Lead(std::array<bool, 256>& lead, int first, int last) {
    for (int byte = first; byte <= last; ++byte) {
        lead[static_cast<size_t>(byte)] = true;
    }
}

}  // namespace

CodePage::CodePage(int number) : number_(number) {
    switch (number) {
        case 932:  // Shift JIS
            Lead(lead_, 0x81, 0x9F);
            Lead(lead_, 0xE0, 0xFC);
            break;
        case 936:  // GBK
        case 949:  // Unified Hangul
        case 950:  // Big5
            Lead(lead_, 0x81, 0xFE);
            break;
        default:
            break;
    }
}

}  // namespace platform
