#pragma once
// The one line the probes that time something from outside end with.
#include <algorithm>
#include <cstdio>
#include <vector>

// Prints "median …, worst … over N runs"; 1 (failure) when nothing was measured.
inline int reportTimes(std::vector<double> times) {
    if (times.empty()) return 1;
    std::sort(times.begin(), times.end());
    const double median = times.size() % 2
                              ? times[times.size() / 2]
                              : (times[times.size() / 2 - 1] + times[times.size() / 2]) / 2;
    std::printf("median %.1f ms, worst %.1f ms over %zu runs\n", median, times.back(),
                times.size());
    return 0;
}
