#pragma once

#include <string>
#include <string_view>

#include "platform/code_page.h"

// Pure path-string services on Windows-form paths, the same on every
// platform. Nothing here touches the file system. A separator is looked for
// among the characters of the code page: the second byte of a double-byte
// character is never one.

// A path split into its four parts. The extension keeps its dot.
struct PathParts {
    std::string drive;  // "C:" when the second character is a colon, else empty
    std::string dir;    // up to and including the last backslash or slash
    std::string name;   // after the directory, up to the last dot
    std::string ext;    // from the last dot after the directory
};

PathParts SplitPath(std::string_view path, const platform::CodePage& codePage);

// The path without a pair of double quotes that encloses it as a whole.
std::string UnquotePath(std::string_view path);

// True when the text names a path in Windows form: it begins with a drive
// ("C:") or a backslash.
bool InWindowsForm(std::string_view path);

// Two rules for the separators that end a path, each as one reader of paths
// has it: the library's Local values and the resolved area folders lose
// every trailing backslash, the root's too, and keep forward slashes; a
// folder named as
// Windows names it in a full path loses every trailing separator, "\" and
// "/", but keeps the root's ("C:\").
std::string WithoutTrailingBackslashes(std::string text, const platform::CodePage& codePage);
std::string TrimmedFolderPath(std::string text, const platform::CodePage& codePage);

// Removes "." elements and resolves each ".." by dropping the element before
// it, never climbing above the path's root (drive and leading backslashes).
// False when the result would not fit in maxLength characters.
bool CanonicalizePath(std::string_view path, size_t maxLength, std::string* result,
                      const platform::CodePage& codePage);
