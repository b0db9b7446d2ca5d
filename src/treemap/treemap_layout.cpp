#include "treemap_layout.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "extension_ids.h"
#include "snapshot_files.h"

namespace {

using Index = FolderSnapshot::Index;
constexpr Index kNoFolder = FolderSnapshot::kNone;

// Counts every file met by its extension into the layout's table.
class ExtensionTable {
public:
    explicit ExtensionTable(std::vector<ExtensionInfo>& extensions) : m_extensions(extensions) {
        m_extensions.assign(1, ExtensionInfo{});
    }

    uint16_t Count(const char* fileName, int64_t bytes) {
        const uint16_t id = Find(fileName);
        ExtensionInfo& info = m_extensions[id];
        info.bytes += bytes;
        ++info.files;
        return id;
    }

private:
    // Past 65,535 kinds, the rest count as files without an extension.
    uint16_t Find(const char* fileName) {
        const uint32_t id = m_ids.IdOf(fileName);
        if (id == m_extensions.size() && id <= 0xFFFF) {
            ExtensionInfo info;
            info.name = m_ids.Key(id);
            m_extensions.push_back(std::move(info));
        }
        return id < m_extensions.size() ? static_cast<uint16_t>(id) : 0;
    }

    std::vector<ExtensionInfo>& m_extensions;
    ExtensionIds m_ids;
};

struct Item {
    double weight;
    int64_t bytes;
    uint32_t ref;
    uint16_t extension;
    TileKind kind;
};

// Places the children of `t` (already in the array from `first`, in the order of `items`,
// largest first).
void Squarify(std::vector<Tile>& tiles, uint32_t t, uint32_t first, const std::vector<Item>& items);

class Builder {
public:
    Builder(const FolderSnapshot& snapshot, TreemapLayout& layout,
            const TreemapLayoutOptions& options)
        : m_s(snapshot), m_layout(layout), m_extensions(layout.extensions),
          m_settled(options.settled), m_measure(options.measure), m_stop(options.stop) {}

    void Run(Index shown) {
        const int w = m_layout.width, h = m_layout.height;
        const bool bFinal = m_s.IsFinal(shown);
        int64_t bytes = 0;
        FolderTotals totals;
        if (bFinal && m_s.GetTotals(shown, totals))
            bytes = MeasuredSize(totals, m_measure);
        else
            bytes = KnownBytes(shown);
        if (w <= 0 || h <= 0 || (bFinal && bytes <= 0)) {
            CountBeneath(shown);
            return;
        }
        Tile root{};
        root.x1 = static_cast<float>(w);
        root.y1 = static_cast<float>(h);
        root.bytes = bytes;
        root.parent = Tile::kNone;
        root.firstChild = Tile::kNone;
        root.ref = shown;
        root.kind = bFinal || m_s.IsRead(shown) ? TileKind::Folder : TileKind::Placeholder;
        m_layout.tiles.push_back(root);
        if (root.kind == TileKind::Placeholder)
            return;
        std::vector<uint32_t> stack{0};
        while (!stack.empty() && !Stopped()) {
            const uint32_t t = stack.back();
            stack.pop_back();
            Divide(t, stack);
        }
    }

private:
    bool Stopped() const { return m_stop && m_stop->load(std::memory_order_relaxed); }

    // A file's bytes by the measure: a file whose bytes on disk are not known gets no area.
    int64_t FileBytes(Index folder, uint32_t i) const {
        return MeasuredFileSize(m_s, folder, i, m_measure);
    }
    int64_t OwnFileBytes(Index folder) const {
        return m_measure == SizeMeasure::OnDisk ? m_s.OwnFileDiskBytes(folder)
                                                : m_s.OwnFileBytes(folder);
    }

    // A settled folder's bytes (see TreemapSettled), or -1.
    int64_t SettledBytes(Index folder) const {
        if (!m_settled)
            return -1;
        const auto it = m_settled->find(folder);
        return it == m_settled->end() ? -1 : it->second;
    }

    // The bytes known beneath a folder: its totals once final, else its own files and what
    // is known beneath its subfolders.
    int64_t KnownBytes(Index folder) const {
        int64_t bytes = 0;
        std::vector<Index> stack{folder};
        while (!stack.empty()) {
            const Index f = stack.back();
            stack.pop_back();
            FolderTotals totals;
            if (m_s.GetTotals(f, totals)) {
                bytes += MeasuredSize(totals, m_measure);
                continue;
            }
            if (const int64_t settled = SettledBytes(f); settled >= 0) {
                bytes += settled;
                continue;
            }
            if (!m_s.IsRead(f))
                continue;
            bytes += OwnFileBytes(f);
            for (Index c = m_s.FirstSubfolder(f); c != kNoFolder; c = m_s.NextSubfolder(c))
                stack.push_back(c);
        }
        return bytes;
    }

    // Counts the extensions of every held file beneath a folder that gets no tiles.
    void CountBeneath(Index folder) {
        std::vector<Index> stack{folder};
        while (!stack.empty() && !Stopped()) {
            const Index f = stack.back();
            stack.pop_back();
            if (!m_s.IsRead(f))
                continue;
            if (m_s.FilesHeld(f)) {
                const uint32_t n = m_s.OwnFileCount(f);
                for (uint32_t i = 0; i < n; ++i)
                    m_extensions.Count(m_s.FileName(f, i), FileBytes(f, i));
            }
            for (Index c = m_s.FirstSubfolder(f); c != kNoFolder; c = m_s.NextSubfolder(c))
                stack.push_back(c);
        }
    }

    void Divide(uint32_t t, std::vector<uint32_t>& stack) {
        const Index folder = m_layout.tiles[t].ref;
        const uint16_t depth = m_layout.tiles[t].depth;
        std::vector<Item>& items = m_items;
        items.clear();
        double totalled = 0;
        size_t totalledCount = 0, placeholders = 0;
        for (Index c = m_s.FirstSubfolder(folder); c != kNoFolder; c = m_s.NextSubfolder(c)) {
            FolderTotals totals;
            if (m_s.GetTotals(c, totals)) {
                const int64_t bytes = MeasuredSize(totals, m_measure);
                if (bytes > 0) {
                    items.push_back({static_cast<double>(bytes), bytes, c, 0, TileKind::Folder});
                    totalled += static_cast<double>(bytes);
                    ++totalledCount;
                }
            } else if (const int64_t settled = SettledBytes(c); settled >= 0) {
                if (settled > 0) {
                    items.push_back(
                        {static_cast<double>(settled), settled, c, 0, TileKind::Folder});
                    totalled += static_cast<double>(settled);
                    ++totalledCount;
                }
            } else {
                items.push_back({0.0, KnownBytes(c), c, 0, TileKind::Placeholder});
                ++placeholders;
                CountBeneath(c);
            }
        }
        if (m_s.FilesHeld(folder)) {
            const uint32_t n = m_s.OwnFileCount(folder);
            for (uint32_t i = 0; i < n; ++i) {
                if ((i & 0xFFF) == 0xFFF && Stopped())
                    return; // a folder of many files: its owner may be waiting
                const int64_t size = FileBytes(folder, i);
                const uint16_t ext = m_extensions.Count(m_s.FileName(folder, i), size);
                if (size <= 0)
                    continue;
                items.push_back({static_cast<double>(size), size, i, ext, TileKind::File});
                totalled += static_cast<double>(size);
                ++totalledCount;
            }
        } else if (m_s.IsRead(folder)) {
            const int64_t size = OwnFileBytes(folder);
            if (size > 0) {
                items.push_back(
                    {static_cast<double>(size), size, folder, 0, TileKind::FilesNotHeld});
                totalled += static_cast<double>(size);
                ++totalledCount;
            }
        }
        if (placeholders) {
            const double mean = totalledCount ? totalled / static_cast<double>(totalledCount) : 1.0;
            for (Item& item : items)
                if (item.kind == TileKind::Placeholder)
                    item.weight = std::max(static_cast<double>(item.bytes), mean);
        }

        const Tile& tile = m_layout.tiles[t];
        if (items.empty() || tile.x1 - tile.x0 < 1.0f || tile.y1 - tile.y0 < 1.0f) {
            // Too small to divide: what lies beneath still counts for the colours.
            for (Index c = m_s.FirstSubfolder(folder); c != kNoFolder; c = m_s.NextSubfolder(c))
                if (m_s.IsFinal(c))
                    CountBeneath(c);
            return;
        }
        std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
            if (a.weight != b.weight)
                return a.weight > b.weight;
            if (a.kind != b.kind)
                return a.kind < b.kind;
            return a.ref < b.ref;
        });

        const uint32_t first = static_cast<uint32_t>(m_layout.tiles.size());
        m_layout.tiles[t].firstChild = first;
        m_layout.tiles[t].childCount = static_cast<uint32_t>(items.size());
        const uint16_t childDepth = depth == 0xFFFF ? depth : static_cast<uint16_t>(depth + 1);
        for (const Item& item : items)
            m_layout.tiles.push_back(Tile{0, 0, 0, 0, item.bytes, t, Tile::kNone, 0, item.ref,
                                          childDepth, item.extension, item.kind});
        Squarify(m_layout.tiles, t, first, items);
        for (uint32_t i = first; i < m_layout.tiles.size(); ++i)
            if (m_layout.tiles[i].kind == TileKind::Folder)
                stack.push_back(i);
    }

    const FolderSnapshot& m_s;
    TreemapLayout& m_layout;
    ExtensionTable m_extensions;
    std::vector<Item> m_items;
    const TreemapSettled* m_settled;
    const SizeMeasure m_measure;
    const std::atomic<bool>* m_stop;
};

void Squarify(std::vector<Tile>& tiles, uint32_t t, uint32_t first,
              const std::vector<Item>& items) {
    const Tile& parent = tiles[t];
    double x0 = parent.x0, y0 = parent.y0;
    const double x1 = parent.x1, y1 = parent.y1;
    const size_t n = items.size();
    double weights = 0;
    for (const Item& item : items)
        weights += item.weight;
    const double scale = (x1 - x0) * (y1 - y0) / weights;
    auto area = [&](size_t i) { return items[i].weight * scale; };

    size_t i = 0;
    while (i < n) {
        const double w = x1 - x0, h = y1 - y0;
        const double side = std::min(w, h);
        const double side2 = side * side;
        // The row's worst aspect ratio, its largest child being the first, its smallest
        // the last.
        auto worst = [&](double largest, double smallest, double sum) {
            const double sum2 = sum * sum;
            return std::max(side2 * largest / sum2, sum2 / (side2 * smallest));
        };
        const double largest = area(i);
        double sum = largest;
        double best = worst(largest, largest, sum);
        size_t end = i + 1;
        while (end < n) {
            const double next = worst(largest, area(end), sum + area(end));
            if (next > best)
                break;
            best = next;
            sum += area(end);
            ++end;
        }
        // The row lies along the shorter side; the last row takes what is left.
        const bool bColumn = w >= h; // a column at the left, else a row at the top
        double thickness;
        if (end == n)
            thickness = bColumn ? w : h;
        else
            thickness = std::min(side > 0 ? sum / side : 0.0, bColumn ? w : h);
        const double rowEnd = bColumn ? x0 + thickness : y0 + thickness;
        double pos = bColumn ? y0 : x0;
        const double limit = bColumn ? y1 : x1;
        for (size_t k = i; k < end; ++k) {
            const double next =
                k + 1 == end ? limit
                             : std::min(thickness > 0 ? pos + area(k) / thickness : pos, limit);
            Tile& tile = tiles[first + k];
            if (bColumn) {
                tile.x0 = static_cast<float>(x0);
                tile.x1 = static_cast<float>(rowEnd);
                tile.y0 = static_cast<float>(pos);
                tile.y1 = static_cast<float>(next);
            } else {
                tile.x0 = static_cast<float>(pos);
                tile.x1 = static_cast<float>(next);
                tile.y0 = static_cast<float>(y0);
                tile.y1 = static_cast<float>(rowEnd);
            }
            pos = next;
        }
        (bColumn ? x0 : y0) = rowEnd;
        i = end;
    }
}

} // namespace

TileRect Tile::PixelRect() const {
    // A pixel belongs to the tile that holds its centre: edges round half down.
    auto edge = [](float v) { return static_cast<int>(std::ceil(v - 0.5f)); };
    return {edge(x0), edge(y0), edge(x1), edge(y1)};
}

uint32_t TreemapLayout::HitTest(int x, int y) const {
    if (tiles.empty())
        return Tile::kNone;
    const float cx = static_cast<float>(x) + 0.5f, cy = static_cast<float>(y) + 0.5f;
    auto holds = [&](const Tile& t) { return t.x0 <= cx && cx < t.x1 && t.y0 <= cy && cy < t.y1; };
    if (!holds(tiles[0]))
        return Tile::kNone;
    uint32_t at = 0;
    for (;;) {
        const Tile& t = tiles[at];
        uint32_t inside = Tile::kNone;
        for (uint32_t c = t.firstChild; c != Tile::kNone && c < t.firstChild + t.childCount; ++c)
            if (holds(tiles[c])) {
                inside = c;
                break;
            }
        if (inside == Tile::kNone)
            return at;
        at = inside;
    }
}

std::vector<uint32_t> TreemapLayout::Ancestors(uint32_t tile) const {
    std::vector<uint32_t> chain;
    for (uint32_t t = tile; t != Tile::kNone && t < tiles.size(); t = tiles[t].parent)
        chain.push_back(t);
    return chain;
}

uint32_t TreemapLayout::ChildOfShown(uint32_t tile) const {
    if (tile == Tile::kNone || tile == 0 || tile >= tiles.size())
        return Tile::kNone;
    while (tiles[tile].parent != 0)
        tile = tiles[tile].parent;
    return tile;
}

uint32_t TreemapLayout::NeighbourOf(uint32_t tile, TileDirection direction) const {
    if (tiles.empty() || tile == 0 || tile >= tiles.size() || tiles[tile].parent != 0)
        return Tile::kNone;
    const Tile& from = tiles[tile];
    const bool horizontal = direction == TileDirection::Left || direction == TileDirection::Right;
    // Along the move: how far beyond the edge a tile starts (negative: not beyond it).
    // Across it: the stretch two tiles share, and how far apart their middles are.
    auto gap = [&](const Tile& t) {
        switch (direction) {
        case TileDirection::Left:
            return from.x0 - t.x1;
        case TileDirection::Right:
            return t.x0 - from.x1;
        case TileDirection::Up:
            return from.y0 - t.y1;
        case TileDirection::Down:
            return t.y0 - from.y1;
        }
        return -1.0f;
    };
    auto shared = [&](const Tile& t) {
        return horizontal ? std::min(t.y1, from.y1) - std::max(t.y0, from.y0)
                          : std::min(t.x1, from.x1) - std::max(t.x0, from.x0);
    };
    auto offset = [&](const Tile& t) {
        return horizontal ? std::fabs((t.y0 + t.y1) - (from.y0 + from.y1))
                          : std::fabs((t.x0 + t.x1) - (from.x0 + from.x1));
    };
    const Tile& top = tiles[0];
    uint32_t best = Tile::kNone;
    bool bestTouches = false;
    float bestGap = 0, bestOffset = 0;
    for (uint32_t c = top.firstChild; c < top.firstChild + top.childCount; ++c) {
        const Tile& t = tiles[c];
        const float g = gap(t);
        if (c == tile || g < 0 || t.x1 <= t.x0 || t.y1 <= t.y0)
            continue;
        const bool touches = g == 0 && shared(t) > 0;
        const float o = offset(t);
        const bool better =
            best == Tile::kNone || (touches && !bestTouches) ||
            (touches == bestTouches &&
             (touches ? o < bestOffset : g < bestGap || (g == bestGap && o < bestOffset)));
        if (better) {
            best = c;
            bestTouches = touches;
            bestGap = g;
            bestOffset = o;
        }
    }
    return best;
}

TreemapLayout LayOutTreemap(const FolderSnapshot& snapshot, FolderSnapshot::Index shown, int width,
                            int height, const TreemapLayoutOptions& options) {
    TreemapLayout layout;
    layout.width = std::max(width, 0);
    layout.height = std::max(height, 0);
    Builder(snapshot, layout, options).Run(shown);
    return layout;
}

TreemapLayout LayOutFlatTreemap(const std::vector<int64_t>& bytes, int width, int height) {
    TreemapLayout layout;
    layout.width = std::max(width, 0);
    layout.height = std::max(height, 0);
    layout.flat = true;
    layout.extensions.assign(1, ExtensionInfo{});
    std::vector<Item> items;
    int64_t total = 0;
    for (size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] > 0) {
            items.push_back({static_cast<double>(bytes[i]), bytes[i], static_cast<uint32_t>(i), 0,
                             TileKind::Folder});
            total += bytes[i];
        }
    if (items.empty() || layout.width == 0 || layout.height == 0)
        return layout;
    std::stable_sort(items.begin(), items.end(),
                     [](const Item& a, const Item& b) { return a.weight > b.weight; });
    layout.tiles.push_back(Tile{
        0.0f, 0.0f, static_cast<float>(layout.width), static_cast<float>(layout.height), total,
        Tile::kNone, 1, static_cast<uint32_t>(items.size()), Tile::kNone, 0, 0, TileKind::Folder});
    for (const Item& item : items)
        layout.tiles.push_back(
            Tile{0, 0, 0, 0, item.bytes, 0, Tile::kNone, 0, item.ref, 1, 0, TileKind::Folder});
    Squarify(layout.tiles, 0, 1, items);
    return layout;
}
