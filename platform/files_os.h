#pragma once

#include <string>
#include <string_view>

// What each system provides to the portable part of the file seam
// (files.cpp): the mechanisms of ReplaceWholeFile, whose policy is the same
// everywhere.
namespace platform::os {

// True when the file exists and may not be written: the read-only
// attribute, or on posix no write permission bit (root may write anything,
// so the bits decide) or no write access for this user.
bool IsReadOnly(const std::string& path);

enum class Replacement {
    kDone,        // the file now holds the bytes
    kNoSibling,   // the sibling could not be created
    kNotWritten,  // the sibling could not be filled; it is gone again
    kNotMoved     // the sibling could not take the file's place; it is gone again
};

// Writes the bytes to TemporarySiblingOf(path), flushes them to disk and
// moves the sibling over the file in one step.
Replacement ReplaceThroughSibling(const std::string& path, std::string_view bytes);

}  // namespace platform::os
