// Comparing two saved scans of one tree, after both are read: every file of both matched by
// path and counted by how it changed, and Largest Files' largest growth (the first 1,000).
//   compare_bench OLDER NEWER [RUNS]
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_timing.h"
#include "largest_growth.h"
#include "saved_scan_reader.h"
#include "tree_comparison.h"

namespace {

bool Read(const char* fileName, SavedScan& scan) {
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file)
        return false;
    SavedScanError error;
    const bool ok = ReadSavedScan(file, scan, error);
    std::fclose(file);
    if (!ok)
        std::fprintf(stderr, "%s: %s\n", fileName, error.Text().c_str());
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
    SavedScan older, newer;
    if (!Read(argv[1], older) || !Read(argv[2], newer))
        return 1;
    std::vector<double> times;
    TreeChangeCounts counts;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        counts = CountFileChanges(older.snapshot, older.root, newer.snapshot, newer.root);
        times.push_back(Milliseconds(Clock::now() - start));
    }
    std::printf("%llu grown, %llu shrunk, %llu same, %llu new, %llu gone\n",
                static_cast<unsigned long long>(counts.nGrown),
                static_cast<unsigned long long>(counts.nShrunk),
                static_cast<unsigned long long>(counts.nSame),
                static_cast<unsigned long long>(counts.nNew),
                static_cast<unsigned long long>(counts.nGone));
    Report("compare every file of two scans", times);
    times.clear();
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        LargestGrowth(newer.snapshot, SnapshotScope(newer.root), older.snapshot, older.root, 1000);
        times.push_back(Milliseconds(Clock::now() - start));
    }
    Report("largest growth, the first 1,000", times);
    return 0;
}
