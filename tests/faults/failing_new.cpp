#include "tests/faults/failing_new.h"

#include <cstdlib>
#include <new>

namespace {

// The test program is single-threaded; plain counters are enough.
long g_left = -1;  // allocations before the failure; -1 when disarmed
bool g_persistent = false;
long g_made = 0;

void* Allocate(std::size_t size) {
    if (g_left == 0) {
        if (!g_persistent) {
            g_left = -1;
        }
        throw std::bad_alloc();
    }
    if (g_left > 0) {
        --g_left;
    }
    ++g_made;
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

}  // namespace

// clang-format off
void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
// clang-format on

namespace failing_new {

void FailAfter(long count, bool persistent) {
    g_left = count;
    g_persistent = persistent;
    g_made = 0;
}

void Disarm() {
    g_left = -1;
    g_made = 0;
}

long Made() {
    return g_made;
}

}  // namespace failing_new
