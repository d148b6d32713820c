#include "fileops/file_exists.h"

#include "platform/file_system.h"

int FileExists(const std::string& path) {
    return platform::QueryFileStatus(path) ? 1 : 0;
}
