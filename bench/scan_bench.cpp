// Times the scan engine where the program waits on it: listing a large folder, and how
// long a stop takes to end a background scan and a parallel walk. Makes its trees in the
// system's temp folder and removes them.
//   scan_bench [FILES] [ROUNDS]      (defaults: 100000 files, 20 rounds)
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "background_scan.h"
#include "folder_scan.h"
#include "tree_totals.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Prints the median and the worst of `times` (milliseconds).
void Report(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%-52s median %8.2f ms   max %8.2f ms   (%zu runs)\n", what,
                times[times.size() / 2], times.back(), times.size());
}

void MakeFile(const fs::path& path) {
    fs::create_directories(path.parent_path());
    std::ofstream(path.string()).put('x');
}

// `roots` folders of `folders` subfolders, each holding one file.
std::vector<std::string> MakeRoots(const fs::path& top, int roots, int folders) {
    std::vector<std::string> paths;
    for (int r = 0; r < roots; ++r) {
        const fs::path root = top / ("r" + std::to_string(r));
        for (int d = 0; d < folders; ++d)
            MakeFile(root / ("d" + std::to_string(d)) / "f");
        paths.push_back(root.string());
    }
    return paths;
}

void ListLargeFolder(const fs::path& top, int files, int rounds) {
    const fs::path folder = top / "large";
    fs::create_directories(folder);
    for (int i = 0; i < files; ++i)
        std::ofstream((folder / ("f" + std::to_string(i))).string());
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        const FolderListing listing = ListFolder(folder.string().c_str());
        times.push_back(Milliseconds(Clock::now() - start));
        if (listing.files.size() != static_cast<size_t>(files)) {
            std::fprintf(stderr, "listed %zu of %d files\n", listing.files.size(), files);
            std::exit(1);
        }
    }
    Report(("ListFolder, " + std::to_string(files) + " empty files").c_str(), times);
}

// A scan over 60 subfolders stopped after a varying number of rows: the time Stop takes.
void StopBackgroundScan(const fs::path& top, int rounds) {
    const std::vector<std::string> subfolders = MakeRoots(top / "scan", 60, 30);
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        std::mutex mutex;
        size_t rows = 0;
        bool finished = false;
        BackgroundScan scan;
        scan.Start(
            subfolders,
            [&](size_t, const FolderTotals&) {
                std::lock_guard<std::mutex> lock(mutex);
                ++rows;
            },
            [&](int64_t) {
                std::lock_guard<std::mutex> lock(mutex);
                finished = true;
            });
        const size_t wanted = static_cast<size_t>(round % 4 * 10);
        for (;;) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (rows >= wanted || finished)
                    break;
            }
            std::this_thread::yield();
        }
        const auto start = Clock::now();
        scan.Stop();
        times.push_back(Milliseconds(Clock::now() - start));
    }
    Report("BackgroundScan::Stop mid-scan", times);
}

// A walk of 40 roots stopped once the first root is totalled: from raising the flag to
// the walk's return, every thread joined.
void StopWalk(const fs::path& top, int rounds) {
    const std::vector<std::string> roots = MakeRoots(top / "walk", 40, 20);
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        std::atomic<bool> stop{false};
        Clock::time_point raised;
        std::vector<FolderTotals> totals;
        std::vector<WalkResult> results;
        TotalFolderTrees(roots, totals, results, &stop, 2,
                         [&](size_t, const FolderTotals&, WalkResult) {
                             if (!stop) {
                                 raised = Clock::now();
                                 stop = true;
                             }
                         });
        times.push_back(Milliseconds(Clock::now() - raised));
    }
    Report("TotalFolderTrees, stop to return (2 threads)", times);
}

} // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 20;
    if (files < 1 || rounds < 1) {
        std::fprintf(stderr, "usage: scan_bench [FILES] [ROUNDS]\n");
        return 2;
    }
    const fs::path top = fs::temp_directory_path() /
                         ("dscp-bench-" + std::to_string(Clock::now().time_since_epoch().count()));
    ListLargeFolder(top, files, std::min(rounds, 5));
    StopBackgroundScan(top, rounds);
    StopWalk(top, rounds);
    std::error_code ignored;
    fs::remove_all(top, ignored);
    return 0;
}
