// Times the snapshot's queries: the largest files, the totals by type and searches by name,
// on the benchmark tree and on a made snapshot of 1,000,000 files. Beside each, the floor: one
// pass over every file's size (what any query beneath the folder must at least do), and for
// the largest files a full sort of every file by size, which the partial selection avoids.
//   query_bench [LIST] [ROUNDS]   (11 rounds)
// LIST is the benchmark tree as `bench/make_tree.py DIR --list` prints it (empty or left out:
// the made snapshot only).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "bench_timing.h"
#include "file_search.h"
#include "folder_snapshot.h"
#include "largest_files.h"
#include "path_text.h"
#include "type_totals.h"

namespace {

// 1,000 folders of 1,000 files beneath /made, names and sizes of a real disk's mix.
FolderSnapshot MadeSnapshot() {
    FolderSnapshot s;
    s.SetMemoryCap(UINT64_MAX);
    const char* const extensions[] = {".txt", ".jpg", ".dll", ".log", ".dat", "",     ".cpp",
                                      ".h",   ".png", ".xml", ".iso", ".JPG", ".mp4", ".tar.gz"};
    std::mt19937_64 rng(1);
    SnapshotLevel top;
    for (int d = 0; d < 1000; ++d)
        top.AddFolder(("folder" + std::to_string(d)).c_str());
    s.RecordLevel("/made", top);
    for (int d = 0; d < 1000; ++d) {
        SnapshotLevel level;
        for (int f = 0; f < 1000; ++f) {
            const std::string name = (rng() % 3 ? "file" : "IMG_") + std::to_string(d * 1000 + f) +
                                     extensions[rng() % 14];
            level.AddFile(name.c_str(),
                          static_cast<int64_t>(rng() % (uint64_t{1} << (rng() % 34))));
        }
        s.RecordLevel(JoinPath("/made", ("folder" + std::to_string(d)).c_str()), level);
    }
    return s;
}

// The tree `make_tree.py --list` printed, recorded level by level beneath /tree as a walk
// would record it (parents first).
FolderSnapshot ListedSnapshot(const char* listFile) {
    struct Level {
        SnapshotLevel level;
    };
    std::unordered_map<std::string, Level> levels;
    std::vector<std::string> order{""};
    levels[""];
    std::ifstream in(listFile);
    std::string line;
    auto split = [](const std::string& path, std::string& parent) {
        const size_t slash = path.rfind('/');
        parent = slash == std::string::npos ? std::string() : path.substr(0, slash);
        return slash == std::string::npos ? path : path.substr(slash + 1);
    };
    while (std::getline(in, line)) {
        std::string parent;
        if (line.compare(0, 2, "D\t") == 0) {
            const std::string path = line.substr(2);
            const std::string name = split(path, parent);
            levels[path];
            order.push_back(path);
            levels[parent].level.AddFolder(name.c_str());
        } else if (line.compare(0, 2, "F\t") == 0) {
            const size_t tab = line.find('\t', 2);
            const int64_t size = std::stoll(line.substr(2, tab - 2));
            const std::string name = split(line.substr(tab + 1), parent);
            levels[parent].level.AddFile(name.c_str(), size);
        }
    }
    FolderSnapshot s;
    s.SetMemoryCap(UINT64_MAX);
    for (const std::string& path : order) {
        std::string native = "/tree";
        if (!path.empty())
            native += kPathSeparator + path;
        for (char& c : native)
            if (c == '/')
                c = kPathSeparator;
        s.RecordLevel(native, levels[path].level);
    }
    return s;
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Runs `what` `rounds` times after one warm-up; prints the medians of the wall time and of
// the process's CPU time (on a shared machine the latter is the steadier) and returns the
// CPU median.
double Time(const char* name, int rounds, const std::function<size_t()>& what, double floor) {
    std::vector<double> times, cpuTimes;
    size_t answer = 0;
    for (int round = 0; round <= rounds; ++round) {
        const auto start = Clock::now();
        const std::clock_t cpuStart = std::clock();
        answer = what();
        const double cpu = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        const double ms = Milliseconds(Clock::now() - start);
        if (round > 0) {
            times.push_back(ms);
            cpuTimes.push_back(cpu);
        }
    }
    const double cpu = Median(cpuTimes);
    std::printf("%-44s wall %9.2f ms  cpu %9.2f ms  %6.2f x floor  (%zu rows)\n", name,
                Median(times), cpu, floor > 0 ? cpu / floor : 1.0, answer);
    return cpu;
}

void Measure(const FolderSnapshot& s, FolderSnapshot::Index top, int rounds) {
    std::printf("%u folders, %llu files held\n", s.FolderCount(),
                static_cast<unsigned long long>(s.FileCount()));
    const double floor = Time(
        "floor: every file's size, summed", rounds,
        [&] {
            int64_t bytes = 0;
            ForEachFolderWithFiles(s, top, nullptr, [&](FolderSnapshot::Index folder) {
                for (uint32_t i = 0; i < s.OwnFileCount(folder); ++i)
                    bytes += s.FileSize(folder, i);
            });
            return static_cast<size_t>(bytes != 0);
        },
        0);
    Time(
        "full sort of every file by size (not used)", rounds,
        [&] {
            std::vector<std::pair<int64_t, FileRef>> all;
            ForEachFolderWithFiles(s, top, nullptr, [&](FolderSnapshot::Index folder) {
                for (uint32_t i = 0; i < s.OwnFileCount(folder); ++i)
                    all.push_back({s.FileSize(folder, i), {folder, i}});
            });
            std::sort(all.begin(), all.end(),
                      [](const auto& a, const auto& b) { return a.first > b.first; });
            return all.size();
        },
        floor);
    Time(
        "largest 1,000 files", rounds, [&] { return LargestFiles(s, top, 1000).size(); }, floor);
    Time(
        "totals by type", rounds, [&] { return TypeTotals(s, top).size(); }, floor);
    auto search = [&](const char* pattern, bool regex) {
        return [&s, top, pattern, regex] {
            SearchCriteria criteria;
            criteria.pattern = pattern;
            criteria.bRegex = regex;
            SearchResult result;
            SearchFiles(s, top, criteria, result);
            return result.files.size();
        };
    };
    Time("search, wildcard *.iso", rounds, search("*.iso", false), floor);
    Time("search, wildcard img_*9?.jp*", rounds, search("img_*9?.jp*", false), floor);
    Time("search, substring 1234", rounds, search("1234", false), floor);
    Time("search, regex ^img_[0-9]+9\\.jpg$", std::min(rounds, 5),
         search("^img_[0-9]+9\\.jpg$", true), floor);
    Time("search, regex 1234", std::min(rounds, 5), search("1234", true), floor);
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 11;
    if (argc > 1 && argv[1][0]) {
        const FolderSnapshot listed = ListedSnapshot(argv[1]);
        const FolderSnapshot::Index top = listed.Find("/tree");
        if (top == FolderSnapshot::kNone || !listed.IsHeld(top)) {
            std::fprintf(stderr, "%s: not a whole tree\n", argv[1]);
            return 1;
        }
        std::printf("== %s\n", argv[1]);
        Measure(listed, top, rounds);
    }
    std::printf("== made snapshot\n");
    const FolderSnapshot made = MadeSnapshot();
    Measure(made, made.Find("/made"), rounds);
    return 0;
}
