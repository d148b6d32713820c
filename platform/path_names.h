#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"

// Names within Windows-form paths, as the seam needs them; nothing here
// touches the file system.
namespace platform {

// text with A-Z turned into a-z, as Windows compares file names.
inline std::string AsciiLower(std::string text) {
    for (char& c : text) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
    }
    return text;
}

// True when two names of a folder's entries name the same entry, as
// Windows matches them: equal but for ASCII case.
inline bool SameFileName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + ('a' - 'A')) : a[i];
        const char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + ('a' - 'A')) : b[i];
        if (x != y) {
            return false;
        }
    }
    return true;
}

// True when one of the names names the same entry as name.
inline bool AmongNames(std::string_view name, const std::vector<std::string>& names) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& other) { return SameFileName(name, other); });
}

// Where the path's last separator ("\\" or "/") stands, found character by
// character in the code page (never the second byte of a double-byte
// character); npos when there is none.
inline size_t LastSeparatorOf(std::string_view path, const CodePage& codePage) {
    size_t last = std::string_view::npos;
    for (size_t i = 0; i < path.size(); i = codePage.Next(path, i)) {
        if (path[i] == '\\' || path[i] == '/') {
            last = i;
        }
    }
    return last;
}

// True when the text's last character is a separator.
inline bool EndsWithSeparator(std::string_view text, const CodePage& codePage) {
    return !text.empty() && LastSeparatorOf(text, codePage) == text.size() - 1;
}

// A path cut just after its last separator.
struct PathSplit {
    std::string folder;  // with the separator that ends it; empty when there is none
    std::string name;    // the last name: everything after that separator
};

// The one place a Windows path is split into its folder and its last name.
inline PathSplit SplitAtLastName(std::string_view path, const CodePage& codePage) {
    const size_t last = LastSeparatorOf(path, codePage);
    const size_t cut = last == std::string_view::npos ? 0 : last + 1;
    return {std::string(path.substr(0, cut)), std::string(path.substr(cut))};
}

// The one place a path is joined: the folder, the separator unless the
// folder is empty or ends with one (as "C:\" does), the name. A Windows
// path's separators are "\" and "/"; a host path's (separator '/') "/".
inline std::string JoinedPath(std::string_view folder, std::string_view name,
                              const CodePage& codePage, char separator = '\\') {
    const bool ends = separator == '/' ? !folder.empty() && folder.back() == '/'
                                       : EndsWithSeparator(folder, codePage);
    std::string path(folder);
    if (!folder.empty() && !ends) {
        path += separator;
    }
    return path.append(name);
}

// The folder that holds the path's last name: C:\a\b gives C:\a, C:\a
// gives C:\, a name without a separator gives empty text.
inline std::string FolderOf(std::string_view path, const CodePage& codePage) {
    std::string folder = SplitAtLastName(path, codePage).folder;
    const bool root = folder.size() == 1 || (folder.size() == 3 && folder[1] == ':');
    if (!folder.empty() && !root) {
        folder.pop_back();
    }
    return folder;
}

// The path's last name: everything after its last separator.
inline std::string LastNameOf(std::string_view path, const CodePage& codePage) {
    return SplitAtLastName(path, codePage).name;
}

}  // namespace platform
