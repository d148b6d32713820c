#include "platform/in_place_write.h"

#include <string>

namespace platform {

bool WriteIntoOpenFile(OpenFileWriter& file, std::string_view bytes) {
    std::uint64_t old = 0;
    if (!file.Size(&old)) {
        return false;
    }
    const std::string tail = "\r\n" + std::string(bytes);
    std::string head(bytes);
    if (old >= tail.size()) {
        if (!file.WriteAt(old - tail.size(), tail) || !file.Flush()) {
            return false;
        }
    } else if (old > head.size()) {
        head.append(static_cast<size_t>(old - head.size()), '\n');
    }
    return file.WriteAt(0, head) && file.SetLength(bytes.size()) && file.Flush();
}

}  // namespace platform
