#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string_view>

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

// Prints a measured ratio against its target; true when it is met. A short
// run's figures are printed without a verdict.
inline bool Check(const char* what, double value, double limit, bool shortRun = false) {
    std::printf("  %-52s %6.2f (at most %.2f)%s\n", what, value, limit,
                shortRun         ? ""
                : value <= limit ? ": met"
                                 : ": NOT met");
    return value <= limit;
}

// A short run (bench/run_*.sh --short): few runs over small inputs, to show
// that the benchmark works. Its figures say little, so the targets are
// printed but not held against them.
inline bool ShortRun(int argc, char** argv) {
    return argc > 1 && std::string_view(argv[1]) == "--short";
}

// The benchmark's exit code: 1 when a target was missed in a full run.
inline int Verdict(bool met, bool shortRun) {
    if (shortRun) {
        std::printf("  (a short run: the targets are not checked)\n");
        return 0;
    }
    return met ? 0 : 1;
}

}  // namespace bench
