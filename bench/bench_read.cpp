// Reading benchmark on a bible database: whole-table export against mdb-export (time ratio),
// the chapter statement the program sends on an open Database (median), and peak memory of
// the export. Usage: bench_read FILE.mdb [path/to/kantelo-db]
#include "jet/database.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct RunCost {
    double wall = 0;  // seconds
    double cpu = 0;   // user + system seconds
    long peakKb = 0;  // maximum resident set size
};

double seconds(const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; }

// Runs a command with stdout to /dev/null and measures it like /usr/bin/time -v would.
RunCost runMeasured(const std::vector<std::string>& argv) {
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, 1);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    RunCost cost;
    cost.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    cost.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    cost.peakKb = usage.ru_maxrss;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_read: %s failed\n", argv[0].c_str());
        std::exit(1);
    }
    return cost;
}

RunCost best(const std::vector<std::string>& argv, int runs) {
    RunCost b{1e9, 1e9, 0};
    for (int i = 0; i < runs; ++i) {
        RunCost c = runMeasured(argv);
        b.wall = std::min(b.wall, c.wall);
        b.cpu = std::min(b.cpu, c.cpu);
        b.peakKb = std::max(b.peakKb, c.peakKb);
    }
    return b;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_read FILE.mdb [kantelo-db]\n");
        return 2;
    }
    const std::string file = argv[1];
    const std::string tool = argc > 2 ? argv[2] : "kantelo-db";
    const int runs = 7;

    RunCost ours = best({tool, "export", file, "bible"}, runs);
    RunCost theirs = best({"mdb-export", file, "bible"}, runs);
    std::printf("export bible, best of %d   kantelo-db: %.3f s wall, %.3f s cpu   mdb-export: %.3f s wall, %.3f s cpu\n",
                runs, ours.wall, ours.cpu, theirs.wall, theirs.cpu);
    std::printf("ratio kantelo-db / mdb-export: %.2f wall, %.2f cpu (goal <= 0.25)\n", ours.wall / theirs.wall,
                ours.cpu / theirs.cpu);
    std::printf("peak memory of kantelo-db export: %.1f MB (goal < 50 MB)\n", double(ours.peakKb) / 1024.0);

    const std::string sql = "Select * from bible\r\nwhere BOOK = 19\r\nand CHAPTER = 119\r\nORDER BY Verse ASC\r\n";
    auto db = jet::Database::open(file);
    auto t0 = std::chrono::steady_clock::now();
    size_t rows = db->query(sql).rows.size();
    double first = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    std::vector<double> times;
    for (int i = 0; i < 200; ++i) {
        auto s = std::chrono::steady_clock::now();
        rows = db->query(sql).rows.size();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - s).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("chapter statement (%zu rows): first %.2f ms, median of 200 %.3f ms, 90th percentile %.3f ms (goal: median < 2 ms)\n",
                rows, first, times[times.size() / 2], times[times.size() * 9 / 10]);
    return 0;
}
