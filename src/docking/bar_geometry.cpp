#include "bar_geometry.h"

#include <algorithm>
#include <cmath>

namespace bars {

const char* const kSizeValueNames[6] = {"sizeHorzCX", "sizeHorzCY",  "sizeVertCX",
                                        "sizeVertCY", "sizeFloatCX", "sizeFloatCY"};

namespace {

constexpr int kDefaultHorzHeight = 110;

} // namespace

void RestoreSizes(BarSizes& s, const ProfileReader& read) {
    s.horz.cx = std::max(read(kSizeValueNames[0], s.horz.cx), s.minHorz.cx);
    s.horz.cy = std::max(read(kSizeValueNames[1], kDefaultHorzHeight), s.minHorz.cy);
    s.vert.cx = std::max(read(kSizeValueNames[2], s.vert.cx), s.minVert.cx);
    s.vert.cy = std::max(read(kSizeValueNames[3], s.vert.cy), s.minVert.cy);
    s.floating.cx = std::max(read(kSizeValueNames[4], s.floating.cx), s.minFloat.cx);
    s.floating.cy = std::max(read(kSizeValueNames[5], s.floating.cy), s.minFloat.cy);
}

int HeightShare::HeightFor(int room, int minHeight) const {
    const int shared = static_cast<int>(std::lround(share * std::max(room, 0)));
    return std::max(std::min(shared, room - keep), minHeight);
}

void HeightShare::Take(int height, int room) {
    if (room > 0 && height > 0)
        share = std::min(1.0, static_cast<double>(height) / room);
}

Rect BorderClientArea(Rect rc, Dock dock, unsigned& edges, const DpiScale& px) {
    rc.left += px(3);
    rc.top += px(5);
    rc.right -= px(3);
    rc.bottom -= px(3);
    if (dock != Dock::Float) {
        rc.left += px(2);
        rc.right -= px(2);
        rc.bottom -= px(2);
    }
    switch (dock) {
    case Dock::Top:
        edges |= kEdgeBottom;
        break;
    case Dock::Left:
        edges |= kEdgeRight;
        break;
    case Dock::Right:
        edges |= kEdgeLeft;
        break;
    case Dock::Bottom:
        edges |= kEdgeTop;
        break;
    case Dock::Float:
        break;
    }
    return rc;
}

Rect CaptionClientArea(Rect rc, Dock dock, unsigned& edges, Point& button, const DpiScale& px) {
    Rect r = BorderClientArea(rc, dock, edges, px);
    if (dock == Dock::Float)
        return r;
    // The button sits in the band, 5 pixels in from the window's corner.
    if (IsHorzDock(dock)) {
        button = Point{px(kCaptionBand - 8), px(5)};
        r.left += px(kCaptionBand);
    } else {
        button = Point{r.Width() - px(7), px(kCaptionBand - 8)};
        r.top += px(kCaptionBand);
    }
    return r;
}

unsigned RowEdges(Dock dock, bool bBefore, bool bAfter) {
    unsigned edges = 0;
    if (IsHorzDock(dock)) {
        edges |= bBefore ? unsigned{kEdgeLeft} : 0u;
        edges |= bAfter ? unsigned{kEdgeRight} : 0u;
    } else if (IsVertDock(dock)) {
        edges |= bBefore ? unsigned{kEdgeTop} : 0u;
        edges |= bAfter ? unsigned{kEdgeBottom} : 0u;
    }
    return edges;
}

bool SizingEdgeRect(unsigned edges, Dock dock, const Rect& rc, unsigned hitCode, Rect& out,
                    const DpiScale& px) {
    const int kSizingEdge = px(bars::kSizingEdge);
    const bool bHorz = IsHorzDock(dock);
    const bool bVert = IsVertDock(dock);
    out = rc;
    switch (hitCode) {
    case kHitLeft:
        if (!(edges & kEdgeLeft))
            return false;
        out.right = out.left + kSizingEdge;
        if (bHorz) {
            out.top += kSizingEdge;
            out.bottom -= kSizingEdge;
        }
        return true;
    case kHitRight:
        if (!(edges & kEdgeRight))
            return false;
        out.left = out.right - kSizingEdge;
        if (bHorz) {
            out.top += kSizingEdge;
            out.bottom -= kSizingEdge;
        }
        return true;
    case kHitTop:
        if (!(edges & kEdgeTop))
            return false;
        out.bottom = out.top + kSizingEdge;
        if (bVert) {
            out.left += kSizingEdge;
            out.right -= kSizingEdge;
        }
        return true;
    case kHitBottom:
        if (!(edges & kEdgeBottom))
            return false;
        out.top = out.bottom - kSizingEdge;
        if (bVert) {
            out.left += kSizingEdge;
            out.right -= kSizingEdge;
        }
        return true;
    default:
        return false;
    }
}

unsigned EdgeHitTest(unsigned edges, Dock dock, const Rect& rc, Point pt, const DpiScale& px) {
    if (dock == Dock::Float)
        return kHitClient;
    static const unsigned kOrder[4] = {kHitLeft, kHitTop, kHitRight, kHitBottom};
    for (unsigned code : kOrder) {
        Rect strip;
        if (SizingEdgeRect(edges, dock, rc, code, strip, px) && strip.Contains(pt))
            return code;
    }
    return kHitClient;
}

Rect CaptionTextRect(const Rect& client, Point button, Dock dock, const DpiScale& px) {
    Rect t;
    if (IsHorzDock(dock)) {
        t.left = client.left - px(kCaptionBand + 1);
        t.right = t.left + px(11);
        t.top = button.y + px(14);
        t.bottom = client.bottom;
        t.left -= px(1);
        t.right += px(1);
    } else {
        t.top = client.top - px(kCaptionBand + 1);
        t.bottom = t.top + px(11);
        t.left = client.left;
        t.right = button.x - px(3);
        t.top -= px(1);
        t.bottom += px(1);
    }
    return t;
}

// ---- rows ----

namespace {

bool IsLiveBar(const RowEntry& e) {
    return e.visible;
}

} // namespace

RowShare ShareRowLength(std::vector<RowEntry>& row, size_t self, int available) {
    RowShare result;
    size_t end = row.size();
    int pos = 2;
    int sumLength = 0;
    int thickness = 0;
    for (size_t i = 0; i < end; ++i) {
        RowEntry& e = row[i];
        if (!IsLiveBar(e))
            continue;
        const int minLength = e.sizing ? e.minLength : e.length;
        pos += minLength - 2;
        if (pos > available) {
            if (i < self) {
                // The row ends with this bar; the one being laid out starts the next.
                result.wrapAt = i + 1;
                result.align = false;
                return result;
            }
            if (i > self) {
                result.wrapAt = i;
                end = i;
                break;
            }
            e.length = minLength;
            return result;
        }
        if (e.sizing) {
            sumLength += e.length - 2;
            thickness = std::max(thickness, e.thickness);
        } else {
            available -= e.length - 2;
        }
    }

    std::vector<RowEntry*> sizing;
    for (size_t i = 0; i < end; ++i)
        if (IsLiveBar(row[i]) && row[i].sizing)
            sizing.push_back(&row[i]);
    if (sizing.empty())
        return result;
    int diff = available - sumLength;

    if (sizing.size() == 1) {
        if (diff != 0) {
            sizing[0]->holdSize = false;
            sizing[0]->length += diff;
        }
        return result;
    }

    for (RowEntry* e : sizing)
        e->thickness = thickness;
    // One pixel per bar and pass. A pass that changes nothing lets the held bars take
    // part; a second such pass means no bar can give more, and the loop ends.
    bool bReleased = false;
    while (diff != 0) {
        bool bChanged = false;
        for (RowEntry* e : sizing) {
            if ((e->length <= e->minLength && diff < 0) || e->holdSize)
                continue;
            const int step = diff > 0 ? 1 : -1;
            e->length += step;
            diff -= step;
            bChanged = true;
            if (diff == 0)
                break;
        }
        if (diff == 0 || !bChanged) {
            for (RowEntry* e : sizing)
                e->holdSize = false;
            if (!bChanged) {
                if (bReleased)
                    break;
                bReleased = true;
            }
        }
    }
    return result;
}

std::vector<int> AlignedPositions(const std::vector<int>& lengths, int start) {
    std::vector<int> positions;
    positions.reserve(lengths.size());
    int pos = start;
    for (int length : lengths) {
        positions.push_back(pos);
        pos += length - 2;
    }
    return positions;
}

// ---- edge drag ----

bool IsSideResize(Dock dock, unsigned edge) {
    if (edge == kHitLeft || edge == kHitRight)
        return IsHorzDock(dock);
    return IsVertDock(dock);
}

TrackLimits ResizeLimits(Dock dock, unsigned edge, Size start, Size minSize, int rowMinThickness,
                         Size neighbourSize, Size neighbourMin, Size paneRoom) {
    TrackLimits limits;
    limits.min = minSize;
    if (IsHorzDock(dock))
        limits.min.cy = std::max(limits.min.cy, rowMinThickness);
    else
        limits.min.cx = std::max(limits.min.cx, rowMinThickness);
    limits.max = start;
    if (IsSideResize(dock, edge)) {
        limits.max.cx += neighbourSize.cx - neighbourMin.cx;
        limits.max.cy += neighbourSize.cy - neighbourMin.cy;
    } else {
        limits.max.cx += paneRoom.cx - 4;
        limits.max.cy += paneRoom.cy - 4;
    }
    return limits;
}

Size ResizeStep(unsigned edge, Size start, int dx, int dy, const TrackLimits& limits) {
    Size size = start;
    switch (edge) {
    case kHitLeft:
        size.cx -= dx;
        break;
    case kHitRight:
        size.cx += dx;
        break;
    case kHitTop:
        size.cy -= dy;
        break;
    case kHitBottom:
        size.cy += dy;
        break;
    default:
        break;
    }
    size.cx = std::max(std::min(size.cx, limits.max.cx), limits.min.cx);
    size.cy = std::max(std::min(size.cy, limits.max.cy), limits.min.cy);
    return size;
}

// ---- floating corners ----

bool IsCorner(unsigned hitCode) {
    return hitCode == kHitTopLeft || hitCode == kHitTopRight || hitCode == kHitBottomLeft ||
           hitCode == kHitBottomRight;
}

CornerResult FloatCornerSize(unsigned code, Point cursor, const Rect& frame, const Rect& bar,
                             Size current, Size minFloat) {
    CornerResult r;
    r.size = current;
    if (code == kHitTopLeft || code == kHitBottomLeft) {
        r.size.cx = bar.Width() + (frame.left - cursor.x);
        r.bLeft = true;
        r.dragLeft = std::min(cursor.x, frame.left + bar.Width() - minFloat.cx);
    }
    if (code == kHitTopLeft || code == kHitTopRight) {
        r.size.cy = bar.Height() + (frame.top - cursor.y);
        r.bTop = true;
        r.dragTop = std::min(cursor.y, frame.top + bar.Height() - minFloat.cy);
    }
    if (code == kHitTopRight || code == kHitBottomRight)
        r.size.cx = bar.Width() + cursor.x - frame.right;
    if (code == kHitBottomLeft || code == kHitBottomRight)
        r.size.cy = bar.Height() + cursor.y - frame.bottom;
    r.size.cx = std::max(r.size.cx, minFloat.cx);
    r.size.cy = std::max(r.size.cy, minFloat.cy);
    return r;
}

} // namespace bars
