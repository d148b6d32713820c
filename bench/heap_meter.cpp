#include "bench/heap_meter.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

namespace {

// Single-threaded benchmarks: plain counters are enough.
std::size_t g_inUse = 0;
std::size_t g_peak = 0;
std::size_t g_base = 0;

void* Take(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    g_inUse += malloc_usable_size(block);
    if (g_inUse > g_peak) {
        g_peak = g_inUse;
    }
    return block;
}

void Give(void* block) {
    if (block != nullptr) {
        g_inUse -= malloc_usable_size(block);
        std::free(block);
    }
}

}  // namespace

void* operator new(std::size_t size) {
    return Take(size);
}
void* operator new[](std::size_t size) {
    return Take(size);
}
void operator delete(void* block) noexcept {
    Give(block);
}
void operator delete[](void* block) noexcept {
    Give(block);
}
void operator delete(void* block, std::size_t) noexcept {
    Give(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    Give(block);
}

namespace heap_meter {

void ResetPeak() {
    g_base = g_inUse;
    g_peak = g_inUse;
}

std::size_t PeakSinceReset() {
    return g_peak - g_base;
}

}  // namespace heap_meter
