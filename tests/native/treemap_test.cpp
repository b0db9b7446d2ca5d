#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <cmath>
#include <functional>
#include <map>
#include <random>
#include <string>

#include "folder_snapshot.h"
#include "path_text.h"
#include "treemap_labels.h"
#include "treemap_layout.h"
#include "treemap_render.h"

namespace {

const std::string kRoot = "/treemap";

// A random tree recorded level by level straight into a snapshot: folders of random width
// and depth, files of long-tailed sizes, some of them empty.
void RecordRandomTree(FolderSnapshot& s, const std::string& path, std::mt19937& rng, int depth) {
    SnapshotLevel level;
    const int files = std::uniform_int_distribution<int>(0, 12)(rng);
    std::lognormal_distribution<double> size(6.0, 3.0);
    const char* exts[] = {".txt", ".jpg", ".DLL", "", ".dll", ".log"};
    for (int i = 0; i < files; ++i) {
        const int64_t bytes = rng() % 5 == 0 ? 0 : static_cast<int64_t>(size(rng));
        level.AddFile(("f" + std::to_string(i) + exts[rng() % 6]).c_str(), bytes);
    }
    const int folders = depth < 4 ? std::uniform_int_distribution<int>(0, 5)(rng) : 0;
    for (int i = 0; i < folders; ++i)
        level.AddFolder(("d" + std::to_string(i)).c_str());
    s.RecordLevel(path, level);
    for (int i = 0; i < folders; ++i)
        RecordRandomTree(s, JoinPath(path, ("d" + std::to_string(i)).c_str()), rng, depth + 1);
}

// One folder holding the given files.
FolderSnapshot::Index RecordFiles(FolderSnapshot& s, const std::vector<int64_t>& sizes) {
    SnapshotLevel level;
    for (size_t i = 0; i < sizes.size(); ++i)
        level.AddFile(("f" + std::to_string(i) + ".bin").c_str(), sizes[i]);
    return s.RecordLevel(kRoot, level);
}

double Area(const Tile& t) {
    return (static_cast<double>(t.x1) - t.x0) * (static_cast<double>(t.y1) - t.y0);
}

double Aspect(double w, double h) {
    return std::max(w, h) / std::min(w, h);
}

// The worst aspect ratio of the tiles of at least a pixel's area, squarified as laid out
// and sliced-and-diced (each level cut across the other way) with the same areas.
std::pair<double, double> WorstAspects(const TreemapLayout& layout) {
    double squarified = 1, sliced = 1;
    std::function<void(uint32_t, double, double, double, double)> slice =
        [&](uint32_t t, double x0, double y0, double x1, double y1) {
            const Tile& tile = layout.tiles[t];
            if (Area(tile) >= 1.0) {
                squarified = std::max(squarified, Aspect(tile.x1 - tile.x0, tile.y1 - tile.y0));
                sliced = std::max(sliced, Aspect(x1 - x0, y1 - y0));
            }
            double pos = tile.depth % 2 == 0 ? x0 : y0;
            for (uint32_t c = tile.firstChild; c < tile.firstChild + tile.childCount; ++c) {
                const double share = Area(layout.tiles[c]) / Area(tile);
                if (tile.depth % 2 == 0) {
                    const double next = pos + share * (x1 - x0);
                    slice(c, pos, y0, next, y1);
                    pos = next;
                } else {
                    const double next = pos + share * (y1 - y0);
                    slice(c, x0, pos, x1, next);
                    pos = next;
                }
            }
        };
    slice(0, 0, 0, layout.width, layout.height);
    return {squarified, sliced};
}

// Everything a laid-out final tree must hold.
void ExpectSound(const FolderSnapshot& s, FolderSnapshot::Index shown,
                 const TreemapLayout& layout) {
    FolderTotals totals;
    ASSERT_TRUE(s.GetTotals(shown, totals));
    if (totals.nSize == 0) {
        EXPECT_TRUE(layout.tiles.empty());
        return;
    }
    ASSERT_FALSE(layout.tiles.empty());
    const double W = layout.width, H = layout.height;
    const double scale = W * H / static_cast<double>(totals.nSize);
    std::vector<int> covered(static_cast<size_t>(layout.width * layout.height), 0);
    for (uint32_t i = 0; i < layout.tiles.size(); ++i) {
        const Tile& t = layout.tiles[i];
        SCOPED_TRACE("tile " + std::to_string(i));
        ASSERT_GT(t.bytes, 0);
        ASSERT_NE(t.kind, TileKind::Placeholder);
        const double w = t.x1 - t.x0, h = t.y1 - t.y0;
        // Proportional to its bytes: exactly as floats hold it, and within a pixel of
        // rounding per side once in pixels.
        const double expected = static_cast<double>(t.bytes) * scale;
        EXPECT_NEAR(Area(t), expected, 2e-3 * (w + h) + 1e-3 + 1e-5 * expected);
        const TileRect r = t.PixelRect();
        EXPECT_LE(std::fabs(r.Width() * static_cast<double>(r.Height()) - expected), w + h + 1);
        if (t.parent != Tile::kNone) {
            const Tile& p = layout.tiles[t.parent];
            EXPECT_TRUE(t.x0 >= p.x0 && t.x1 <= p.x1 && t.y0 >= p.y0 && t.y1 <= p.y1);
            EXPECT_EQ(t.depth, p.depth + 1);
            if (t.kind == TileKind::File) {
                EXPECT_EQ(t.bytes, s.FileSize(p.ref, t.ref));
            }
        }
        if (t.childCount) {
            double children = 0;
            int64_t bytes = 0;
            for (uint32_t c = t.firstChild; c < t.firstChild + t.childCount; ++c) {
                children += Area(layout.tiles[c]);
                bytes += layout.tiles[c].bytes;
                EXPECT_EQ(layout.tiles[c].parent, i);
            }
            EXPECT_EQ(bytes, t.bytes);
            EXPECT_NEAR(children, Area(t), 1e-4 * Area(t) + 1e-3);
        } else {
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x)
                    ++covered[static_cast<size_t>(y * layout.width + x)];
        }
    }
    // The tiles without children share the pane: no pixel twice, none left out.
    EXPECT_EQ(std::count(covered.begin(), covered.end(), 1), static_cast<long>(covered.size()));

    const auto [squarified, sliced] = WorstAspects(layout);
    EXPECT_LE(squarified, sliced * (1 + 1e-6));

    // A hit lands on the deepest tile holding the pixel; its chain ends at the shown folder.
    std::mt19937 rng(7);
    for (int k = 0; k < 200; ++k) {
        const int x = static_cast<int>(rng() % layout.width),
                  y = static_cast<int>(rng() % layout.height);
        const uint32_t hit = layout.HitTest(x, y);
        ASSERT_NE(hit, Tile::kNone);
        const TileRect r = layout.tiles[hit].PixelRect();
        EXPECT_TRUE(x >= r.left && x < r.right && y >= r.top && y < r.bottom);
        EXPECT_EQ(layout.tiles[hit].childCount, 0u);
        const std::vector<uint32_t> chain = layout.Ancestors(hit);
        EXPECT_EQ(chain.back(), 0u);
        if (hit != 0) {
            EXPECT_EQ(layout.ChildOfShown(hit), chain[chain.size() - 2]);
        }
    }
}

} // namespace

TEST(TreemapLayout, RandomTreesAreNestedProportionalAndSquarer) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        FolderSnapshot s;
        RecordRandomTree(s, kRoot, rng, 0);
        const FolderSnapshot::Index root = s.Find(kRoot);
        ASSERT_TRUE(s.IsHeld(root));
        const int sizes[][2] = {{1200, 400}, {1, 1}, {37, 301}, {2, 900}};
        const auto& pane = sizes[seed % 4];
        ExpectSound(s, root, LayOutTreemap(s, root, pane[0], pane[1]));
    }
}

TEST(TreemapLayout, EdgeCases) {
    {
        SCOPED_TRACE("empty files and a folder of nothing get no tile");
        FolderSnapshot s;
        const auto root = RecordFiles(s, {0, 0, 0});
        EXPECT_TRUE(LayOutTreemap(s, root, 100, 100).tiles.empty());
        const auto mixed = RecordFiles(s, {0, 5, 0, 3});
        const TreemapLayout layout = LayOutTreemap(s, mixed, 100, 100);
        EXPECT_EQ(layout.tiles.size(), 3u);
        ExpectSound(s, mixed, layout);
    }
    {
        SCOPED_TRACE("a single file fills the pane");
        FolderSnapshot s;
        const auto root = RecordFiles(s, {42});
        const TreemapLayout layout = LayOutTreemap(s, root, 640, 10);
        ASSERT_EQ(layout.tiles.size(), 2u);
        const Tile& file = layout.tiles[1];
        EXPECT_EQ(file.kind, TileKind::File);
        EXPECT_TRUE(file.x0 == 0 && file.y0 == 0 && file.x1 == 640 && file.y1 == 10);
        ExpectSound(s, root, LayOutTreemap(s, root, 1, 1));
    }
    {
        SCOPED_TRACE("one huge file and thousands of tiny ones");
        FolderSnapshot s;
        std::vector<int64_t> sizes{int64_t{1} << 30};
        for (int i = 0; i < 3000; ++i)
            sizes.push_back(1000 + i);
        const auto root = RecordFiles(s, sizes);
        const TreemapLayout layout = LayOutTreemap(s, root, 1200, 400);
        ASSERT_EQ(layout.tiles.size(), 3002u);
        EXPECT_EQ(layout.tiles[1].bytes, int64_t{1} << 30); // largest first
        ExpectSound(s, root, layout);
    }
}

TEST(TreemapLayout, FilesNotHeldAreOneTile) {
    FolderSnapshot s;
    s.RecordLevel("/elsewhere", SnapshotLevel());
    s.SetMemoryCap(s.MemoryHeld() + 2 * FolderSnapshot::kFolderBytes); // folders fit, files not
    const auto root = RecordFiles(s, {10, 20, 30});
    ASSERT_FALSE(s.FilesHeld(root));
    const TreemapLayout layout = LayOutTreemap(s, root, 50, 50);
    ASSERT_EQ(layout.tiles.size(), 2u);
    EXPECT_EQ(layout.tiles[1].kind, TileKind::FilesNotHeld);
    EXPECT_EQ(layout.tiles[1].bytes, 60);
    ExpectSound(s, root, layout);
}

// By bytes on disk a sparse file shrinks to its blocks and a one-byte file grows to one; a
// folder's own blocks count in its tile, and a file whose blocks are not known gets none.
TEST(TreemapLayout, BytesOnDiskMakeTheAreas) {
    FolderSnapshot s;
    SnapshotLevel top;
    top.AddFile("sparse.img", 10 << 20, 0, 4096);
    top.AddFile("one.txt", 1, 0, 4096);
    top.AddFile("unknown.txt", 5000, 0, -1);
    top.AddFolder("d");
    const auto root = s.RecordLevel(kRoot, top);
    SnapshotLevel d;
    d.AddFile("f", 1000, 0, 1024);
    d.SetOwn(0, 7168, 0);
    s.RecordLevel(JoinPath(kRoot, "d"), d);
    TreemapLayoutOptions options;
    options.measure = SizeMeasure::OnDisk;
    const TreemapLayout layout = LayOutTreemap(s, root, 160, 100, options);
    ASSERT_EQ(layout.tiles.size(), 5u); // the root, three children, the file in d
    EXPECT_EQ(layout.tiles[0].bytes, 16384);
    std::map<std::string, double> shares;
    for (uint32_t c = 1; c <= 3; ++c) {
        const Tile& t = layout.tiles[c];
        const std::string name = t.kind == TileKind::File ? s.FileName(root, t.ref) : s.Name(t.ref);
        shares[name] = Area(t) / (160.0 * 100.0);
    }
    EXPECT_NEAR(shares["d"], 0.5, 0.01);
    EXPECT_NEAR(shares["sparse.img"], 0.25, 0.01);
    EXPECT_NEAR(shares["one.txt"], 0.25, 0.01);
    EXPECT_EQ(LayOutTreemap(s, root, 160, 100).tiles[1].bytes, 10 << 20); // by length
}

// While the scan runs: totalled subfolders are drawn, the others are placeholders sized by
// what is known beneath them or by their neighbours' mean, and nothing is divided beneath.
TEST(TreemapLayout, PlaceholdersUntilFinal) {
    FolderSnapshot s;
    SnapshotLevel top;
    top.AddFile("a.txt", 300);
    top.AddFolder("done");
    top.AddFolder("waiting");
    top.AddFolder("partly");
    s.RecordLevel(kRoot, top);
    SnapshotLevel done;
    done.AddFile("x.jpg", 100);
    s.RecordLevel(JoinPath(kRoot, "done"), done);
    SnapshotLevel partly;
    partly.AddFile("y.jpg", 1000);
    partly.AddFolder("deeper");
    s.RecordLevel(JoinPath(kRoot, "partly"), partly);

    const auto root = s.Find(kRoot);
    ASSERT_FALSE(s.IsFinal(root));
    const TreemapLayout layout = LayOutTreemap(s, root, 200, 100);
    ASSERT_EQ(layout.tiles.size(), 6u); // the shown folder, its file, three subfolders, x.jpg
    EXPECT_EQ(layout.tiles[0].kind, TileKind::Folder);
    std::map<std::string, const Tile*> byName;
    for (const Tile& t : layout.tiles)
        if (t.parent == 0 && t.kind != TileKind::File)
            byName[s.Name(t.ref)] = &t;
    EXPECT_EQ(byName["done"]->kind, TileKind::Folder);
    EXPECT_EQ(byName["waiting"]->kind, TileKind::Placeholder);
    EXPECT_EQ(byName["partly"]->kind, TileKind::Placeholder);
    EXPECT_EQ(byName["partly"]->bytes, 1000);
    EXPECT_EQ(byName["partly"]->childCount, 0u);
    // "waiting" is known by nothing: it weighs the mean of the totalled file and folder.
    EXPECT_NEAR(Area(*byName["waiting"]) / Area(*byName["done"]), 2.0, 1e-3);

    // Totalled elsewhere (by the running scan): an undivided folder tile of those bytes.
    const TreemapSettled settled{{byName["waiting"]->ref, 900}};
    TreemapLayoutOptions options;
    options.settled = &settled;
    const TreemapLayout withSettled = LayOutTreemap(s, root, 200, 100, options);
    const auto waiting =
        std::find_if(withSettled.tiles.begin(), withSettled.tiles.end(),
                     [&](const Tile& t) { return t.ref == settled.begin()->first; });
    ASSERT_NE(waiting, withSettled.tiles.end());
    EXPECT_EQ(waiting->kind, TileKind::Folder);
    EXPECT_EQ(waiting->bytes, 900);
    EXPECT_EQ(waiting->childCount, 0u);

    s.RecordLevel(JoinPath(kRoot, "waiting"), SnapshotLevel());
    s.RecordLevel(JoinPath(JoinPath(kRoot, "partly"), "deeper"), SnapshotLevel());
    ASSERT_TRUE(s.IsFinal(root));
    ExpectSound(s, root, LayOutTreemap(s, root, 200, 100));
}

// The drive overview: one level by bytes, empty entries left out, refs their positions.
TEST(TreemapLayout, FlatLevel) {
    const TreemapLayout layout = LayOutFlatTreemap({300, 0, 100}, 40, 10);
    ASSERT_EQ(layout.tiles.size(), 3u);
    EXPECT_EQ(layout.tiles[0].bytes, 400);
    EXPECT_EQ(layout.tiles[1].ref, 0u);
    EXPECT_EQ(layout.tiles[2].ref, 2u);
    EXPECT_EQ(layout.tiles[1].PixelRect().Width() * 10, 300);
    EXPECT_EQ(layout.HitTest(35, 5), 2u);
    EXPECT_TRUE(LayOutFlatTreemap({0, 0}, 40, 10).tiles.empty());
}

TEST(TreemapRender, ColoursByBytesShadingAndPlaceholders) {
    FolderSnapshot s;
    SnapshotLevel level;
    level.AddFile("big.ISO", 5000);
    level.AddFile("small.iso", 1000); // the same type in another case
    for (int i = 0; i < 14; ++i)      // more types than the palette has hues
        level.AddFile(("f." + std::to_string(i)).c_str(), 100 + i);
    level.AddFolder("later");
    const auto root = s.RecordLevel(kRoot, level);
    const TreemapLayout layout = LayOutTreemap(s, root, 300, 200);
    TypeColourTable table;
    const std::vector<uint32_t> colours = ExtensionColours(layout, table);
    const Tile& big = layout.tiles[1];
    ASSERT_EQ(big.bytes, 5000);
    EXPECT_EQ(layout.extensions[big.extension].name, "iso");
    EXPECT_EQ(layout.extensions[big.extension].bytes, 6000);
    // Every type its own colour, the largest the table's first; none for files not there.
    EXPECT_EQ(table.Count(), colours.size() - 1);
    EXPECT_EQ(std::set<uint32_t>(colours.begin() + 1, colours.end()).size(), colours.size() - 1);
    EXPECT_EQ(colours[big.extension], TypeColourTable().ColourOf("x"));
    EXPECT_EQ(colours[0], kTreemapNeutral); // no file without an extension
    // Drawn again, after other types took colours, each keeps its own.
    table.ColourOf("other");
    EXPECT_EQ(ExtensionColours(layout, table), colours);

    std::vector<uint32_t> pixels;
    RenderTreemap(layout, pixels);
    ASSERT_EQ(pixels.size(), 300u * 200u);
    const TileRect r = big.PixelRect();
    // Lit from the upper left: brighter there than at the lower right, never the raw colour's
    // hue lost (the largest channel stays the largest).
    const uint32_t upper = pixels[static_cast<size_t>((r.top + 2) * 300 + r.left + 2)];
    const uint32_t lower = pixels[static_cast<size_t>((r.bottom - 3) * 300 + r.right - 3)];
    auto sum = [](uint32_t p) { return (p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF); };
    EXPECT_GT(sum(upper), sum(lower));
    for (uint32_t i = 0; i < layout.tiles.size(); ++i) {
        const Tile& t = layout.tiles[i];
        if (t.kind != TileKind::Placeholder)
            continue;
        const TileRect p = t.PixelRect(); // inside its frame
        EXPECT_EQ(
            pixels[static_cast<size_t>((p.top + p.bottom) / 2 * 300 + (p.left + p.right) / 2)],
            kTreemapPlaceholder);
    }

    // Nothing to draw: the background only, however small the pane.
    FolderSnapshot empty;
    const auto none = RecordFiles(empty, {0});
    RenderTreemap(LayOutTreemap(empty, none, 1, 1), pixels);
    EXPECT_EQ(pixels, std::vector<uint32_t>(1, kTreemapBackground));
}

// A shown folder of two subfolders (one holding a folder of its own) and a file.
struct NestedFolders {
    FolderSnapshot s;
    FolderSnapshot::Index root;
    NestedFolders() {
        SnapshotLevel top;
        top.AddFile("loose.bin", 3000);
        top.AddFolder("big");
        top.AddFolder("tiny");
        root = s.RecordLevel(kRoot, top);
        SnapshotLevel big;
        big.AddFile("a.dat", 20000);
        big.AddFolder("inner");
        s.RecordLevel(JoinPath(kRoot, "big"), big);
        SnapshotLevel inner;
        inner.AddFile("b.dat", 20000);
        inner.AddFile("c.txt", 5000);
        s.RecordLevel(JoinPath(JoinPath(kRoot, "big"), "inner"), inner);
        SnapshotLevel tiny;
        tiny.AddFile("t.dat", 10);
        s.RecordLevel(JoinPath(kRoot, "tiny"), tiny);
    }
};

uint32_t TileOfKindAtDepth(const TreemapLayout& layout, TileKind kind, uint16_t depth) {
    uint32_t found = Tile::kNone;
    for (uint32_t i = 0; i < layout.tiles.size(); ++i)
        if (layout.tiles[i].kind == kind && layout.tiles[i].depth == depth &&
            (found == Tile::kNone || layout.tiles[i].bytes > layout.tiles[found].bytes))
            found = i;
    return found;
}

uint32_t Brightness(uint32_t p) {
    return (p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF);
}

// The shown folder's subfolders are framed in a dark line, a level further down in a fainter
// one; files are not; labels go where a line fits, inside the frame.
TEST(TreemapRender, FramesAndLabelsMarkTheFolders) {
    NestedFolders n;
    const int w = 400, h = 300;
    const TreemapLayout layout = LayOutTreemap(n.s, n.root, w, h);
    std::vector<uint32_t> pixels;
    RenderTreemap(layout, pixels);
    auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y * w + x)]; };

    const uint32_t big = TileOfKindAtDepth(layout, TileKind::Folder, 1);
    const uint32_t inner = TileOfKindAtDepth(layout, TileKind::Folder, 2);
    const uint32_t loose = TileOfKindAtDepth(layout, TileKind::File, 1);
    ASSERT_NE(big, Tile::kNone);
    ASSERT_NE(inner, Tile::kNone);
    ASSERT_NE(loose, Tile::kNone);
    const TileRect rb = layout.tiles[big].PixelRect();
    for (const auto& [x, y] : {std::pair{rb.left, rb.top},
                               {rb.right - 1, rb.bottom - 1},
                               {(rb.left + rb.right) / 2, rb.top},
                               {rb.left, (rb.top + rb.bottom) / 2}})
        EXPECT_EQ(at(x, y), kTreemapFrame) << x << "," << y;
    const TileRect ri = layout.tiles[inner].PixelRect();
    const int my = (ri.top + ri.bottom) / 2;
    if (ri.left > rb.left) {
        EXPECT_NE(at(ri.left, my), kTreemapFrame);
        EXPECT_LT(Brightness(at(ri.left, my)), Brightness(at(ri.left + 1, my)) * 8 / 10);
    } else {
        EXPECT_LT(Brightness(at(ri.right - 1, my)), Brightness(at(ri.right - 2, my)) * 8 / 10);
    }
    const TileRect rl = layout.tiles[loose].PixelRect();
    EXPECT_NE(at(rl.left + 1, rl.top + 1), kTreemapFrame);
    EXPECT_NE(at((rl.left + rl.right) / 2, rl.top), kTreemapFrame);

    const std::vector<TreemapLabel> labels = PlaceTreemapLabels(layout, TreemapLabelMetrics());
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels[0].tile, big);
    EXPECT_EQ(labels[0].lines, 2);
    EXPECT_GT(labels[0].box.left, rb.left);
    EXPECT_GT(labels[0].box.top, rb.top);
    EXPECT_LT(labels[0].box.right, rb.right);
    EXPECT_EQ(labels[0].box.Height(), 2 * TreemapLabelMetrics().lineHeight);
    for (const TreemapLabel& label : labels)
        EXPECT_NE(layout.tiles[label.tile].kind, TileKind::File);
    // The tiny folder's sliver holds no line.
    for (const TreemapLabel& label : labels)
        EXPECT_NE(layout.tiles[label.tile].bytes, 10);
    TreemapLabelMetrics tall;
    tall.lineHeight = h;
    EXPECT_TRUE(PlaceTreemapLabels(layout, tall).empty());
}

// The drives: each its own hue by position, framed.
TEST(TreemapRender, DrivesTakeTheirOwnHues) {
    const TreemapLayout layout = LayOutFlatTreemap({500, 300}, 80, 40);
    ASSERT_TRUE(layout.flat);
    std::vector<uint32_t> pixels;
    RenderTreemap(layout, pixels);
    ASSERT_EQ(layout.tiles.size(), 3u);
    auto hueAtMiddle = [&](uint32_t tile) {
        const TileRect r = layout.tiles[tile].PixelRect();
        return pixels[static_cast<size_t>((r.top + r.bottom) / 2 * 80 + (r.left + r.right) / 2)];
    };
    // The largest channel of each middle pixel is its drive's hue's.
    auto largest = [](uint32_t p) {
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        return r >= g && r >= b ? 16 : g >= b ? 8 : 0;
    };
    const std::vector<uint32_t> colours = TreemapDriveColours(2);
    EXPECT_EQ(largest(hueAtMiddle(1)), largest(colours[layout.tiles[1].ref]));
    EXPECT_EQ(largest(hueAtMiddle(2)), largest(colours[layout.tiles[2].ref]));
    EXPECT_NE(largest(hueAtMiddle(1)), largest(hueAtMiddle(2)));
    const TileRect r = layout.tiles[1].PixelRect();
    EXPECT_EQ(pixels[static_cast<size_t>(r.top * 80 + r.left)], kTreemapFrame);
}

// The keyboard's moves between the shown folder's tiles: to the one across the shared edge,
// nowhere past the pane's edge.
TEST(TreemapLayout, NeighboursAcrossEdges) {
    FolderSnapshot s;
    const auto root = RecordFiles(s, {100, 100, 100, 100});
    const TreemapLayout layout = LayOutTreemap(s, root, 100, 100);
    ASSERT_EQ(layout.tiles.size(), 5u);
    auto tileAt = [&](int x, int y) { return layout.HitTest(x, y); };
    const uint32_t tl = tileAt(25, 25), tr = tileAt(75, 25), bl = tileAt(25, 75),
                   br = tileAt(75, 75);
    EXPECT_EQ(layout.NeighbourOf(tl, TileDirection::Right), tr);
    EXPECT_EQ(layout.NeighbourOf(tl, TileDirection::Down), bl);
    EXPECT_EQ(layout.NeighbourOf(br, TileDirection::Left), bl);
    EXPECT_EQ(layout.NeighbourOf(br, TileDirection::Up), tr);
    EXPECT_EQ(layout.NeighbourOf(tl, TileDirection::Left), Tile::kNone);
    EXPECT_EQ(layout.NeighbourOf(tl, TileDirection::Up), Tile::kNone);
    EXPECT_EQ(layout.NeighbourOf(0, TileDirection::Up), Tile::kNone);

    // Beside a tall tile, two short ones: either short one goes back to the tall one, which
    // goes to one of them.
    const auto uneven = RecordFiles(s, {200, 100, 100});
    const TreemapLayout l2 = LayOutTreemap(s, uneven, 100, 100);
    const uint32_t tall = l2.HitTest(25, 50), upper = l2.HitTest(75, 25),
                   lower = l2.HitTest(75, 75);
    ASSERT_NE(upper, lower);
    EXPECT_EQ(l2.NeighbourOf(upper, TileDirection::Left), tall);
    EXPECT_EQ(l2.NeighbourOf(lower, TileDirection::Left), tall);
    const uint32_t right = l2.NeighbourOf(tall, TileDirection::Right);
    EXPECT_TRUE(right == upper || right == lower);
}
