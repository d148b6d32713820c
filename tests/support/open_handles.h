#pragma once

#include <cstddef>

// How many files, folders and other handles this process holds open now:
// what a test compares before and after to see that nothing was left open.
std::size_t OpenHandleCount();
