#include "treemap_render.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>

namespace {

// The surface above a tile: z = a2·x² + a1·x + b2·y² + b1·y.
struct Cushion {
    float a1, a2, b1, b2;
};

// Adds a ridge of `h` across [lo, hi): z = 4h(x - lo)(hi - x) / (hi - lo)².
void AddRidge(float lo, float hi, float h, float& s1, float& s2) {
    const float span = hi - lo;
    if (span <= 0.0f)
        return;
    s1 += 4.0f * h * (hi + lo) / span;
    s2 -= 4.0f * h / span;
}

// The frame of a folder's tile: `paint` for each pixel of its outermost ring.
template <typename Paint>
void FrameTile(const TileRect& r, int width, int height, std::vector<uint32_t>& pixels,
               Paint paint) {
    if (r.Width() < 3 || r.Height() < 3)
        return; // nothing would be left inside
    const int left = std::max(r.left, 0), right = std::min(r.right, width);
    const int top = std::max(r.top, 0), bottom = std::min(r.bottom, height);
    auto at = [&](int x, int y) -> uint32_t& {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    };
    for (int x = left; x < right; ++x) {
        if (r.top >= 0)
            paint(at(x, r.top));
        if (r.bottom - 1 < height)
            paint(at(x, r.bottom - 1));
    }
    for (int y = top + 1; y < bottom - 1; ++y) {
        if (r.left >= 0)
            paint(at(r.left, y));
        if (r.right - 1 < width)
            paint(at(r.right - 1, y));
    }
}

uint32_t Shade(uint32_t colour, float intensity) {
    auto channel = [&](int shift) {
        const float v = static_cast<float>((colour >> shift) & 0xFF) * intensity;
        return static_cast<uint32_t>(std::min(255.0f, v + 0.5f)) << shift;
    };
    return 0xFF000000u | channel(16) | channel(8) | channel(0);
}

bool IsFolderTile(const Tile& t) {
    return t.kind == TileKind::Folder || t.kind == TileKind::Placeholder;
}

// The frames, the fainter ones first: the shown folder's subfolders' lines stay whole.
void DrawFrames(const TreemapLayout& layout, std::vector<uint32_t>& pixels) {
    for (const uint16_t depth : {uint16_t{2}, uint16_t{1}})
        for (const Tile& t : layout.tiles) {
            if (t.depth != depth || !IsFolderTile(t))
                continue;
            if (depth == 1)
                FrameTile(t.PixelRect(), layout.width, layout.height, pixels,
                          [](uint32_t& p) { p = kTreemapFrame; });
            else
                FrameTile(t.PixelRect(), layout.width, layout.height, pixels,
                          [](uint32_t& p) { p = Shade(p, kTreemapFaintFrame); });
        }
}

} // namespace

std::vector<uint32_t> TreemapDriveColours(size_t count) {
    // The colour sequence the types take, from its start: the drives' own.
    TypeColourTable drives;
    std::vector<uint32_t> colours;
    for (size_t i = 0; i < count; ++i)
        colours.push_back(drives.ColourOf(std::to_string(i)));
    return colours;
}

std::vector<uint32_t> ExtensionColours(const TreemapLayout& layout, TypeColourTable& table) {
    const size_t n = layout.extensions.size();
    std::vector<uint32_t> colours(n, kTreemapNeutral);
    std::vector<uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        const int64_t ba = layout.extensions[a].bytes;
        const int64_t bb = layout.extensions[b].bytes;
        return ba != bb ? ba > bb : a < b;
    });
    for (const uint32_t id : order)
        if (layout.extensions[id].bytes > 0)
            colours[id] = table.ColourOf(layout.extensions[id].name);
    return colours;
}

void RenderTreemap(const TreemapLayout& layout, std::vector<uint32_t>& pixels,
                   const TreemapStyle& style, const std::atomic<bool>* stop, TypeColourTable& table,
                   const std::vector<uint32_t>* tileColours) {
    const int width = layout.width, height = layout.height;
    pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), kTreemapBackground);
    if (layout.tiles.empty())
        return;
    const std::vector<uint32_t> colours = ExtensionColours(layout, table);
    // A drive keeps its colour by its place in the list, whatever its size.
    std::vector<uint32_t> drives;
    if (layout.flat) {
        uint32_t count = 0;
        for (const Tile& t : layout.tiles)
            if (t.depth == 1)
                count = std::max(count, t.ref + 1);
        drives = TreemapDriveColours(count);
    }

    // Light from the upper left and above (y grows downwards).
    const float lx = -1.0f, ly = -2.0f, lz = 10.0f;
    const float ll = std::sqrt(lx * lx + ly * ly + lz * lz);
    const float Lx = lx / ll, Ly = ly / ll, Lz = lz / ll;

    // Parents come before their children in the array: each tile's surface is its parent's
    // with its own ridges added.
    std::vector<Cushion> cushions(layout.tiles.size());
    std::vector<float> heights(1, style.height);
    std::vector<float> nx, ny;
    for (size_t i = 0; i < layout.tiles.size(); ++i) {
        const Tile& t = layout.tiles[i];
        Cushion c = t.parent == Tile::kNone ? Cushion{0, 0, 0, 0} : cushions[t.parent];
        while (heights.size() <= t.depth)
            heights.push_back(heights.back() * style.falloff);
        const float h = heights[t.depth];
        AddRidge(t.x0, t.x1, h, c.a1, c.a2);
        AddRidge(t.y0, t.y1, h, c.b1, c.b2);
        cushions[i] = c;
        if (t.childCount)
            continue;
        if (stop && stop->load(std::memory_order_relaxed))
            return;

        const TileRect r = t.PixelRect();
        const int left = std::max(r.left, 0), right = std::min(r.right, width);
        const int top = std::max(r.top, 0), bottom = std::min(r.bottom, height);
        if (left >= right || top >= bottom)
            continue;
        if (t.kind == TileKind::Placeholder) {
            for (int y = top; y < bottom; ++y)
                std::fill(pixels.begin() + static_cast<ptrdiff_t>(y) * width + left,
                          pixels.begin() + static_cast<ptrdiff_t>(y) * width + right,
                          kTreemapPlaceholder);
            continue;
        }
        uint32_t colour = kTreemapNeutral;
        if (t.kind == TileKind::File)
            colour = colours[t.extension];
        else if (layout.flat && t.depth == 1)
            colour = drives[t.ref];
        if (tileColours)
            colour = (*tileColours)[i];
        // The normal's slopes depend on x alone and on y alone.
        nx.resize(static_cast<size_t>(right - left));
        for (int x = left; x < right; ++x)
            nx[static_cast<size_t>(x - left)] =
                -(2.0f * c.a2 * (static_cast<float>(x) + 0.5f) + c.a1);
        ny.resize(static_cast<size_t>(bottom - top));
        for (int y = top; y < bottom; ++y)
            ny[static_cast<size_t>(y - top)] =
                -(2.0f * c.b2 * (static_cast<float>(y) + 0.5f) + c.b1);
        for (int y = top; y < bottom; ++y) {
            uint32_t* row = pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
            const float dy = ny[static_cast<size_t>(y - top)];
            for (int x = left; x < right; ++x) {
                const float dx = nx[static_cast<size_t>(x - left)];
                const float cosine = (dx * Lx + dy * Ly + Lz) / std::sqrt(dx * dx + dy * dy + 1.0f);
                row[x] = Shade(colour, style.ambient + style.diffuse * std::max(0.0f, cosine));
            }
        }
    }
    DrawFrames(layout, pixels);
}
