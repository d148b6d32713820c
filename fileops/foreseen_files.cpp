#include "fileops/foreseen_files.h"

#include "paths/path_text.h"
#include "platform/files.h"

bool ForeseenFiles::Exists(const std::string& path) const {
    const std::string key = AsciiLower(path);
    return made_.count(key) != 0 || (gone_.count(key) == 0 && platform::FileExists(path) != 0);
}

void ForeseenFiles::Make(const std::string& path) {
    const std::string key = AsciiLower(path);
    gone_.erase(key);
    made_.insert(key);
}

void ForeseenFiles::Remove(const std::string& path) {
    const std::string key = AsciiLower(path);
    made_.erase(key);
    gone_.insert(key);
}
