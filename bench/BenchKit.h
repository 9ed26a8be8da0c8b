// What every benchmark here shares: runs of two (or more) contenders taken in turns
// (A B A B ...) so that a change in the machine's load hits each alike, the median and
// the spread of each contender's runs, and the two memory states a decode meets: a warm
// heap (the memory of the previous run is still with the process) and fresh memory
// (everything cached was given back to the kernel first, so the run faults fresh pages).
#pragma once

#include <malloc.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "imaging/PixelBlockPool.h"

namespace bench {

// The thread's processor time in milliseconds: steadier than the wall clock on a busy
// machine, and it counts the kernel's work for page faults as well.
inline double cpuMs() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

inline double wallMs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct Spread {
    double median = 0, min = 0, max = 0;
};

inline Spread spreadOf(std::vector<double> v) {
    Spread s;
    if (v.empty()) return s;
    std::sort(v.begin(), v.end());
    s.median = v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    s.min = v.front();
    s.max = v.back();
    return s;
}

// "12.345 (12.1-13.0)"
inline std::string format(const Spread& s, const char* unit = "") {
    char text[96];
    std::snprintf(text, sizeof text, "%.3f%s (%.3f-%.3f)", s.median, unit, s.min, s.max);
    return text;
}

enum class Memory { Warm, Fresh };

inline const char* nameOf(Memory m) { return m == Memory::Warm ? "warm heap" : "fresh memory"; }

// Gives every cached block back to the kernel: the decoders' kept blocks and the free
// memory the C library holds.
inline void releaseMemory() {
    img_lib::releasePixelBlocks();
    malloc_trim(0);
}

// Runs the contenders in turns for `rounds` rounds, each turn `repeat` calls long, and
// returns the milliseconds per call of every turn, per contender, on `clock` (processor
// time unless a contender runs another program). With fresh memory, cached memory is
// released before every call (outside the timing).
inline std::vector<std::vector<double>> interleave(const std::vector<std::function<void()>>& contenders, int rounds,
                                                   int repeat, Memory memory, double (*clock)() = cpuMs) {
    std::vector<std::vector<double>> times(contenders.size());
    for (const auto& run : contenders) run();  // caches, page tables, lazy set-up
    for (int r = 0; r < rounds; ++r) {
        for (size_t c = 0; c < contenders.size(); ++c) {
            double total = 0;
            for (int i = 0; i < repeat; ++i) {
                if (memory == Memory::Fresh) releaseMemory();
                const double start = clock();
                contenders[c]();
                total += clock() - start;
            }
            times[c].push_back(total / repeat);
        }
    }
    return times;
}

// How many calls make a turn of about `turnMs`, from one timed call.
inline int repeatFor(const std::function<void()>& run, double turnMs) {
    const double start = cpuMs();
    run();
    const double once = std::max(cpuMs() - start, 1e-3);
    return std::max(1, static_cast<int>(turnMs / once));
}

// The ratio of the medians, b / a: above 1 when `a` is faster.
inline double speedup(const std::vector<double>& a, const std::vector<double>& b) {
    return spreadOf(b).median / spreadOf(a).median;
}

// The per-round ratios b / a, for the spread of a ratio.
inline Spread ratioSpread(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> r;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) r.push_back(b[i] / a[i]);
    return spreadOf(r);
}

}  // namespace bench
