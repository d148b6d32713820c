#pragma once

#include <functional>
#include <string>

// How every system replaces a whole file: the bytes go to the temporary
// sibling, which is flushed and moved over the file in one step.
namespace platform {

enum class Replacement {
    kDone,        // the file now holds the new content
    kNoSibling,   // the sibling could not be created
    kNotWritten,  // the sibling could not be filled; it is gone again
    kNotMoved     // the sibling could not take the file's place; it is gone again
};

// The rest of a replacement, the same on every system: where the disk
// refused the bytes the old file stays whole (false, with diskError in
// *reason); where no sibling could be made or moved there (no right to
// create files in the folder, a name too long, the file held open
// elsewhere), the file is written in place instead.
inline bool FinishReplacement(Replacement outcome, const std::string& diskError,
                              std::string* reason, const std::function<bool()>& writeInPlace) {
    switch (outcome) {
        case Replacement::kDone:
            return true;
        case Replacement::kNotWritten:
            *reason = diskError;
            return false;
        case Replacement::kNoSibling:
        case Replacement::kNotMoved:
            break;
    }
    return writeInPlace();
}

}  // namespace platform
