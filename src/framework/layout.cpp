#include "layout.h"

#include <algorithm>

LayoutRect TakeBarRoom(LayoutRect& free, BarSide side, int thickness) {
    const bool horizontal = side == BarSide::Top || side == BarSide::Bottom;
    const int room = std::max(0, horizontal ? free.Height() : free.Width());
    const int depth = std::clamp(thickness, 0, room);
    LayoutRect bar = free;
    switch (side) {
    case BarSide::Top:
        bar.bottom = bar.top + depth;
        free.top += depth;
        break;
    case BarSide::Bottom:
        bar.top = bar.bottom - depth;
        free.bottom -= depth;
        break;
    case BarSide::Left:
        bar.right = bar.left + depth;
        free.left += depth;
        break;
    case BarSide::Right:
        bar.left = bar.right - depth;
        free.right -= depth;
        break;
    }
    return bar;
}

std::vector<int> StatusPaneEdges(int clientWidth, const std::vector<int>& widths, int gripWidth) {
    std::vector<int> edges(widths.size(), 0);
    if (widths.empty())
        return edges;
    edges.back() = -1;
    // Walk from the right: each fixed pane ends where the one after it starts.
    int right = std::max(0, clientWidth - gripWidth);
    for (size_t i = widths.size() - 1; i > 0; --i) {
        right = std::max(0, right - std::max(0, widths[i]));
        edges[i - 1] = right;
    }
    return edges;
}
