#include "platform/code_page.h"

namespace platform {

CodePage SystemCodePage() {
    return CodePage(1252);
}

}  // namespace platform
