// Median and 99th percentile of per-look-up times, for the dictionary
// benchmark's native and Windows sides.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace bench {

struct LookupStats {
    double medianUs = 0, p99Us = 0, meanUs = 0;
};

inline LookupStats statsOf(std::vector<double> us) {
    LookupStats s;
    if (us.empty()) return s;
    std::sort(us.begin(), us.end());
    s.medianUs = us[us.size() / 2];
    s.p99Us = us[std::min(us.size() - 1, us.size() * 99 / 100)];
    double sum = 0;
    for (double v : us) sum += v;
    s.meanUs = sum / static_cast<double>(us.size());
    return s;
}

// Times `f(i)` for every i, once each, in microseconds.
template <class F>
std::vector<double> timeEach(std::size_t n, F f) {
    std::vector<double> us(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        f(i);
        const auto t1 = std::chrono::steady_clock::now();
        us[i] = std::chrono::duration<double, std::micro>(t1 - t0).count();
    }
    return us;
}

inline void printStats(const char* name, const LookupStats& s) {
    std::printf("%-34s median %8.2f us   p99 %9.2f us   mean %8.2f us\n", name, s.medianUs, s.p99Us,
                s.meanUs);
}

}  // namespace bench
