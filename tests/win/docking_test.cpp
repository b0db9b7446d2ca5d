// Sizing bars in a frame with real windows: docking on each side, edges and caption,
// edge drags, the close button, floating and docking again, sizes and the layout read
// from the profile, and the toolbar on every side.
#include <gtest/gtest.h>

#include <memory>

#include "caption_bar.h"
#include "dock_bar.h"
#include "frame_wnd.h"
#include "gui_test_support.h"
#include "mini_dock_frame.h"
#include "tool_bar.h"
#include "win_app.h"

namespace {

class CTestFrame : public CFrameWnd {
public:
    CSizingControlBarCF m_bar1;
    CSizingControlBarCF m_bar2;
    CWnd m_wndPane;
    void PostNcDestroy() override {}
};

class Docking : public ::testing::Test {
protected:
    void SetUp() override {
        m_pFrame = std::make_unique<CTestFrame>();
        ASSERT_TRUE(m_pFrame->Create(nullptr, "Docking", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                     CRect(10, 10, 810, 610), nullptr, 0, 0, nullptr));
        ASSERT_TRUE(m_pFrame->m_wndPane.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE,
                                               CRect(0, 0, 0, 0), m_pFrame.get(),
                                               AFX_IDW_PANE_FIRST));
        m_pFrame->EnableDocking(CBRS_ALIGN_ANY);
        for (auto* bar : {&m_pFrame->m_bar1, &m_pFrame->m_bar2}) {
            ASSERT_TRUE(bar->Create(bar == &m_pFrame->m_bar1 ? "Folders" : "Second", m_pFrame.get(),
                                    bar == &m_pFrame->m_bar1 ? 101 : 102,
                                    WS_CHILD | WS_VISIBLE | CBRS_LEFT));
            bar->EnableDocking(CBRS_ALIGN_ANY);
        }
    }
    void TearDown() override {
        if (m_pFrame && m_pFrame->m_hWnd)
            m_pFrame->DestroyWindow();
        PumpMessages();
    }
    void Settle() {
        m_pFrame->RecalcLayout();
        for (int i = 0; i < 4; ++i) {
            PumpMessages();
            m_pFrame->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
        }
    }
    CRect Pane() const { return m_pFrame->m_wndPane.GetWindowRect(); }

    CWinApp m_app{"DockingTests"};
    std::unique_ptr<CTestFrame> m_pFrame;
};

TEST_F(Docking, EachSideGivesTheEdgeFacingTheInteriorAndTheCaptionBand) {
    CSizingControlBarCF& bar = m_pFrame->m_bar1;
    m_pFrame->m_bar2.ShowWindow(SW_HIDE);
    struct Case {
        UINT nID;
        DWORD dwEdge;
    } cases[] = {{AFX_IDW_DOCKBAR_LEFT, bars::kEdgeRight},
                 {AFX_IDW_DOCKBAR_RIGHT, bars::kEdgeLeft},
                 {AFX_IDW_DOCKBAR_TOP, bars::kEdgeBottom},
                 {AFX_IDW_DOCKBAR_BOTTOM, bars::kEdgeTop}};
    for (const Case& c : cases) {
        m_pFrame->DockControlBar(&bar, c.nID);
        Settle();
        EXPECT_EQ(bar.m_nParentDockID, c.nID);
        EXPECT_EQ(bar.m_dwEdgeStyle, c.dwEdge) << c.nID;
        const CRect rcBar = bar.GetWindowRect();
        const CRect rcClient = bar.GetClientRect();
        // Border 5 on three sides and the band of 13 along the caption side.
        if (c.nID == AFX_IDW_DOCKBAR_LEFT || c.nID == AFX_IDW_DOCKBAR_RIGHT) {
            EXPECT_EQ(rcBar.Width() - rcClient.Width(), 10);
            EXPECT_EQ(rcBar.Height() - rcClient.Height(), 5 + 13 + 5);
            EXPECT_EQ(rcBar.Width(), 200);
        } else {
            EXPECT_EQ(rcBar.Width() - rcClient.Width(), 10 + 13);
            EXPECT_EQ(rcBar.Height(), 200);
        }
        // The edge is hit where it lies, the button where it is drawn.
        const CPoint btn = bar.m_btnClose.m_ptOrigin;
        EXPECT_EQ(bar.SendMessage(WM_NCHITTEST, 0,
                                  MAKELPARAM(rcBar.left + btn.x + 5, rcBar.top + btn.y + 5)),
                  HTCLOSE);
        if (c.nID == AFX_IDW_DOCKBAR_LEFT) {
            EXPECT_EQ(
                bar.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rcBar.right - 2, rcBar.top + 100)),
                HTRIGHT);
        }
    }
}

TEST_F(Docking, ALeftBarTakesTheWholeHeightAndThePaneTheRest) {
    m_pFrame->m_bar2.ShowWindow(SW_HIDE);
    m_pFrame->DockControlBar(&m_pFrame->m_bar1, AFX_IDW_DOCKBAR_LEFT);
    Settle();
    const CRect rcDock = m_pFrame->GetDockBar(AFX_IDW_DOCKBAR_LEFT)->GetClientRect();
    const CRect rcBar = m_pFrame->m_bar1.GetWindowRect();
    EXPECT_EQ(rcBar.Height(), rcDock.Height() + 2);
    EXPECT_EQ(Pane().left, rcBar.right);
}

TEST_F(Docking, TwoBarsInAColumnShareItsHeightAndTradeItByTheirCommonEdge) {
    CSizingControlBarCF& upper = m_pFrame->m_bar1;
    CSizingControlBarCF& lower = m_pFrame->m_bar2;
    m_pFrame->DockControlBar(&upper, AFX_IDW_DOCKBAR_LEFT);
    Settle();
    CRect rc = upper.GetWindowRect();
    rc.OffsetRect(0, 150);
    m_pFrame->DockControlBar(&lower, AFX_IDW_DOCKBAR_LEFT, &rc);
    Settle();
    const CRect r1 = upper.GetWindowRect();
    const CRect r2 = lower.GetWindowRect();
    EXPECT_EQ(r1.left, r2.left);
    EXPECT_EQ(r2.top, r1.bottom - 2);
    EXPECT_EQ(upper.m_dwEdgeStyle, bars::kEdgeRight | bars::kEdgeBottom);
    EXPECT_EQ(lower.m_dwEdgeStyle, bars::kEdgeRight | bars::kEdgeTop);
    const int nSum = upper.m_sizeVert.cy + lower.m_sizeVert.cy;

    // Drag the common edge down by 40: the lower bar gives what the upper one takes.
    const POINT ptEdge{(r1.left + r1.right) / 2, r1.bottom - 2};
    ASSERT_EQ(upper.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptEdge.x, ptEdge.y)), HTBOTTOM);
    const int nUpper = upper.m_sizeVert.cy;
    upper.SendMessage(WM_NCLBUTTONDOWN, HTBOTTOM, MAKELPARAM(ptEdge.x, ptEdge.y));
    EXPECT_EQ(GetCapture(), upper.m_hWnd);
    POINT pt{upper.m_ptTrackStart.x, upper.m_ptTrackStart.y + 40};
    ScreenToClient(upper.m_hWnd, &pt);
    upper.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
    upper.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ(GetCapture(), nullptr);
    Settle();
    EXPECT_EQ(upper.m_sizeVert.cy, nUpper + 40);
    EXPECT_EQ(upper.m_sizeVert.cy + lower.m_sizeVert.cy, nSum);

    // Far beyond: the lower bar keeps its minimum height.
    upper.SendMessage(WM_NCLBUTTONDOWN, HTBOTTOM,
                      MAKELPARAM(ptEdge.x, upper.GetWindowRect().bottom - 2));
    pt = POINT{ptEdge.x, ptEdge.y + 5000};
    ScreenToClient(upper.m_hWnd, &pt);
    upper.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
    upper.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    Settle();
    EXPECT_EQ(lower.m_sizeVert.cy, 32);
}

TEST_F(Docking, TheOuterEdgeChangesTheColumnsWidthUntilThePaneIsAlmostGone) {
    CSizingControlBarCF& bar = m_pFrame->m_bar1;
    m_pFrame->m_bar2.ShowWindow(SW_HIDE);
    m_pFrame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    Settle();
    const int nPane = Pane().Width();
    CRect rc = bar.GetWindowRect();
    const POINT ptEdge{rc.right - 2, (rc.top + rc.bottom) / 2};
    ASSERT_EQ(bar.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptEdge.x, ptEdge.y)), HTRIGHT);
    bar.SendMessage(WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(ptEdge.x, ptEdge.y));
    POINT pt{ptEdge.x + 5000, ptEdge.y};
    ScreenToClient(bar.m_hWnd, &pt);
    bar.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
    // Another window taking the capture ends the drag too.
    SetCapture(m_pFrame->m_hWnd);
    ReleaseCapture();
    EXPECT_FALSE(bar.m_bResizing);
    Settle();
    EXPECT_EQ(bar.m_sizeVert.cx, 200 + nPane - 4);
    EXPECT_EQ(Pane().Width(), 4);
}

TEST_F(Docking, TheCloseButtonHidesTheBarAndThePaneTakesItsRoom) {
    CSizingControlBarCF& bar = m_pFrame->m_bar1;
    m_pFrame->m_bar2.ShowWindow(SW_HIDE);
    m_pFrame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    Settle();
    const int nPane = Pane().Width();
    bar.SendMessage(WM_NCLBUTTONUP, HTCLOSE, 0);
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_EQ(Pane().Width(), nPane + 200);
    // A close request never destroys it.
    bar.SendMessage(WM_CLOSE);
    EXPECT_TRUE(IsWindow(bar.m_hWnd));
    m_pFrame->ShowControlBar(&bar, true, false);
    Settle();
    EXPECT_TRUE(bar.IsWindowVisible());
    EXPECT_EQ(Pane().Width(), nPane);
}

TEST_F(Docking, ADoubleClickFloatsTheBarAndAnotherDocksItAgain) {
    CSizingControlBarCF& bar = m_pFrame->m_bar1;
    m_pFrame->m_bar2.ShowWindow(SW_HIDE);
    m_pFrame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    Settle();
    bar.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(20, 20));
    Settle();
    ASSERT_TRUE(bar.IsFloating());
    EXPECT_EQ(bar.m_nParentDockID, static_cast<UINT>(AFX_IDW_DOCKBAR_FLOAT));
    auto* pMini = dynamic_cast<CMiniDockFrameWnd*>(bar.GetParentFrame());
    ASSERT_NE(pMini, nullptr);
    EXPECT_TRUE(pMini->IsWindowVisible());
    EXPECT_EQ(pMini->GetWindowText(), "Folders");
    // No caption band floating: only the thin border.
    EXPECT_EQ(bar.GetWindowRect().Height() - bar.GetClientRect().Height(), 8);
    EXPECT_EQ(bar.GetWindowRect().Size(), bar.m_sizeFloat);

    // Its mini frame's corner resizes it, never below 37 x 32.
    const CRect rcFrame = pMini->GetWindowRect();
    SetCursorPos(rcFrame.right - 1, rcFrame.bottom - 1);
    pMini->SendMessage(WM_NCLBUTTONDOWN, HTBOTTOMRIGHT,
                       MAKELPARAM(rcFrame.right - 1, rcFrame.bottom - 1));
    SetCursorPos(rcFrame.left - 300, rcFrame.top - 300);
    POINT pt{rcFrame.left - 300, rcFrame.top - 300};
    ScreenToClient(bar.m_hWnd, &pt);
    bar.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
    bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ(bar.m_sizeFloat, CSize(37, 32));

    bar.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 10));
    Settle();
    EXPECT_FALSE(bar.IsFloating());
    EXPECT_EQ(bar.m_nParentDockID, static_cast<UINT>(AFX_IDW_DOCKBAR_LEFT));
}

TEST_F(Docking, SizesComeFromTheProfileRaisedToTheirLimits) {
    m_app.SetRegistryKey("DscpTests");
    ScopedRegistryKey key("Software\\DscpTests\\DockingTests\\Layout-SCBar-101");
    m_app.WriteProfileInt("Layout-SCBar-101", "sizeVertCX", 20);
    m_app.WriteProfileInt("Layout-SCBar-101", "sizeVertCY", 400);
    CSizingControlBar::RestoreAllSizes(m_pFrame.get(), "Layout");
    EXPECT_EQ(m_pFrame->m_bar1.m_sizeVert, CSize(33, 400));
    EXPECT_EQ(m_pFrame->m_bar1.m_sizeHorz, CSize(200, 110));
    EXPECT_EQ(m_pFrame->m_bar2.m_sizeHorz, CSize(200, 110)); // no section at all
    EXPECT_EQ(m_pFrame->m_bar2.m_sizeVert, CSize(200, 200));
}

TEST_F(Docking, TheLayoutFromTheProfileIsTakenWholeOrNotAtAll) {
    m_app.SetRegistryKey("DscpTests");
    ScopedRegistryKey summary("Software\\DscpTests\\DockingTests\\State-Summary");
    ScopedRegistryKey bar0("Software\\DscpTests\\DockingTests\\State-Bar0");
    ScopedRegistryKey bar1("Software\\DscpTests\\DockingTests\\State-Bar1");
    m_pFrame->DockControlBar(&m_pFrame->m_bar1, AFX_IDW_DOCKBAR_LEFT);
    m_pFrame->DockControlBar(&m_pFrame->m_bar2, AFX_IDW_DOCKBAR_LEFT);
    m_app.WriteProfileInt("State-Summary", "Bars", 2);
    m_app.WriteProfileInt("State-Bar0", "BarID", 101);
    m_app.WriteProfileInt("State-Bar0", "DockBarID", AFX_IDW_DOCKBAR_RIGHT);
    m_app.WriteProfileInt("State-Bar0", "Visible", 1);
    m_app.WriteProfileInt("State-Bar1", "BarID", 102);
    m_app.WriteProfileInt("State-Bar1", "DockBarID", 12345); // no such side
    m_app.WriteProfileInt("State-Bar1", "Visible", 1);
    EXPECT_FALSE(m_pFrame->LoadBarState("State"));
    Settle();
    EXPECT_EQ(m_pFrame->m_bar1.m_nParentDockID, static_cast<UINT>(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_FALSE(m_pFrame->LoadBarState("Missing"));

    m_app.WriteProfileInt("State-Bar1", "DockBarID", AFX_IDW_DOCKBAR_BOTTOM);
    m_app.WriteProfileInt("State-Bar1", "Visible", 0);
    EXPECT_TRUE(m_pFrame->LoadBarState("State"));
    Settle();
    EXPECT_EQ(m_pFrame->m_bar1.m_nParentDockID, static_cast<UINT>(AFX_IDW_DOCKBAR_RIGHT));
    EXPECT_EQ(m_pFrame->m_bar2.m_nParentDockID, static_cast<UINT>(AFX_IDW_DOCKBAR_BOTTOM));
    EXPECT_FALSE(m_pFrame->m_bar2.IsWindowVisible());
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
