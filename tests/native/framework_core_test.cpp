// The framework's portable arithmetic: bar layout, status panes, resource formats and
// the command line.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "dock_rows.h"
#include "dpi_scale.h"
#include "layout.h"
#include "resource_text.h"
#include "shell_command.h"

TEST(BarLayout, EachBarTakesItsSideAndTheRestIsLeft) {
    LayoutRect free{0, 0, 600, 400};
    const LayoutRect toolbar = TakeBarRoom(free, BarSide::Top, 40);
    const LayoutRect status = TakeBarRoom(free, BarSide::Bottom, 22);
    const LayoutRect pane = TakeBarRoom(free, BarSide::Left, 200);
    const LayoutRect right = TakeBarRoom(free, BarSide::Right, 50);
    EXPECT_EQ(toolbar, (LayoutRect{0, 0, 600, 40}));
    EXPECT_EQ(status, (LayoutRect{0, 378, 600, 400}));
    EXPECT_EQ(pane, (LayoutRect{0, 40, 200, 378}));
    EXPECT_EQ(right, (LayoutRect{550, 40, 600, 378}));
    EXPECT_EQ(free, (LayoutRect{200, 40, 550, 378}));
}

TEST(BarLayout, ABarNeverTakesMoreThanIsLeft) {
    LayoutRect free{0, 0, 300, 50};
    const LayoutRect toolbar = TakeBarRoom(free, BarSide::Top, 40);
    const LayoutRect status = TakeBarRoom(free, BarSide::Bottom, 22); // only 10 left
    EXPECT_EQ(toolbar.Height(), 40);
    EXPECT_EQ(status, (LayoutRect{0, 40, 300, 50}));
    EXPECT_EQ(free.Height(), 0);
    const LayoutRect none = TakeBarRoom(free, BarSide::Bottom, 5);
    EXPECT_EQ(none.Height(), 0);
    EXPECT_EQ(free.Height(), 0);
    const LayoutRect negative = TakeBarRoom(free, BarSide::Left, -3);
    EXPECT_EQ(negative.Width(), 0);
    EXPECT_EQ(free.Width(), 300);
}

TEST(DockRows, BarsGoIntoRowsAndARowLeftEmptyGoesWithItsLastBar) {
    struct Bar {};
    Bar a, b, c, d;
    DockRows<Bar> rows;
    rows.AppendRow(&a);
    rows.InsertRow(0, &b);        // a new first row
    rows.InsertInRow(1, 0, &c);   // before a, in its row
    rows.InsertInRow(1, 99, &d);  // past the end: the row's end
    using Row = DockRows<Bar>::Row;
    ASSERT_EQ(rows.RowCount(), 2u);
    EXPECT_EQ(rows.RowAt(0), (Row{&b}));
    EXPECT_EQ(rows.RowAt(1), (Row{&c, &a, &d}));
    EXPECT_EQ(rows.Bars(), (Row{&b, &c, &a, &d}));
    ASSERT_TRUE(rows.Find(&a));
    EXPECT_EQ(rows.Find(&a)->row, 1u);
    EXPECT_EQ(rows.Find(&a)->index, 1u);
    EXPECT_EQ(rows.RowOf(&d), &rows.RowAt(1));

    EXPECT_TRUE(rows.Remove(&b));
    EXPECT_FALSE(rows.Remove(&b));
    ASSERT_EQ(rows.RowCount(), 1u); // b's row went with it
    EXPECT_EQ(rows.RowOf(&b), nullptr);
    EXPECT_EQ(rows.Count(), 3u);
}

TEST(DockRows, AWrappedRowContinuesRightAfterItAndNeverLeavesAnEmptyRow) {
    struct Bar {};
    Bar a, b, c, z;
    DockRows<Bar> rows;
    rows.AppendRow(&a);
    rows.InsertInRow(0, 1, &b);
    rows.InsertInRow(0, 2, &c);
    rows.AppendRow(&z);
    const DockRows<Bar> before = rows;
    rows.SplitRow(0, 0); // would empty the row
    rows.SplitRow(0, 3); // would make an empty one
    EXPECT_EQ(rows, before);
    rows.SplitRow(0, 1);
    using Row = DockRows<Bar>::Row;
    ASSERT_EQ(rows.RowCount(), 3u);
    EXPECT_EQ(rows.RowAt(0), (Row{&a}));
    EXPECT_EQ(rows.RowAt(1), (Row{&b, &c}));
    EXPECT_EQ(rows.RowAt(2), (Row{&z}));
    EXPECT_NE(rows, before);
}

TEST(StatusPanes, IndicatorsSitAtTheRightAndTheMessagePaneStretches) {
    // Widths of pane 0 (ignored), CAP, NUM, SCRL; a 16-pixel size grip.
    const std::vector<int> edges = StatusPaneEdges(800, {0, 40, 40, 44}, 16);
    EXPECT_EQ(edges, (std::vector<int>{660, 700, 740, -1}));
}

TEST(StatusPanes, ANarrowWindowShrinksTheMessagePaneToNothingNeverBelow) {
    const std::vector<int> edges = StatusPaneEdges(100, {0, 40, 40, 44}, 16);
    EXPECT_EQ(edges, (std::vector<int>{0, 0, 40, -1}));
    for (size_t i = 1; i + 1 < edges.size(); ++i)
        EXPECT_LE(edges[i - 1], edges[i]);
    EXPECT_EQ(StatusPaneEdges(500, {0}, 0), (std::vector<int>{-1}));
    EXPECT_TRUE(StatusPaneEdges(500, {}, 0).empty());
}

TEST(ResourceText, DocumentStringParts) {
    const std::string doc = "Dirscope\n\nDirsco\n\n\nDirscope.Document\nDirsco Document";
    EXPECT_EQ(GetSubstring(doc, kWindowTitle), "Dirscope");
    EXPECT_EQ(GetSubstring(doc, kDocName), "");
    EXPECT_EQ(GetSubstring(doc, kFileNewName), "Dirsco");
    EXPECT_EQ(GetSubstring(doc, kFilterName), "");
    EXPECT_EQ(GetSubstring(doc, kFilterExt), "");
    EXPECT_EQ(GetSubstring(doc, kRegFileTypeId), "Dirscope.Document");
    EXPECT_EQ(GetSubstring(doc, kRegFileTypeName), "Dirsco Document");
    EXPECT_EQ(GetSubstring(doc, 7), "");
    EXPECT_EQ(GetSubstring(doc, -1), "");
}

TEST(ResourceText, PromptAndTooltip) {
    EXPECT_EQ(PromptText("Show or hide the toolbar\nToggle ToolBar"), "Show or hide the toolbar");
    EXPECT_EQ(TipText("Show or hide the toolbar\nToggle ToolBar"), "Toggle ToolBar");
    EXPECT_EQ(PromptText("Output To Ttext File"), "Output To Ttext File");
    EXPECT_EQ(TipText("Output To Ttext File"), "");
}

namespace {

std::vector<uint8_t> Words(const std::vector<unsigned>& words) {
    std::vector<uint8_t> bytes;
    for (unsigned w : words) {
        bytes.push_back(static_cast<uint8_t>(w & 0xFF));
        bytes.push_back(static_cast<uint8_t>(w >> 8));
    }
    return bytes;
}

} // namespace

TEST(ToolbarResource, ButtonsSeparatorsAndRunningImageIndices) {
    const auto data = Words({1, 30, 30, 9, 201, 202, 203, 0, 204, 32803, 206, 0, 209});
    ToolbarResource toolbar;
    ASSERT_TRUE(ParseToolbarResource(data.data(), data.size(), toolbar));
    EXPECT_EQ(toolbar.nWidth, 30);
    EXPECT_EQ(toolbar.nHeight, 30);
    ASSERT_EQ(toolbar.buttons.size(), 9u);
    const unsigned ids[] = {201, 202, 203, 0, 204, 32803, 206, 0, 209};
    const int images[] = {0, 1, 2, -1, 3, 4, 5, -1, 6};
    for (size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(toolbar.buttons[i].nID, ids[i]) << i;
        EXPECT_EQ(toolbar.buttons[i].iImage, images[i]) << i;
    }
}

TEST(ToolbarResource, DamagedDataIsRefused) {
    ToolbarResource toolbar;
    toolbar.nWidth = 99;
    const auto shortCount = Words({1, 30, 30, 3, 201, 202}); // says 3, holds 2
    EXPECT_FALSE(ParseToolbarResource(shortCount.data(), shortCount.size(), toolbar));
    const auto version2 = Words({2, 30, 30, 1, 201});
    EXPECT_FALSE(ParseToolbarResource(version2.data(), version2.size(), toolbar));
    const auto noSize = Words({1, 0, 30, 1, 201});
    EXPECT_FALSE(ParseToolbarResource(noSize.data(), noSize.size(), toolbar));
    EXPECT_FALSE(ParseToolbarResource(nullptr, 0, toolbar));
    EXPECT_FALSE(ParseToolbarResource(version2.data(), 6, toolbar));
    EXPECT_EQ(toolbar.nWidth, 99); // untouched
    const auto empty = Words({1, 16, 15, 0});
    EXPECT_TRUE(ParseToolbarResource(empty.data(), empty.size(), toolbar));
    EXPECT_TRUE(toolbar.buttons.empty());
}

TEST(CommandLine, NoArgumentsMakeANewDocumentAFileNameOpensIt) {
    CCommandLineInfo none;
    none.Parse({});
    EXPECT_EQ(none.m_nShellCommand, CCommandLineInfo::FileNew);

    CCommandLineInfo open;
    open.Parse({"/dde", "C:\\data\\report.dsc", "second.dsc", "-x"});
    EXPECT_EQ(open.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_EQ(open.m_strFileName, "C:\\data\\report.dsc");

    CCommandLineInfo switches;
    switches.Parse({"/Embedding", "-Automation", ""});
    EXPECT_EQ(switches.m_nShellCommand, CCommandLineInfo::FileNew);
    EXPECT_TRUE(switches.m_strFileName.empty());
}

TEST(DpiScale, RoundsToTheNearestPixelWithHalvesAwayFromZero) {
    const DpiScale at144(144), at120(120), at192(192);
    EXPECT_EQ(at144.ToDevice(13), 20); // 19.5
    EXPECT_EQ(at144.ToDevice(5), 8);   // 7.5
    EXPECT_EQ(at144.ToDevice(-5), -8); // -7.5
    EXPECT_EQ(at120.ToDevice(11), 14); // 13.75
    EXPECT_EQ(at120.ToDevice(33), 41); // 41.25
    EXPECT_EQ(at192.ToDevice(200), 400);
    EXPECT_EQ(at144.ToStored(20), 13);  // 13.33
    EXPECT_EQ(at144.ToStored(-8), -5);  // -5.33
    EXPECT_EQ(at120.ToStored(41), 33);  // 32.8
    EXPECT_EQ(DpiScale(0).Dpi(), 96);
    EXPECT_EQ(DpiScale::Rescale(7, 0, 144), 7);
}

TEST(DpiScale, AStoredValueShownAndReadBackIsTheSameAtEveryScaleFrom100Percent) {
    for (int dpi : {96, 97, 120, 144, 168, 192, 240, 288}) {
        const DpiScale scale(dpi);
        for (int n = -300; n <= 3000; ++n) {
            ASSERT_EQ(scale.ToStored(scale.ToDevice(n)), n) << dpi << " dpi, " << n;
            ASSERT_EQ(scale.ToDevice(scale.ToStored(scale.ToDevice(n))), scale.ToDevice(n));
        }
    }
    // Moving a shown size from one scale to another and back keeps it too.
    for (int n = 0; n <= 1000; ++n)
        ASSERT_EQ(DpiScale::Rescale(DpiScale::Rescale(n, 144, 192), 192, 144), n) << n;
}
