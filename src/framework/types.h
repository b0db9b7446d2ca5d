#pragma once
// Small value types over the platform's POINT, SIZE and RECT, and the one pair of
// conversions between them and the framework's portable geometry (layout.h).

#include <windows.h>

#include "layout.h"

struct CPoint : POINT {
    CPoint() : POINT{0, 0} {}
    CPoint(int x0, int y0) : POINT{x0, y0} {}
    explicit CPoint(const POINT& p) : POINT(p) {}
    bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
    bool operator!=(const CPoint& o) const { return !(*this == o); }
};

struct CSize : SIZE {
    CSize() : SIZE{0, 0} {}
    CSize(int cx0, int cy0) : SIZE{cx0, cy0} {}
    explicit CSize(const SIZE& s) : SIZE(s) {}
    bool operator==(const CSize& o) const { return cx == o.cx && cy == o.cy; }
    bool operator!=(const CSize& o) const { return !(*this == o); }
};

struct CRect : RECT {
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& r) : RECT(r) {} // NOLINT: converts like the platform's rectangle
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    bool IsRectEmpty() const { return right <= left || bottom <= top; }
    bool PtInRect(POINT p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    void OffsetRect(int dx, int dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    void DeflateRect(int l, int t, int r, int b) {
        left += l;
        top += t;
        right -= r;
        bottom -= b;
    }
    // A rectangle turned inside out by deflating becomes an empty one at its corner.
    void KeepNonNegative() {
        if (right < left)
            right = left;
        if (bottom < top)
            bottom = top;
    }
    bool operator==(const CRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const CRect& o) const { return !(*this == o); }
};

// The framework's portable geometry and the platform's, one way and the other.
inline LayoutPoint ToLayout(const POINT& p) {
    return LayoutPoint{p.x, p.y};
}
inline LayoutSize ToLayout(const SIZE& s) {
    return LayoutSize{s.cx, s.cy};
}
inline LayoutRect ToLayout(const RECT& r) {
    return LayoutRect{r.left, r.top, r.right, r.bottom};
}
inline CPoint ToPoint(const LayoutPoint& p) {
    return CPoint(p.x, p.y);
}
inline CSize ToSize(const LayoutSize& s) {
    return CSize(s.cx, s.cy);
}
inline CRect ToRect(const LayoutRect& r) {
    return CRect(r.left, r.top, r.right, r.bottom);
}
