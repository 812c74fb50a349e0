#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace praxora::bench {

using Clock = std::chrono::steady_clock;

inline double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Median wall time of runs calls of run, in milliseconds.
inline double MedianMilliseconds(const std::function<void()>& run, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        run();
        times.push_back(Milliseconds(Clock::now() - start));
    }
    return Median(times);
}

}  // namespace praxora::bench
