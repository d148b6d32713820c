#include "platform/files.h"

#include "platform/files_os.h"

namespace platform {

bool ReplaceWholeFile(const std::string& path, std::string_view bytes) {
    if (os::IsReadOnly(path)) {
        return false;
    }
    switch (os::ReplaceThroughSibling(path, bytes)) {
        case os::Replacement::kDone:
            return true;
        case os::Replacement::kNotWritten:
            return false;  // the disk refused the bytes; the old file stays whole
        case os::Replacement::kNoSibling:
        case os::Replacement::kNotMoved:
            break;
    }
    return WriteWholeFile(path, bytes);
}

}  // namespace platform
