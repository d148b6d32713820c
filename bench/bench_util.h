#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

// Shared by the benchmarks: timing and the check of a target.
namespace bench {

// The best of `runs` timed runs in seconds; reset runs untimed before each.
inline double BestOf(
    int runs, const std::function<void()>& run, const std::function<void()>& reset = [] {}) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        reset();
        auto start = std::chrono::steady_clock::now();
        run();
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

// Prints a measured ratio against its target; true when it is met.
inline bool Check(const char* what, double value, double limit) {
    std::printf("  %-52s %6.2f (at most %.2f): %s\n", what, value, limit,
                value <= limit ? "met" : "NOT met");
    return value <= limit;
}

}  // namespace bench
