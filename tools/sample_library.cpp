#include "tools/sample_library.h"

#include <cstdio>

namespace sample {

std::string SceneryCfgText(int areas) {
    std::string text =
        "[General]\r\nTitle=FS9 World Scenery\r\nDescription=FS9 Scenery Data\r\n"
        "Cache_Size=500\r\nClean_on_Exit=TRUE\r\n";
    text.reserve(static_cast<size_t>(areas) * 150 + 200);
    char block[512];
    for (int n = 1; n <= areas; ++n) {
        std::snprintf(block, sizeof block,
                      "\r\n[Area.%03d]\r\nTitle=Addon Area %d\r\nTexture_ID=%d\r\n"
                      "Local=Addon Scenery\\Area %d\r\nLayer=%d\r\nActive=%s\r\nRequired=FALSE\r\n",
                      n, n, n, n, n, n % 10 == 0 ? "FALSE" : "TRUE");
        text += block;
    }
    return text;
}

}  // namespace sample
