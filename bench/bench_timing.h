#pragma once
// What the native benchmarks share: a clock, and how a run's times are reported.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using Clock = std::chrono::steady_clock;

inline double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Prints the median and the worst of `times` (milliseconds).
inline void Report(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%-52s median %8.2f ms   max %8.2f ms   (%zu runs)\n", what,
                times[times.size() / 2], times.back(), times.size());
}
