// The sizing bars' arithmetic: profile sizes, border and caption geometry, row sharing
// and wrapping, drag limits and floating corners.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "bar_geometry.h"

using namespace bars;

namespace {

ProfileReader From(const std::map<std::string, int>& values) {
    return [values](const char* name, int nDefault) {
        auto it = values.find(name);
        return it == values.end() ? nDefault : it->second;
    };
}

RowEntry SizingBar(int length, int minLength, int thickness = 100, bool hold = false) {
    RowEntry e;
    e.length = length;
    e.minLength = minLength;
    e.thickness = thickness;
    e.holdSize = hold;
    return e;
}

RowEntry OtherBar(int length) {
    RowEntry e;
    e.sizing = false;
    e.length = length;
    return e;
}

} // namespace

TEST(BarSizes, AMissingSectionKeepsTheSizesAndGivesTheTopBottomHeight110) {
    BarSizes s;
    RestoreSizes(s, From({}));
    EXPECT_EQ(s.horz, (Size{200, 110}));
    EXPECT_EQ(s.vert, (Size{200, 200}));
    EXPECT_EQ(s.floating, (Size{200, 200}));
}

TEST(BarSizes, ValuesBelowTheLimitsAreRaisedAndLargeOnesKept) {
    BarSizes s;
    RestoreSizes(s, From({{"sizeHorzCX", 5},
                          {"sizeHorzCY", 10},
                          {"sizeVertCX", 250},
                          {"sizeVertCY", -4},
                          {"sizeFloatCX", 1},
                          {"sizeFloatCY", 90000}}));
    EXPECT_EQ(s.horz, (Size{33, 32}));
    EXPECT_EQ(s.vert, (Size{250, 32}));
    EXPECT_EQ(s.floating, (Size{37, 90000}));
}

TEST(BarGeometry, BorderAndCaptionBandOfEachSide) {
    const Rect rc{0, 0, 100, 300};
    unsigned edges = 0;
    Point button;
    // Docked left: border 5/5/5/5 with the top 5, band across the top, right edge.
    Rect client = CaptionClientArea(rc, Dock::Left, edges, button);
    EXPECT_EQ(client, (Rect{5, 18, 95, 295}));
    EXPECT_EQ(edges, kEdgeRight);
    EXPECT_EQ(button.x, 90 - 7);
    EXPECT_EQ(button.y, 5);
    // Docked at the top: band down the left side.
    edges = 0;
    client = CaptionClientArea(Rect{0, 0, 300, 100}, Dock::Top, edges, button);
    EXPECT_EQ(client, (Rect{18, 5, 295, 95}));
    EXPECT_EQ(edges, kEdgeBottom);
    EXPECT_EQ(button.x, 5);
    // Floating: only the thinner border, no band, no edge.
    edges = 0;
    client = CaptionClientArea(rc, Dock::Float, edges, button);
    EXPECT_EQ(client, (Rect{3, 5, 97, 297}));
    EXPECT_EQ(edges, 0u);
    // Right and bottom face the interior with their left and top edges.
    edges = 0;
    BorderClientArea(rc, Dock::Right, edges);
    EXPECT_EQ(edges, kEdgeLeft);
    edges = 0;
    BorderClientArea(rc, Dock::Bottom, edges);
    EXPECT_EQ(edges, kEdgeTop);
}

TEST(BarGeometry, EdgesBetweenNeighboursAndHitTestingThatNeverOverlapsAtCorners) {
    EXPECT_EQ(RowEdges(Dock::Top, true, true), kEdgeLeft | kEdgeRight);
    EXPECT_EQ(RowEdges(Dock::Left, false, true), kEdgeBottom);
    const Rect rc{0, 0, 200, 100};
    const unsigned edges = kEdgeLeft | kEdgeBottom;
    // Docked at the top: the left strip is shortened by 5 at both ends.
    EXPECT_EQ(EdgeHitTest(edges, Dock::Top, rc, Point{2, 50}), kHitLeft);
    EXPECT_EQ(EdgeHitTest(edges, Dock::Top, rc, Point{2, 97}), kHitBottom);
    EXPECT_EQ(EdgeHitTest(edges, Dock::Top, rc, Point{198, 50}), kHitClient);
    EXPECT_EQ(EdgeHitTest(edges, Dock::Float, rc, Point{2, 50}), kHitClient);
}

TEST(BarGeometry, CaptionTextRectStopsBeforeTheButton) {
    unsigned edges = 0;
    Point button;
    const Rect client = CaptionClientArea(Rect{0, 0, 100, 300}, Dock::Left, edges, button);
    const Rect t = CaptionTextRect(client, button, Dock::Left);
    EXPECT_EQ(t, (Rect{5, 3, button.x - 3, 16}));
    const Rect ct = CaptionClientArea(Rect{0, 0, 300, 100}, Dock::Top, edges, button);
    EXPECT_EQ(CaptionTextRect(ct, button, Dock::Top), (Rect{3, 19, 16, 95}));
}

TEST(BarGeometry, AtTwiceTheResolutionBorderBandButtonAndEdgesAreTwiceAsLarge) {
    const DpiScale px(192);
    unsigned edges = 0;
    Point button;
    const Rect client = CaptionClientArea(Rect{0, 0, 200, 600}, Dock::Left, edges, button, px);
    EXPECT_EQ(client, (Rect{10, 36, 190, 590}));
    EXPECT_EQ(button.x, 180 - 14);
    EXPECT_EQ(button.y, 10);
    EXPECT_EQ(CaptionTextRect(client, button, Dock::Left, px), (Rect{10, 6, button.x - 6, 32}));
    // The edge strip is 10 wide, and 10 shorter at each end across the row.
    const Rect rc{0, 0, 400, 200};
    const unsigned rowEdges = kEdgeLeft | kEdgeBottom;
    EXPECT_EQ(EdgeHitTest(rowEdges, Dock::Top, rc, Point{9, 100}, px), kHitLeft);
    EXPECT_EQ(EdgeHitTest(rowEdges, Dock::Top, rc, Point{10, 100}, px), kHitClient);
    EXPECT_EQ(EdgeHitTest(rowEdges, Dock::Top, rc, Point{5, 191}, px), kHitBottom);
    Rect strip;
    ASSERT_TRUE(SizingEdgeRect(rowEdges, Dock::Top, rc, kHitLeft, strip, px));
    EXPECT_EQ(strip, (Rect{0, 10, 10, 190}));
}

// A share of the room: rounded, kept through any room, given up first when the room is
// small, and set anew by the user's drag.
TEST(HeightShare, FollowsTheRoomGivesWayFirstAndTakesTheUsersDrag) {
    bars::HeightShare pane{0.40, 150};
    EXPECT_EQ(pane.HeightFor(500, 32), 200);
    EXPECT_EQ(pane.HeightFor(1001, 32), 400); // 400.4
    EXPECT_EQ(pane.HeightFor(1004, 32), 402); // 401.6
    EXPECT_EQ(pane.HeightFor(300, 32), 120);
    EXPECT_EQ(pane.HeightFor(250, 32), 100); // the rest keeps 150
    EXPECT_EQ(pane.HeightFor(100, 32), 32);  // never below the minimum
    pane.Take(300, 600);
    EXPECT_DOUBLE_EQ(pane.share, 0.5);
    EXPECT_EQ(pane.HeightFor(900, 32), 450);
    pane.Take(100, 0); // no room: nothing learnt
    EXPECT_DOUBLE_EQ(pane.share, 0.5);
    EXPECT_FALSE(bars::HeightShare().Active());
}

TEST(RowSharing, OneBarTakesTheWholeDifferenceAndLosesItsHold) {
    std::vector<RowEntry> row{SizingBar(200, 32, 100, true)};
    const RowShare share = ShareRowLength(row, 0, 600);
    EXPECT_TRUE(share.align);
    EXPECT_FALSE(share.wrapAt);
    EXPECT_EQ(row[0].length, 602);
    EXPECT_FALSE(row[0].holdSize);
}

TEST(RowSharing, TwoBarsShareThePixelsOneByOneWithACommonThickness) {
    std::vector<RowEntry> row{SizingBar(200, 32, 120), SizingBar(200, 32, 90)};
    EXPECT_TRUE(ShareRowLength(row, 0, 405).align);
    // Lengths less the 2-pixel overlap fill the room.
    EXPECT_EQ((row[0].length - 2) + (row[1].length - 2), 405);
    EXPECT_EQ(row[0].length, 205);
    EXPECT_EQ(row[1].length, 204);
    EXPECT_EQ(row[0].thickness, 120);
    EXPECT_EQ(row[1].thickness, 120);
}

TEST(RowSharing, AHeldBarKeepsItsLengthAndABarAtItsMinimumGivesNothing) {
    std::vector<RowEntry> row{SizingBar(300, 32, 100, true), SizingBar(40, 32), SizingBar(300, 32)};
    EXPECT_TRUE(ShareRowLength(row, 0, 300 + 38 + 298 - 20).align);
    EXPECT_EQ(row[0].length, 300);
    EXPECT_EQ(row[1].length, 32 + 0);
    EXPECT_EQ(row[2].length, 300 - 10); // the middle bar gave 8 before its minimum
    EXPECT_FALSE(row[0].holdSize);      // released once the difference is gone
}

TEST(RowSharing, HeldBarsGiveWhenNoOtherBarCan) {
    std::vector<RowEntry> row{SizingBar(100, 32, 100, true), SizingBar(100, 32, 100, true)};
    ShareRowLength(row, 0, 180);
    EXPECT_EQ(row[0].length, 92);
    EXPECT_EQ(row[1].length, 92);
}

TEST(RowSharing, OtherBarsKeepTheirLengthAndTakeItOffTheRoom) {
    std::vector<RowEntry> row{SizingBar(100, 32), OtherBar(52)};
    ShareRowLength(row, 0, 300);
    EXPECT_EQ(row[0].length, 300 - 50 + 2);
}

TEST(RowSharing, AnOverflowBeforeTheBarEndsTheRowThereWithoutAlignment) {
    std::vector<RowEntry> row{OtherBar(150), OtherBar(150), SizingBar(100, 50)};
    const RowShare share = ShareRowLength(row, 2, 200);
    EXPECT_FALSE(share.align);
    EXPECT_EQ(share.wrapAt, 2u); // after the bar that overflowed
    EXPECT_EQ(row[2].length, 100);
}

TEST(RowSharing, AnOverflowAfterTheBarStartsANewRowWithThatBar) {
    std::vector<RowEntry> row{SizingBar(100, 60), SizingBar(100, 60), SizingBar(100, 60)};
    const RowShare share = ShareRowLength(row, 0, 130);
    EXPECT_TRUE(share.align);
    EXPECT_EQ(share.wrapAt, 2u);
    EXPECT_EQ((row[0].length - 2) + (row[1].length - 2), 130);
    EXPECT_EQ(row[2].length, 100); // it waits for its own row
}

TEST(RowSharing, AnOverflowAtTheBarSetsItToItsMinimum) {
    std::vector<RowEntry> row{SizingBar(300, 80)};
    const RowShare share = ShareRowLength(row, 0, 40);
    EXPECT_TRUE(share.align);
    EXPECT_FALSE(share.wrapAt);
    EXPECT_EQ(row[0].length, 80);
}

TEST(RowSharing, InvisibleBarsTakeNoPart) {
    RowEntry hidden = SizingBar(500, 32);
    hidden.visible = false;
    std::vector<RowEntry> row{hidden, SizingBar(100, 32)};
    ShareRowLength(row, 1, 250);
    EXPECT_EQ(row[1].length, 252);
    EXPECT_EQ(row[0].length, 500);
}

TEST(RowAlignment, BarsOverlapByTwoPixels) {
    EXPECT_EQ(AlignedPositions({100, 50, 30}, -2), (std::vector<int>{-2, 96, 144}));
}

TEST(EdgeDrag, ASideDragTradesLengthUpToTheNeighboursMinimum) {
    // Upper bar of a left column, dragging its bottom edge.
    EXPECT_TRUE(IsSideResize(Dock::Left, kHitBottom));
    EXPECT_FALSE(IsSideResize(Dock::Left, kHitRight));
    const TrackLimits l = ResizeLimits(Dock::Left, kHitBottom, Size{150, 300}, Size{33, 32}, 32,
                                       Size{150, 200}, Size{33, 32}, Size{0, 0});
    EXPECT_EQ(l.max.cy, 300 + 200 - 32);
    EXPECT_EQ(ResizeStep(kHitBottom, Size{150, 300}, 0, 500, l), (Size{150, 468}));
    EXPECT_EQ(ResizeStep(kHitBottom, Size{150, 300}, 0, -500, l), (Size{150, 32}));
    EXPECT_EQ(ResizeStep(kHitBottom, Size{150, 300}, 7, 25, l), (Size{150, 325}));
}

TEST(EdgeDrag, AnOuterDragStopsFourPixelsBeforeThePaneVanishes) {
    const TrackLimits l = ResizeLimits(Dock::Left, kHitRight, Size{150, 300}, Size{33, 32}, 60,
                                       Size{}, Size{}, Size{400, 500});
    EXPECT_EQ(l.min.cx, 60); // the row's largest minimum thickness
    EXPECT_EQ(l.max.cx, 150 + 396);
    EXPECT_EQ(ResizeStep(kHitRight, Size{150, 300}, 1000, 0, l).cx, 546);
    // A bar docked at the right grows leftwards.
    const TrackLimits r = ResizeLimits(Dock::Right, kHitLeft, Size{150, 300}, Size{33, 32}, 32,
                                       Size{}, Size{}, Size{400, 500});
    EXPECT_EQ(ResizeStep(kHitLeft, Size{150, 300}, -50, 0, r).cx, 200);
}

TEST(FloatingCorners, CornersFollowTheCursorButNeverBelow37By32) {
    const Rect frame{100, 100, 320, 330};
    const Rect bar{104, 120, 316, 326};
    const Size minFloat{37, 32};
    CornerResult r =
        FloatCornerSize(kHitBottomRight, Point{350, 360}, frame, bar, Size{212, 206}, minFloat);
    EXPECT_EQ(r.size, (Size{212 + 30, 206 + 30}));
    EXPECT_FALSE(r.bLeft);
    r = FloatCornerSize(kHitTopLeft, Point{90, 80}, frame, bar, Size{212, 206}, minFloat);
    EXPECT_EQ(r.size, (Size{222, 226}));
    EXPECT_EQ(r.dragLeft, 90);
    EXPECT_EQ(r.dragTop, 80);
    // Pushed far inwards: the minimum, and the frame's corner stops where it is reached.
    r = FloatCornerSize(kHitTopLeft, Point{500, 500}, frame, bar, Size{212, 206}, minFloat);
    EXPECT_EQ(r.size, minFloat);
    EXPECT_EQ(r.dragLeft, 100 + 212 - 37);
    EXPECT_EQ(r.dragTop, 100 + 206 - 32);
    r = FloatCornerSize(kHitBottomLeft, Point{0, 0}, frame, bar, Size{212, 206}, minFloat);
    EXPECT_EQ(r.size, (Size{312, 32}));
}
