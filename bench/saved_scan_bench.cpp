// Reading a saved scan: time per read, and what the reading process takes at its peak
// against the snapshot's own size (docs/perf.md).
//   saved_scan_bench FILE [RUNS]
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

#include "bench_timing.h"
#include "saved_scan_reader.h"

namespace {

// Resident memory of this process now, and at its peak so far, in KiB.
long ResidentKiB() {
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * 4;
}

long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

bool ReadOnce(const char* fileName, double& ms, uint64_t& snapshotBytes, uint64_t& entries) {
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file)
        return false;
    const auto start = Clock::now();
    SavedScan scan;
    SavedScanError error;
    const bool ok = ReadSavedScan(file, scan, error);
    ms = Milliseconds(Clock::now() - start);
    std::fclose(file);
    if (!ok)
        std::fprintf(stderr, "%s: %s\n", fileName, error.Text().c_str());
    snapshotBytes = scan.snapshot.MemoryHeld();
    entries = scan.snapshot.FolderCount() + scan.snapshot.FileCount();
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    const long before = ResidentKiB();
    double ms = 0;
    uint64_t bytes = 0, entries = 0;
    if (!ReadOnce(argv[1], ms, bytes, entries))
        return 1;
    const long peak = PeakKiB();
    std::printf("%llu entries; snapshot %.1f MiB; process peak %.1f MiB, %.1f MiB above its "
                "start: %.2f x the snapshot\n",
                static_cast<unsigned long long>(entries), bytes / 1048576.0, peak / 1024.0,
                (peak - before) / 1024.0, (peak - before) * 1024.0 / static_cast<double>(bytes));
    std::vector<double> times{ms};
    for (int i = 1; i < runs; ++i) {
        if (!ReadOnce(argv[1], ms, bytes, entries))
            return 1;
        times.push_back(ms);
    }
    Report("read the saved scan into a snapshot", times);
    return 0;
}
