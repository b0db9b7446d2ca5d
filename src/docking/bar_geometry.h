#pragma once
// The arithmetic of the sizing bars, as pure functions: their sizes read from the
// profile, their border, caption band and close button, the sharing of a dock row's
// length, the alignment of a row, the limits and steps of an edge drag, and the size of
// a floating bar dragged by a corner of its frame. Portable, so it is tested natively;
// the window classes call it.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "dpi_scale.h"
#include "layout.h"

namespace bars {

// The framework's portable geometry: the window classes convert with types.h.
using Point = LayoutPoint;
using Size = LayoutSize;
using Rect = LayoutRect;

// Where a bar sits: in one of the frame's four dock bars or floating.
enum class Dock { Top, Left, Right, Bottom, Float };

inline bool IsHorzDock(Dock d) {
    return d == Dock::Top || d == Dock::Bottom;
}
inline bool IsVertDock(Dock d) {
    return d == Dock::Left || d == Dock::Right;
}

// Hit-test codes of the edges and corners (the system's numbers).
enum HitCode : unsigned {
    kHitNowhere = 0,
    kHitClient = 1,
    kHitLeft = 10,
    kHitRight = 11,
    kHitTop = 12,
    kHitTopLeft = 13,
    kHitTopRight = 14,
    kHitBottom = 15,
    kHitBottomLeft = 16,
    kHitBottomRight = 17,
    kHitClose = 20,
};

// Edge bits of a sizing bar.
enum EdgeBits : unsigned {
    kEdgeLeft = 0x01,
    kEdgeRight = 0x02,
    kEdgeTop = 0x04,
    kEdgeBottom = 0x08
};

// ---- sizes ----

struct BarSizes {
    Size horz{200, 200};
    Size vert{200, 200};
    Size floating{200, 200};
    Size minHorz{33, 32};
    Size minVert{33, 32};
    Size minFloat{37, 32};
};

// Reads a named integer of the bar's profile section, with a default.
using ProfileReader = std::function<int(const char* name, int nDefault)>;

// The six profile values, each with its default (the current size; 110 for the height
// docked at the top or bottom) and raised to its lower limit.
void RestoreSizes(BarSizes& sizes, const ProfileReader& read);
// The names of the six values, in the order they are read and written.
extern const char* const kSizeValueNames[6];

// ---- a share of the frame's height ----

// A bar docked at the top or bottom may keep a share of the room between the frame's top
// and bottom dock rows instead of a fixed height, so that it grows and shrinks with the
// window. When the room is small the bar gives way first: the rest keeps `keep` pixels while
// the bar has more than its minimum.
struct HeightShare {
    double share = 0; // 0: none, the bar keeps the height it has
    int keep = 0;

    bool Active() const { return share > 0; }
    // round(share × room), less what the rest must keep, never below `minHeight`.
    int HeightFor(int room, int minHeight) const;
    // The user's own drag to `height` with `room` pixels between the rows: the share from now
    // on (nothing changes without room).
    void Take(int height, int room);
};

// ---- border, caption band, close button ----

// At 96 DPI; `px` gives them, and every margin below, at the bar's own resolution.
constexpr int kSizingEdge = 5;   // thickness of a draggable edge
constexpr int kCaptionBand = 13; // width of the caption band
constexpr int kButtonSize = 11;  // the close button is square

// The bar's client rectangle inside its window rectangle `rc`: the border, and the edge
// facing the frame's interior added to `edges`.
Rect BorderClientArea(Rect rc, Dock dock, unsigned& edges, const DpiScale& px = DpiScale());

// The client area of a bar with a caption: the band taken off the left (docked at the
// top or bottom) or the top (at the left or right); `button` gets the close button's
// origin. A floating bar has neither.
Rect CaptionClientArea(Rect rc, Dock dock, unsigned& edges, Point& button,
                       const DpiScale& px = DpiScale());

// The edges that exist for a docked bar with sizing bars before or after it in its row.
unsigned RowEdges(Dock dock, bool bBefore, bool bAfter);

// The strip of a draggable edge (hit code left, top, right or bottom) inside the window
// rectangle `rc`, shortened at both ends across the row so strips never overlap.
bool SizingEdgeRect(unsigned edges, Dock dock, const Rect& rc, unsigned hitCode, Rect& out,
                    const DpiScale& px = DpiScale());

// The edge under `pt` (window rectangle `rc`, all in one coordinate space): edges tested
// left, top, right, bottom; a floating bar is all client.
unsigned EdgeHitTest(unsigned edges, Dock dock, const Rect& rc, Point pt,
                     const DpiScale& px = DpiScale());

// The caption text rectangle, from the client rectangle `client` (in window coordinates)
// and the button's origin.
Rect CaptionTextRect(const Rect& client, Point button, Dock dock, const DpiScale& px = DpiScale());

// ---- the row model ----

// One bar of a dock row, as the sharing of the row's length sees it.
struct RowEntry {
    bool visible = true;
    bool sizing = true;
    // A sizing bar's docked size in this orientation: length along the row, thickness
    // across. Any other bar's window length along the row.
    int length = 0;
    int thickness = 0;
    int minLength = 0;
    bool holdSize = false;
};

// What sharing a row's length asks of the row: that it wrap before entry `wrapAt` (the
// entries from there on start the next row), and whether the row may be aligned now.
struct RowShare {
    std::optional<size_t> wrapAt;
    bool align = true;
};

// Shares `available` pixels of the row along its bars (bars overlap by 2), for bar
// `self` being laid out. A row too long for the room wraps: before `self` when a bar in
// front of it overflows (then the row must not be aligned now), after it when a later
// one does; the bars left in the row share the room.
RowShare ShareRowLength(std::vector<RowEntry>& row, size_t self, int available);

// Positions along the row of its visible bars of these lengths, the first at `start`,
// each next one 2 pixels into the one before.
std::vector<int> AlignedPositions(const std::vector<int>& lengths, int start);

// ---- edge drag ----

struct TrackLimits {
    Size min;
    Size max;
};

// Whether dragging `edge` trades length with a neighbour in the row.
bool IsSideResize(Dock dock, unsigned edge);

// The limits of a drag of `edge`: the minimum with its thickness raised to the row's
// largest minimum thickness; the maximum grows by what the neighbour can give, or by the
// main pane's room less 4 pixels.
TrackLimits ResizeLimits(Dock dock, unsigned edge, Size start, Size minSize, int rowMinThickness,
                         Size neighbourSize, Size neighbourMin, Size paneRoom);

// The dragged size for a mouse offset, clamped to the limits (upper first).
Size ResizeStep(unsigned edge, Size start, int dx, int dy, const TrackLimits& limits);

// ---- floating corners ----

// The floating size while a corner of the frame is dragged, and the frame's drag
// rectangle's left and top where the left or top edge moves.
struct CornerResult {
    Size size;
    bool bLeft = false;
    bool bTop = false;
    int dragLeft = 0;
    int dragTop = 0;
};
bool IsCorner(unsigned hitCode);
CornerResult FloatCornerSize(unsigned hitCode, Point cursor, const Rect& frame, const Rect& bar,
                             Size current, Size minFloat);

} // namespace bars
