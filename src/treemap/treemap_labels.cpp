#include "treemap_labels.h"

#include <algorithm>

std::vector<TreemapLabel> PlaceTreemapLabels(const TreemapLayout& layout,
                                             const TreemapLabelMetrics& metrics) {
    std::vector<TreemapLabel> labels;
    if (layout.tiles.empty() || metrics.lineHeight <= 0)
        return labels;
    const Tile& top = layout.tiles[0];
    for (uint32_t c = top.firstChild; c < top.firstChild + top.childCount; ++c) {
        const Tile& t = layout.tiles[c];
        if (t.kind != TileKind::Folder && t.kind != TileKind::Placeholder)
            continue;
        const TileRect r = t.PixelRect();
        TileRect box{r.left + metrics.inset, r.top + metrics.inset, r.right - metrics.inset,
                     r.bottom - metrics.inset};
        if (box.Width() < metrics.minWidth)
            continue;
        const int lines = std::min(2, box.Height() / metrics.lineHeight);
        if (lines < 1)
            continue;
        box.bottom = box.top + lines * metrics.lineHeight;
        labels.push_back({c, box, lines});
    }
    return labels;
}
