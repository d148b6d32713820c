#include "paths/path_text.h"

#include <vector>

#include "platform/path_names.h"

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

}  // namespace

PathParts SplitPath(std::string_view path, const platform::CodePage& codePage) {
    PathParts parts;
    if (path.size() >= 2 && path[1] == ':') {
        parts.drive = std::string(path.substr(0, 2));
        path.remove_prefix(2);
    }
    platform::PathSplit split = platform::SplitAtLastName(path, codePage);
    parts.dir = std::move(split.folder);
    const size_t dot = split.name.find_last_of('.');
    if (dot != std::string::npos) {
        parts.ext = split.name.substr(dot);
        split.name.resize(dot);
    }
    parts.name = std::move(split.name);
    return parts;
}

std::string UnquotePath(std::string_view path) {
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
        path = path.substr(1, path.size() - 2);
    }
    return std::string(path);
}

bool CanonicalizePath(std::string_view path, size_t maxLength, std::string* result,
                      const platform::CodePage& codePage) {
    // The root stays as it is: a drive, then any leading backslashes.
    size_t rootLength = (path.size() >= 2 && path[1] == ':') ? 2 : 0;
    while (rootLength < path.size() && IsSeparator(path[rootLength])) {
        ++rootLength;
    }
    std::string_view rest = path.substr(rootLength);
    std::vector<std::string_view> elements;
    bool endsWithSeparator = false;
    while (!rest.empty()) {
        size_t end = 0;
        while (end < rest.size() && rest[end] != '\\') {
            end = codePage.Next(rest, end);
        }
        end = end < rest.size() ? end : std::string_view::npos;
        std::string_view element = rest.substr(0, end);
        endsWithSeparator = end != std::string_view::npos;
        rest.remove_prefix(endsWithSeparator ? end + 1 : rest.size());
        if (element == ".") {
            continue;
        }
        if (element == "..") {
            if (!elements.empty()) {
                elements.pop_back();
            }
            continue;
        }
        elements.push_back(element);
    }
    std::string canonical(path.substr(0, rootLength));
    for (size_t i = 0; i < elements.size(); ++i) {
        canonical += elements[i];
        if (i + 1 < elements.size() || endsWithSeparator) {
            canonical += '\\';
        }
    }
    if (canonical.size() > maxLength) {
        return false;
    }
    *result = std::move(canonical);
    return true;
}

bool InWindowsForm(std::string_view path) {
    return (path.size() >= 2 && path[1] == ':') || (!path.empty() && path[0] == '\\');
}

std::string TrimmedFolderPath(std::string text, const platform::CodePage& codePage) {
    while (text.size() > 3 && platform::EndsWithSeparator(text, codePage)) {
        text.pop_back();
    }
    return text;
}

std::string WithoutTrailingBackslashes(std::string text, const platform::CodePage& codePage) {
    while (platform::EndsWithSeparator(text, codePage) && text.back() == '\\') {
        text.pop_back();
    }
    return text;
}
