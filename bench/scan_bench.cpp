// Times the scan engine where the program waits on it: listing a large folder, and how
// long a stop takes to end a background scan and a parallel walk. Makes its trees in the
// system's temp folder and removes them.
//   scan_bench [FILES] [ROUNDS]      (defaults: 100000 files, 20 rounds)
// With --tree, times the walk over a given tree's subfolders (as dscp-report walks them)
// without and with the folder snapshot, in turns, and tells what the snapshot takes.
//   scan_bench --tree DIR [ROUNDS]   (default: 11 rounds)
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
#include "bench_timing.h"
#include "folder_scan.h"
#include "folder_snapshot.h"
#include "item_listing.h"
#include "path_text.h"
#include "tree_totals.h"

namespace fs = std::filesystem;

namespace {

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

// The walk over the tree's subfolders, without the snapshot and with it (the folder's own
// level recorded first, as dscp-report does), in turns.
void SnapshotCost(const std::string& folder, int rounds) {
    const ItemListing listing = ListFolderItems(folder);
    std::vector<std::string> subfolders;
    SnapshotLevel level;
    for (const ListedItem& item : listing.files)
        level.AddFile(item.name.c_str(), item.nSize);
    for (const ListedItem& item : listing.folders) {
        level.AddFolder(item.name.c_str());
        subfolders.push_back(JoinPath(folder, item.name.c_str()));
    }
    std::vector<double> without, with;
    FolderSnapshot kept;
    for (int round = 0; round <= rounds; ++round) {
        std::vector<FolderTotals> totals;
        std::vector<WalkResult> results;
        auto start = Clock::now();
        TotalFolderTrees(subfolders, totals, results);
        const double plain = Milliseconds(Clock::now() - start);
        start = Clock::now();
        FolderSnapshot snapshot;
        snapshot.RecordLevel(folder, level);
        TotalFolderTrees(subfolders, totals, results, nullptr, 0, nullptr, nullptr, &snapshot);
        const double recorded = Milliseconds(Clock::now() - start);
        if (round == 0) {
            kept = std::move(snapshot); // the first round warms the cache and is not counted
            continue;
        }
        without.push_back(plain);
        with.push_back(recorded);
    }
    Report("TotalFolderTrees over the subfolders, totals only", without);
    Report("TotalFolderTrees over the subfolders, with the snapshot", with);
    std::sort(without.begin(), without.end());
    std::sort(with.begin(), with.end());
    std::printf("ratio of the medians: %.3f\n", with[with.size() / 2] / without[without.size() / 2]);

    // What the view will do on its thread: take a fresh scan of the whole tree into a
    // snapshot that holds it already, then read every subfolder's subfolders and totals.
    {
        FolderSnapshot again;
        std::vector<FolderTotals> totals;
        std::vector<WalkResult> results;
        again.RecordLevel(folder, level);
        TotalFolderTrees(subfolders, totals, results, nullptr, 0, nullptr, nullptr, &again);
        auto start = Clock::now();
        kept.Merge(std::move(again));
        std::printf("Merge of the whole tree into a snapshot holding it: %.2f ms\n",
                    Milliseconds(Clock::now() - start));
        start = Clock::now();
        size_t rows = 0;
        for (const std::string& path : subfolders) {
            const FolderSnapshot::Index sub = kept.Find(path);
            FolderTotals sum;
            for (auto c = kept.FirstSubfolder(sub); c != FolderSnapshot::kNone;
                 c = kept.NextSubfolder(c))
                rows += kept.GetTotals(c, sum);
        }
        std::printf("Find and read the rows of all %zu subfolders (%zu rows): %.3f ms\n",
                    subfolders.size(), rows, Milliseconds(Clock::now() - start));
    }

    const uint64_t folders = kept.FolderCount(), files = kept.FileCount();
    const uint64_t structure = folders * FolderSnapshot::kFolderBytes + files * FolderSnapshot::kFileBytes;
    const uint64_t names = kept.MemoryUsed() - structure;
    std::printf("snapshot: %llu folders, %llu files, %.1f MiB in all: %.1f bytes per entry "
                "besides its name, names %.1f bytes each with the terminator\n",
                static_cast<unsigned long long>(folders), static_cast<unsigned long long>(files),
                kept.MemoryUsed() / 1048576.0, double(structure) / double(folders + files),
                double(names) / double(folders + files));
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::string(argv[1]) == "--tree") {
        SnapshotCost(TrimTrailingSeparators(argv[2]), argc > 3 ? std::atoi(argv[3]) : 11);
        return 0;
    }
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
