// Timing helpers of the benchmarks: wall and thread CPU time, medians of repeated runs, one
// printed line per figure with its goal.
#pragma once
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace bench {

inline double wallMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// CPU time of this thread: on a loaded machine the wall clock also counts the time spent waiting
// for a core, the CPU time does not.
inline double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Figures {
    double wallMedian = 0, wallMax = 0, cpuMedian = 0;
};

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

inline Figures measure(int runs, const std::function<void()>& action) {
    std::vector<double> wall, cpu;
    for (int i = 0; i < runs; ++i) {
        const double w = wallMs(), c = cpuMs();
        action();
        cpu.push_back(cpuMs() - c);
        wall.push_back(wallMs() - w);
    }
    return {median(wall), *std::max_element(wall.begin(), wall.end()), median(cpu)};
}

// goal 0: no goal, the figure is for information. The goal is checked on the wall median.
inline void report(const char* what, const Figures& f, double goal = 0) {
    std::printf("%-42s wall median %8.2f ms  max %8.2f ms  cpu median %8.2f ms", what, f.wallMedian, f.wallMax,
                f.cpuMedian);
    if (goal > 0) std::printf("  goal < %g ms%s", goal, f.wallMedian < goal ? "" : " MISSED");
    std::printf("\n");
}

} // namespace bench
