// Times the treemap's picture of a whole tree: the walk records the tree into a snapshot
// once, then the layout of every entry, and the layout with the shading, are timed apart.
//   treemap_bench DIR [WIDTH HEIGHT] [ROUNDS] [PICTURE.ppm]
//   (defaults: 1200 × 400, 11 rounds; the last picture is written to PICTURE.ppm if named)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "folder_snapshot.h"
#include "item_listing.h"
#include "path_text.h"
#include "tree_totals.h"
#include "treemap_layout.h"
#include "treemap_render.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: treemap_bench DIR [WIDTH HEIGHT] [ROUNDS] [PICTURE.ppm]\n");
        return 2;
    }
    const std::string folder = TrimTrailingSeparators(argv[1]);
    const int width = argc > 3 ? std::atoi(argv[2]) : 1200;
    const int height = argc > 3 ? std::atoi(argv[3]) : 400;
    const int rounds = argc > 4 ? std::atoi(argv[4]) : 11;

    // The folder's own level, then its subfolders' trees, as the program records them.
    const ItemListing listing = ListFolderItems(folder);
    SnapshotLevel level;
    std::vector<std::string> subfolders;
    for (const ListedItem& item : listing.files)
        level.AddFile(item.name.c_str(), item.nSize);
    for (const ListedItem& item : listing.folders) {
        level.AddFolder(item.name.c_str());
        subfolders.push_back(JoinPath(folder, item.name.c_str()));
    }
    FolderSnapshot snapshot;
    snapshot.RecordLevel(folder, level);
    std::vector<FolderTotals> totals;
    std::vector<WalkResult> results;
    TotalFolderTrees(subfolders, totals, results, nullptr, 0, nullptr, nullptr, &snapshot);
    const FolderSnapshot::Index shown = snapshot.Find(folder);
    if (shown == FolderSnapshot::kNone || !snapshot.IsHeld(shown)) {
        std::fprintf(stderr, "%s: not walked whole\n", folder.c_str());
        return 1;
    }

    std::vector<double> layoutTimes, pictureTimes;
    std::vector<uint32_t> pixels;
    size_t tiles = 0, extensions = 0;
    for (int round = 0; round <= rounds; ++round) {
        auto start = Clock::now();
        const TreemapLayout layout = LayOutTreemap(snapshot, shown, width, height);
        const double laid = Milliseconds(Clock::now() - start);
        start = Clock::now();
        const TreemapLayout again = LayOutTreemap(snapshot, shown, width, height);
        RenderTreemap(again, pixels);
        const double drawn = Milliseconds(Clock::now() - start);
        tiles = layout.tiles.size();
        extensions = layout.extensions.size();
        if (round == 0)
            continue; // warms the caches
        layoutTimes.push_back(laid);
        pictureTimes.push_back(drawn);
    }
    std::printf("%s: %u folders, %llu files held; %zu tiles, %zu extensions, %d x %d pane\n",
                folder.c_str(), snapshot.FolderCount(),
                static_cast<unsigned long long>(snapshot.FileCount()), tiles, extensions, width,
                height);
    Report("layout", layoutTimes);
    Report("layout and shading", pictureTimes);
    if (argc > 5) {
        std::ofstream out(argv[5], std::ios::binary);
        out << "P6\n" << width << " " << height << "\n255\n";
        for (const uint32_t pixel : pixels) {
            const char rgb[3] = {static_cast<char>(pixel >> 16), static_cast<char>(pixel >> 8),
                                 static_cast<char>(pixel)};
            out.write(rgb, 3);
        }
    }
    return 0;
}
