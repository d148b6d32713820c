#pragma once

#include <cstddef>

// Counts the heap memory that operator new hands out in this program (the
// usable size of each block), so that a benchmark can report the peak that
// a piece of code needed.
namespace heap_meter {

// Starts a new peak at the memory in use now.
void ResetPeak();
// The most memory in use since the last ResetPeak, less what was in use then.
std::size_t PeakSinceReset();

}  // namespace heap_meter
