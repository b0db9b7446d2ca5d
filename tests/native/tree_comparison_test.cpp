// Two saved scans of one tree compared: a tree the test changed in every way a tree
// changes (files grown, shrunk, added, removed, renamed, a folder moved) gives exactly
// those changes, over the whole tree and folder by folder, and folders are matched by
// their path below the compared root.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "change_colours.h"
#include "compared_scan.h"
#include "largest_growth.h"
#include "saved_scan_reader.h"
#include "tree_comparison.h"
#include "treemap_render.h"

namespace {

// A scan in ncdu's format of the files at `files` (paths below the root, '/' between
// names) with their sizes.
std::string ScanText(const std::map<std::string, int64_t>& files) {
    struct Folder {
        std::map<std::string, Folder> folders;
        std::map<std::string, int64_t> files;
    };
    Folder root;
    for (const auto& [path, size] : files) {
        Folder* folder = &root;
        size_t at = 0;
        for (size_t slash; (slash = path.find('/', at)) != std::string::npos; at = slash + 1)
            folder = &folder->folders[path.substr(at, slash - at)];
        folder->files[path.substr(at)] = size;
    }
    std::function<std::string(const std::string&, const Folder&)> write =
        [&write](const std::string& name, const Folder& folder) {
            std::string text = "[{\"name\":\"" + name + "\"}";
            for (const auto& [sub, inside] : folder.folders)
                text += "," + write(sub, inside);
            for (const auto& [file, size] : folder.files)
                text += ",{\"name\":\"" + file + "\",\"asize\":" + std::to_string(size) + "}";
            return text + "]";
        };
    return "[1,2,{\"progname\":\"test\",\"progver\":\"1\",\"timestamp\":1}," +
           write("/data", root) + "]";
}

std::shared_ptr<SavedScan> ReadScan(const std::map<std::string, int64_t>& files) {
    const std::string text = ScanText(files);
    size_t offset = 0;
    const ReadBytes read = [&](char* buffer, size_t size) -> int64_t {
        const size_t n = std::min(size, text.size() - offset);
        std::memcpy(buffer, text.data() + offset, n);
        offset += n;
        return static_cast<int64_t>(n);
    };
    auto scan = std::make_shared<SavedScan>();
    SavedScanError error;
    EXPECT_TRUE(ReadSavedScan(read, *scan, error)) << error.Text();
    return scan;
}

std::vector<FolderEntry> Entries(const std::vector<std::pair<std::string, int64_t>>& named) {
    std::vector<FolderEntry> entries;
    for (const auto& [name, size] : named) {
        FolderEntry entry{};
        entry.strName = name;
        entry.nSize = size;
        entries.push_back(entry);
    }
    return entries;
}

const std::map<std::string, int64_t> kThen = {
    {"a.txt", 100},   {"grow.bin", 1000}, {"shrink.bin", 5000},          {"old-name.doc", 300},
    {"gone.tmp", 50}, {"src/x.c", 10},    {"src/move-me/big.iso", 7000},
};
const std::map<std::string, int64_t> kNow = {
    {"a.txt", 100},    {"grow.bin", 3000}, {"shrink.bin", 2000},    {"new-name.doc", 300},
    {"added.log", 70}, {"src/x.c", 10},    {"moved/big.iso", 7000},
};

} // namespace

TEST(TreeComparison, CountsEveryFileByHowItChanged) {
    const auto then = ReadScan(kThen);
    const auto now = ReadScan(kNow);
    const TreeChangeCounts counts =
        CountFileChanges(then->snapshot, then->root, now->snapshot, now->root);
    EXPECT_EQ(counts.nGrown, 1u);
    EXPECT_EQ(counts.nShrunk, 1u);
    EXPECT_EQ(counts.nSame, 2u);
    EXPECT_EQ(counts.nNew, 3u);  // the renamed file, the added one, the moved folder's file
    EXPECT_EQ(counts.nGone, 3u); // and their older selves
    EXPECT_EQ(counts.nGrowth, 2000 + 300 + 70 + 7000);
    EXPECT_EQ(counts.nShrinkage, 3000 + 300 + 50 + 7000);
    // Against nothing, everything is new.
    const TreeChangeCounts fresh =
        CountFileChanges(then->snapshot, FolderSnapshot::kNone, now->snapshot, now->root);
    EXPECT_EQ(fresh.nNew, kNow.size());
    EXPECT_EQ(fresh.nGone + fresh.nSame + fresh.nGrown + fresh.nShrunk, 0u);
}

TEST(TreeComparison, ShowsEachFolderWithItsBytesThenAndWhatIsGone) {
    ComparedScan compared;
    compared.Begin(ReadScan(kThen), "C:\\data\\", "then.json");
    compared.ShowFolder("C:\\data", Entries({{"moved", 7000}, {"src", 10}}),
                        Entries({{"a.txt", 100},
                                 {"added.log", 70},
                                 {"grow.bin", 3000},
                                 {"new-name.doc", 300},
                                 {"shrink.bin", 2000}}));
    const LevelChanges& top = compared.Shown();
    EXPECT_EQ(top.nBytesThen, 100 + 1000 + 5000 + 300 + 50 + 10 + 7000);
    EXPECT_EQ(top.folderBytesThen, (std::vector<int64_t>{-1, 7010}));
    EXPECT_EQ(top.fileBytesThen, (std::vector<int64_t>{100, -1, 1000, -1, 5000}));
    ASSERT_EQ(top.gone.size(), 2u);
    EXPECT_EQ(top.gone[0].name + " " + std::to_string(top.gone[0].nBytes), "gone.tmp 50");
    EXPECT_EQ(top.gone[1].name + " " + std::to_string(top.gone[1].nBytes), "old-name.doc 300");

    // A folder beneath, named in another case and with '/': the moved folder is gone from it.
    ASSERT_TRUE(compared.Covers("c:/DATA/src"));
    compared.ShowFolder("c:/DATA/src", {}, Entries({{"x.c", 10}}));
    EXPECT_EQ(compared.Shown().nBytesThen, 7010);
    EXPECT_EQ(compared.Shown().fileBytesThen, (std::vector<int64_t>{10}));
    ASSERT_EQ(compared.Shown().gone.size(), 1u);
    EXPECT_TRUE(compared.Shown().gone[0].bFolder);
    EXPECT_EQ(compared.Shown().gone[0].nBytes, 7000);

    // A folder the older scan never had: all of it is new, nothing gone.
    compared.ShowFolder("C:\\data\\moved", {}, Entries({{"big.iso", 7000}}));
    EXPECT_EQ(compared.OlderShown(), FolderSnapshot::kNone);
    EXPECT_EQ(compared.Shown().fileBytesThen, (std::vector<int64_t>{-1}));
    EXPECT_TRUE(compared.Shown().gone.empty());

    // Only the root and what lies beneath it are compared.
    EXPECT_FALSE(compared.Covers("C:\\data2"));
    EXPECT_FALSE(compared.Covers("C:\\"));
    compared.End();
    EXPECT_FALSE(compared.Covers("C:\\data"));
}

TEST(TreeComparison, TreemapTilesTakeTheHueOfTheirChangeByItsShare) {
    EXPECT_EQ(ChangeColour(0, 7000), kTreemapNeutral);
    EXPECT_EQ(ChangeColour(7000, 7000), kTreemapGrowth);
    EXPECT_EQ(ChangeColour(-7000, 7000), kTreemapShrinkage);
    const auto red = [](uint32_t colour) { return (colour >> 16) & 0xFF; };
    EXPECT_LT(red(ChangeColour(100, 7000)), red(ChangeColour(3000, 7000)));

    const auto then = ReadScan(kThen);
    const auto now = ReadScan(kNow);
    const TreemapLayout layout = LayOutTreemap(now->snapshot, now->root, 300, 200);
    const std::vector<uint32_t> colours =
        ChangeTileColours(layout, now->snapshot, then->snapshot, then->root);
    ASSERT_EQ(colours.size(), layout.tiles.size());
    std::map<std::string, uint32_t> byName;
    for (size_t i = 0; i < layout.tiles.size(); ++i) {
        const Tile& t = layout.tiles[i];
        if (t.kind == TileKind::File)
            byName[now->snapshot.FileName(layout.tiles[t.parent].ref, t.ref)] = colours[i];
    }
    EXPECT_EQ(byName.at("big.iso"), kTreemapGrowth); // moved: new, and the largest change
    EXPECT_EQ(byName.at("a.txt"), kTreemapNeutral);
    EXPECT_EQ(byName.at("x.c"), kTreemapNeutral);
    EXPECT_EQ(byName.at("grow.bin"), ChangeColour(2000, 7000));
    EXPECT_EQ(byName.at("shrink.bin"), ChangeColour(-3000, 7000));
    EXPECT_EQ(byName.count("gone.tmp"), 0u);
}

TEST(TreeComparison, LargestGrowthTakesNewFilesWholeAndMatchesByPath) {
    const auto then = ReadScan(kThen);
    const auto now = ReadScan(kNow);
    const FolderSnapshot& s = now->snapshot;
    const std::vector<FileGrowth> top =
        LargestGrowth(s, SnapshotScope(now->root), then->snapshot, then->root, 4);
    std::vector<std::string> names;
    for (const FileGrowth& g : top)
        names.push_back(std::string(s.FileName(g.file.folder, g.file.file)) + " " +
                        std::to_string(g.nBytesThen));
    // The moved folder's file is new; a.txt and x.c did not change, shrink.bin shrank.
    EXPECT_EQ(names, (std::vector<std::string>{"big.iso -1", "grow.bin 1000", "new-name.doc -1",
                                               "added.log -1"}));
    std::vector<FileRef> files;
    for (const FileGrowth& g : top)
        files.push_back(g.file);
    EXPECT_EQ(FilesBytesThen(s, now->root, then->snapshot, then->root, files),
              (std::vector<int64_t>{-1, 1000, -1, -1}));
}
