// Folder listing and the Wine-prefix switch: used by the command-line
// program only, so kept out of the files the dialog program links.
#include <windows.h>

#include <cstring>

#include "platform/files.h"

namespace platform {

bool ListFolder(const std::string& folder, std::vector<std::string>* names) {
    if (folder.find('\0') != std::string::npos) {
        return false;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    names->clear();
    do {
        if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0) {
            names->emplace_back(found.cFileName);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return true;
}

bool UseWinePrefix(const std::string&) {
    return false;  // on Windows every drive is the system's own
}

}  // namespace platform
