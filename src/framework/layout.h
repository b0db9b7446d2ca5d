#pragma once
// Layout arithmetic of the frame and its bars, as pure functions over rectangles:
// each bar takes its room from one side of what is left, the view gets the rest.
// Portable, so it is tested natively. LayoutPoint, LayoutSize and LayoutRect are the
// framework's own geometry; types.h converts them to and from the platform's.

#include <vector>

struct LayoutPoint {
    int x = 0;
    int y = 0;
};

struct LayoutSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const LayoutSize& o) const { return cx == o.cx && cy == o.cy; }
    bool operator!=(const LayoutSize& o) const { return !(*this == o); }
};

struct LayoutRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(LayoutPoint p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    bool operator==(const LayoutRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

enum class BarSide { Top, Bottom, Left, Right };

// The rectangle of a bar `thickness` deep along `side` of `free`, which shrinks by it.
// A bar never takes more than is left, and nothing is left negative.
LayoutRect TakeBarRoom(LayoutRect& free, BarSide side, int thickness);

// Right edges (client coordinates) of the status bar's parts for SB_SETPARTS. Pane 0
// stretches; the others keep `widths[i]` each and sit at the right, before a size grip
// `gripWidth` wide. The last edge is -1 (to the window's edge). When the window is too
// narrow the stretching pane shrinks to 0 and the edges stay in order, never negative.
std::vector<int> StatusPaneEdges(int clientWidth, const std::vector<int>& widths, int gripWidth);
