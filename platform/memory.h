#pragma once

#include <exception>

namespace platform {

// Runs step; false when it could not finish because memory ran out (or a
// size grew past what the library holds): what it did before stays done and
// no exception passes, so that an operation ends where the machine ends it,
// never the process.
template <typename Step>
bool WithinMemory(Step&& step) {
    try {
        step();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace platform
