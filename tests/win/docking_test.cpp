// Sizing bars in a frame with real windows: docking on each side, edges and caption,
// edge drags, the close button, floating and docking again, sizes and the layout read
// from the profile, and the toolbar on every side.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "caption_bar.h"
#include "dock_bar.h"
#include "dock_context.h"
#include "frame_wnd.h"
#include "gui_test_support.h"
#include "mini_dock_frame.h"
#include "tool_bar.h"
#include "win_app.h"

namespace {

POINT Center(const CRect& rc) {
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

class CTestFrame : public CFrameWnd {
public:
    CSizingControlBarCF m_bar1;
    CSizingControlBarCF m_bar2;
    CToolBar m_wndToolBar;
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
    CDockBar* DockBar(UINT nID) const { return m_pFrame->GetDockBar(nID); }
    // A toolbar of six buttons and a separator, docked at the top, the sizing bars hidden.
    CToolBar& MakeToolBar() {
        CToolBar& bar = m_pFrame->m_wndToolBar;
        EXPECT_TRUE(bar.Create(m_pFrame.get(), WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER));
        static const UINT kIds[] = {1001, 1002, 1003, ID_SEPARATOR, 1004, 1005, 1006};
        bar.SetButtons(kIds, 7);
        bar.SetSizes(CSize(23, 22), CSize(16, 15));
        bar.EnableDocking(CBRS_ALIGN_ANY);
        m_pFrame->m_bar1.ShowWindow(SW_HIDE);
        m_pFrame->m_bar2.ShowWindow(SW_HIDE);
        m_pFrame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
        Settle();
        return bar;
    }
    // Sends a press at a screen point to the bar as a real click there would arrive.
    static void Press(CWnd& wnd, POINT ptScreen, UINT message = WM_LBUTTONDOWN) {
        ::ScreenToClient(wnd.m_hWnd, &ptScreen);
        wnd.SendMessage(message, MK_LBUTTON, MAKELPARAM(ptScreen.x, ptScreen.y));
    }
    // Mouse messages go to whichever window holds the capture, in its client coordinates.
    static void MoveTo(POINT ptScreen, UINT message = WM_MOUSEMOVE) {
        HWND hCapture = GetCapture();
        ASSERT_NE(hCapture, nullptr);
        ::ScreenToClient(hCapture, &ptScreen);
        ::SendMessageA(hCapture, message, message == WM_MOUSEMOVE ? MK_LBUTTON : 0,
                       MAKELPARAM(ptScreen.x, ptScreen.y));
    }
    static void Mouse(POINT ptScreen, DWORD dwButtons = 0) {
        ASSERT_TRUE(SendMouse(ptScreen, dwButtons));
    }
    static void Drag(POINT ptFrom, POINT ptTo) {
        Mouse(ptFrom);
        Mouse(ptFrom, MOUSEEVENTF_LEFTDOWN);
        Mouse(POINT{(ptFrom.x + ptTo.x) / 2, (ptFrom.y + ptTo.y) / 2});
        Mouse(ptTo);
        Mouse(ptTo, MOUSEEVENTF_LEFTUP);
    }
    static int Rows(CToolBar& bar) {
        int nRows = 0;
        LONG top = -1;
        for (int i = 0; i < bar.GetCount(); ++i)
            if (bar.GetItemID(i) != ID_SEPARATOR && bar.GetItemRect(i).top != top) {
                top = bar.GetItemRect(i).top;
                ++nRows;
            }
        return nRows;
    }

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
        EXPECT_EQ(bar.DockBarId(), c.nID);
        EXPECT_EQ(bar.EdgeStyle(), c.dwEdge) << c.nID;
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
        const CPoint btn = bar.CloseButton().Origin();
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
    EXPECT_FALSE(bar.IsResizing());
    Settle();
    EXPECT_EQ(bar.VertSize().cx, 200 + nPane - 4);
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

TEST_F(Docking, RealMouseInputDragsTheEdgesOfBarsInAColumn) {
    CSizingControlBarCF& upper = m_pFrame->m_bar1;
    CSizingControlBarCF& lower = m_pFrame->m_bar2;
    ::SetForegroundWindow(m_pFrame->m_hWnd);
    m_pFrame->DockControlBar(&upper, AFX_IDW_DOCKBAR_LEFT);
    Settle();
    CRect rc = upper.GetWindowRect();
    rc.OffsetRect(0, 150);
    m_pFrame->DockControlBar(&lower, AFX_IDW_DOCKBAR_LEFT, &rc);
    Settle();
    // One column: the lower bar 2 pixels into the upper one, their common edge each's.
    EXPECT_EQ(upper.GetWindowRect().left, lower.GetWindowRect().left);
    EXPECT_EQ(lower.GetWindowRect().top, upper.GetWindowRect().bottom - 2);
    EXPECT_EQ(upper.EdgeStyle(), bars::kEdgeRight | bars::kEdgeBottom);
    EXPECT_EQ(lower.EdgeStyle(), bars::kEdgeRight | bars::kEdgeTop);
    const int nUpper = upper.VertSize().cy;
    const int nSum = upper.VertSize().cy + lower.VertSize().cy;
    const int nPane = Pane().Width();

    // The common edge, pressed at the middle of the upper bar's edge strip (a drag
    // counts from there) and moved 40 down: the capture is the bar's while the button is
    // down, and the lower bar gives what the upper one takes.
    const int e = bars::kSizingEdge;
    const CRect r1 = upper.GetWindowRect();
    const POINT ptEdge{(r1.left + r1.right) / 2, (r1.bottom - e + r1.bottom) / 2};
    ASSERT_EQ(WindowFromPoint(ptEdge), upper.m_hWnd);
    Mouse(ptEdge);
    Mouse(ptEdge, MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(upper.IsResizing());
    EXPECT_EQ(GetCapture(), upper.m_hWnd);
    Mouse(POINT{ptEdge.x, ptEdge.y + 20});
    Mouse(POINT{ptEdge.x, ptEdge.y + 40});
    Mouse(POINT{ptEdge.x, ptEdge.y + 40}, MOUSEEVENTF_LEFTUP);
    EXPECT_FALSE(upper.IsResizing());
    EXPECT_EQ(GetCapture(), nullptr);
    Settle();
    EXPECT_EQ(upper.VertSize().cy, nUpper + 40);
    EXPECT_EQ(upper.VertSize().cy + lower.VertSize().cy, nSum);
    EXPECT_EQ(upper.GetWindowRect().Height(), nUpper + 40);
    EXPECT_EQ(lower.GetWindowRect().top, upper.GetWindowRect().bottom - 2);

    // The outer edge of the lower bar, 60 to the right: the column's common width grows
    // for both bars and the pane gives it up.
    const CRect r2 = lower.GetWindowRect();
    const int xEdge = (r2.right - e + r2.right) / 2;
    Drag(POINT{xEdge, (r2.top + r2.bottom) / 2}, POINT{xEdge + 60, (r2.top + r2.bottom) / 2});
    Settle();
    EXPECT_EQ(upper.VertSize().cx, 260);
    EXPECT_EQ(lower.VertSize().cx, 260);
    EXPECT_EQ(upper.GetWindowRect().Width(), 260);
    EXPECT_EQ(lower.GetWindowRect().Width(), 260);
    EXPECT_EQ(Pane().Width(), nPane - 60);
    EXPECT_EQ(Pane().left, lower.GetWindowRect().right);

    // Far beyond the lower bar's end: it keeps its minimum height.
    const CRect r3 = upper.GetWindowRect();
    Drag(POINT{(r3.left + r3.right) / 2, (r3.bottom - e + r3.bottom) / 2},
         POINT{(r3.left + r3.right) / 2, m_pFrame->GetWindowRect().bottom + 100});
    Settle();
    EXPECT_EQ(lower.VertSize().cy, 32);
    EXPECT_EQ(upper.VertSize().cy + lower.VertSize().cy, nSum);
}

TEST_F(Docking, RealMouseInputOnTheCloseButtonHidesTheBar) {
    CSizingControlBarCF& bar = m_pFrame->m_bar1;
    ::SetForegroundWindow(m_pFrame->m_hWnd);
    m_pFrame->m_bar2.ShowWindow(SW_HIDE);
    m_pFrame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    Settle();
    const int nPane = Pane().Height();
    CRect rcButton = bar.CloseButton().GetRect();
    const CRect rcBar = bar.GetWindowRect();
    rcButton.OffsetRect(rcBar.left, rcBar.top);
    const POINT pt = Center(rcButton);
    // Resting on it makes it hot, pressing it pressed; neither hides the bar yet.
    Mouse(pt);
    m_pFrame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, true, true);
    EXPECT_TRUE(bar.CloseButton().IsHot());
    Mouse(pt, MOUSEEVENTF_LEFTDOWN);
    m_pFrame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, true, true);
    EXPECT_TRUE(bar.CloseButton().IsPressed());
    EXPECT_TRUE(bar.IsWindowVisible());
    Mouse(pt, MOUSEEVENTF_LEFTUP);
    Settle();
    EXPECT_FALSE(bar.IsWindowVisible());
    // The top dock bar is empty now: the pane has the whole client area.
    EXPECT_GT(Pane().Height(), nPane + 200);
    EXPECT_EQ(Pane().Height(), m_pFrame->GetClientRect().Height());
}

TEST_F(Docking, ADoubleClickFloatsTheBarAndAnotherDocksItAgain) {
    CSizingControlBarCF& bar = m_pFrame->m_bar1;
    m_pFrame->m_bar2.ShowWindow(SW_HIDE);
    m_pFrame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    Settle();
    bar.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(20, 20));
    Settle();
    ASSERT_TRUE(bar.IsFloating());
    EXPECT_EQ(bar.DockBarId(), static_cast<UINT>(AFX_IDW_DOCKBAR_FLOAT));
    auto* pMini = dynamic_cast<CMiniDockFrameWnd*>(bar.GetParentFrame());
    ASSERT_NE(pMini, nullptr);
    EXPECT_TRUE(pMini->IsWindowVisible());
    EXPECT_EQ(pMini->GetWindowText(), "Folders");
    // No caption band floating: only the thin border.
    EXPECT_EQ(bar.GetWindowRect().Height() - bar.GetClientRect().Height(), 8);
    EXPECT_EQ(bar.GetWindowRect().Size(), bar.FloatSize());

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
    EXPECT_EQ(bar.FloatSize(), CSize(37, 32));

    bar.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 10));
    Settle();
    EXPECT_FALSE(bar.IsFloating());
    EXPECT_EQ(bar.DockBarId(), static_cast<UINT>(AFX_IDW_DOCKBAR_LEFT));
}

TEST_F(Docking, SizesComeFromTheProfileRaisedToTheirLimits) {
    m_app.SetRegistryKey("DscpTests");
    ScopedRegistryKey key("Software\\DscpTests\\DockingTests\\Layout-SCBar-101");
    m_app.WriteProfileInt("Layout-SCBar-101", "sizeVertCX", 20);
    m_app.WriteProfileInt("Layout-SCBar-101", "sizeVertCY", 400);
    CSizingControlBar::RestoreAllSizes(m_pFrame.get(), "Layout");
    EXPECT_EQ(m_pFrame->m_bar1.VertSize(), CSize(33, 400));
    EXPECT_EQ(m_pFrame->m_bar1.HorzSize(), CSize(200, 110));
    EXPECT_EQ(m_pFrame->m_bar2.HorzSize(), CSize(200, 110)); // no section at all
    EXPECT_EQ(m_pFrame->m_bar2.VertSize(), CSize(200, 200));
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
    EXPECT_EQ(m_pFrame->m_bar1.DockBarId(), static_cast<UINT>(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_FALSE(m_pFrame->LoadBarState("Missing"));

    m_app.WriteProfileInt("State-Bar1", "DockBarID", AFX_IDW_DOCKBAR_BOTTOM);
    m_app.WriteProfileInt("State-Bar1", "Visible", 0);
    EXPECT_TRUE(m_pFrame->LoadBarState("State"));
    Settle();
    EXPECT_EQ(m_pFrame->m_bar1.DockBarId(), static_cast<UINT>(AFX_IDW_DOCKBAR_RIGHT));
    EXPECT_EQ(m_pFrame->m_bar2.DockBarId(), static_cast<UINT>(AFX_IDW_DOCKBAR_BOTTOM));
    EXPECT_FALSE(m_pFrame->m_bar2.IsWindowVisible());
}

TEST_F(Docking, TheToolBarLiesInOneRowAtTheTopOrBottomAndInOneColumnAtTheSides) {
    CToolBar& bar = MakeToolBar();
    const UINT kSides[] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_BOTTOM,
                           AFX_IDW_DOCKBAR_RIGHT};
    for (UINT nID : kSides) {
        m_pFrame->DockControlBar(&bar, nID);
        Settle();
        SCOPED_TRACE(nID);
        EXPECT_EQ(bar.GetDockBar(), DockBar(nID));
        EXPECT_TRUE(bar.IsWindowVisible());
        const CRect rcBar = bar.GetWindowRect();
        const CRect rcDock = DockBar(nID)->GetWindowRect();
        const CRect rcPane = Pane();
        EXPECT_EQ(bar.GetParent(), DockBar(nID)->m_hWnd);
        const bool bHorz = nID == AFX_IDW_DOCKBAR_TOP || nID == AFX_IDW_DOCKBAR_BOTTOM;
        if (bHorz) {
            EXPECT_EQ(Rows(bar), 1);
            EXPECT_LT(rcBar.Height(), 2 * 22);
            EXPECT_GT(rcBar.Width(), 6 * 23);
        } else {
            EXPECT_EQ(Rows(bar), 6); // the separator takes no row of its own
            EXPECT_LT(rcBar.Width(), 2 * 23);
            EXPECT_GT(rcBar.Height(), 6 * 22);
        }
        // The pane starts where the side's dock bar ends, and nothing overlaps it.
        switch (nID) {
        case AFX_IDW_DOCKBAR_TOP:
            EXPECT_EQ(rcPane.top, rcDock.bottom);
            break;
        case AFX_IDW_DOCKBAR_BOTTOM:
            EXPECT_EQ(rcPane.bottom, rcDock.top);
            break;
        case AFX_IDW_DOCKBAR_LEFT:
            EXPECT_EQ(rcPane.left, rcDock.right);
            break;
        default:
            EXPECT_EQ(rcPane.right, rcDock.left);
        }
        RECT overlap;
        EXPECT_FALSE(IntersectRect(&overlap, &rcPane, &rcBar));
    }
}

TEST_F(Docking, AFloatingToolBarWrapsItsButtonsToTheWidthItsFrameIsGiven) {
    CToolBar& bar = MakeToolBar();
    const CRect rcTop = bar.GetWindowRect();
    m_pFrame->FloatControlBar(&bar, CPoint(300, 300));
    Settle();
    ASSERT_TRUE(bar.IsFloating());
    auto* pMini = dynamic_cast<CMiniDockFrameWnd*>(bar.GetParentFrame());
    ASSERT_NE(pMini, nullptr);
    EXPECT_TRUE(pMini->IsWindowVisible());
    EXPECT_EQ(pMini->GetWindowRect().TopLeft(), CPoint(300, 300));
    EXPECT_EQ(Rows(bar), 1);
    EXPECT_EQ(pMini->GetClientRect().Size(), bar.GetWindowRect().Size());
    EXPECT_EQ(Pane().top, DockBar(AFX_IDW_DOCKBAR_TOP)->GetWindowRect().top); // it is empty now
    EXPECT_LT(Pane().top, rcTop.top);

    // Dragging the frame's right edge to the left wraps the buttons into more rows.
    const CRect rcFrame = pMini->GetWindowRect();
    const POINT ptEdge{rcFrame.right - 1, (rcFrame.top + rcFrame.bottom) / 2};
    // A non-client press carries the hit-test code and screen coordinates.
    pMini->SendMessage(WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(ptEdge.x, ptEdge.y));
    EXPECT_EQ(GetCapture(), bar.m_hWnd);
    MoveTo(POINT{ptEdge.x - rcFrame.Width() / 2, ptEdge.y});
    MoveTo(POINT{ptEdge.x - rcFrame.Width() / 2, ptEdge.y}, WM_LBUTTONUP);
    EXPECT_EQ(GetCapture(), nullptr);
    Settle();
    EXPECT_GE(Rows(bar), 2);
    const CRect rcNarrow = pMini->GetWindowRect();
    EXPECT_LT(rcNarrow.Width(), rcFrame.Width());
    EXPECT_GT(rcNarrow.Height(), rcFrame.Height());
    EXPECT_EQ(pMini->GetClientRect().Size(), bar.GetWindowRect().Size());
    // The width it took is kept for the next time it floats.
    m_pFrame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    Settle();
    EXPECT_EQ(Rows(bar), 1);
    m_pFrame->FloatControlBar(&bar, CPoint(200, 200));
    Settle();
    auto* pMini2 = dynamic_cast<CMiniDockFrameWnd*>(bar.GetParentFrame());
    ASSERT_NE(pMini2, nullptr);
    EXPECT_EQ(pMini2->GetWindowRect().Size(), rcNarrow.Size());
}

TEST_F(Docking, DraggingTheToolBarByItsGripperDocksItWhereTheTrackerMeetsASide) {
    CToolBar& bar = MakeToolBar();
    const CRect rcClient = m_pFrame->GetClientRect();
    CRect rcFrameClient = rcClient;
    ::MapWindowPoints(m_pFrame->m_hWnd, nullptr, reinterpret_cast<POINT*>(&rcFrameClient), 2);

    // Press on the gripper, which lies left of the first button.
    CRect rcBar = bar.GetWindowRect();
    const POINT ptGrip{rcBar.left + 9, rcBar.top + rcBar.Height() / 2};
    Press(bar, ptGrip);
    ASSERT_EQ(GetCapture(), bar.m_hWnd);
    ASSERT_TRUE(bar.GetDockContext()->IsTracking());
    const POINT offset{ptGrip.x - rcBar.left, ptGrip.y - rcBar.top};

    // Over the left side, halfway down: the tracker takes the column's shape.
    const POINT ptLeft{rcFrameClient.left + 4 + offset.x, Center(rcFrameClient).y};
    MoveTo(ptLeft);
    EXPECT_EQ(bar.GetDockContext()->DropTarget(), static_cast<UINT>(AFX_IDW_DOCKBAR_LEFT));
    const CRect rcTrack = bar.GetDockContext()->TrackRect();
    EXPECT_EQ(rcTrack.TopLeft(), CPoint(ptLeft.x - offset.x, ptLeft.y - offset.y));
    EXPECT_GT(rcTrack.Height(), rcTrack.Width());
    // In the middle of the frame nothing is met: the floating shape.
    MoveTo(Center(rcFrameClient));
    EXPECT_EQ(bar.GetDockContext()->DropTarget(), 0u);
    EXPECT_GT(bar.GetDockContext()->TrackRect().Width(), bar.GetDockContext()->TrackRect().Height());
    // Back over the left side and let go: docked there, upright.
    MoveTo(ptLeft);
    MoveTo(ptLeft, WM_LBUTTONUP);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(bar.GetDockContext()->IsTracking());
    Settle();
    EXPECT_EQ(bar.GetDockBar(), DockBar(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_EQ(bar.GetBarStyle() & CBRS_ALIGN_ANY, CBRS_ALIGN_LEFT);
    EXPECT_EQ(Rows(bar), 6);
    EXPECT_EQ(Pane().left, bar.GetWindowRect().right);

    // Dragged by its face (the separator between buttons) into the middle: it floats.
    CRect rcSep = bar.GetItemRect(3);
    ::MapWindowPoints(bar.m_hWnd, nullptr, reinterpret_cast<POINT*>(&rcSep), 2);
    const POINT ptFace = Center(rcSep);
    Press(bar, ptFace);
    ASSERT_EQ(GetCapture(), bar.m_hWnd);
    const POINT ptMiddle = Center(rcFrameClient);
    MoveTo(ptMiddle);
    const CRect rcFloat = bar.GetDockContext()->TrackRect();
    MoveTo(ptMiddle, WM_LBUTTONUP);
    Settle();
    ASSERT_TRUE(bar.IsFloating());
    auto* pMini = dynamic_cast<CMiniDockFrameWnd*>(bar.GetParentFrame());
    ASSERT_NE(pMini, nullptr);
    EXPECT_EQ(pMini->GetWindowRect(), rcFloat); // the tracker showed the mini frame
    EXPECT_EQ(Pane().left, rcFrameClient.left); // the left side is empty again

    // The mini frame's caption drags it back: over the bottom side it docks there.
    const CRect rcMini = pMini->GetWindowRect();
    const POINT ptCaption{rcMini.left + 10, rcMini.top + 5};
    ASSERT_EQ(pMini->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptCaption.x, ptCaption.y)), HTCAPTION);
    pMini->SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(ptCaption.x, ptCaption.y));
    ASSERT_EQ(GetCapture(), bar.m_hWnd);
    const POINT ptBottom{ptCaption.x, rcFrameClient.bottom - 6};
    MoveTo(ptBottom);
    EXPECT_EQ(bar.GetDockContext()->DropTarget(), static_cast<UINT>(AFX_IDW_DOCKBAR_BOTTOM));
    // The right button gives up: nothing moves.
    MoveTo(ptBottom, WM_RBUTTONDOWN);
    EXPECT_EQ(GetCapture(), nullptr);
    Settle();
    EXPECT_TRUE(bar.IsFloating());
    pMini->SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(ptCaption.x, ptCaption.y));
    MoveTo(ptBottom);
    MoveTo(ptBottom, WM_LBUTTONUP);
    Settle();
    EXPECT_EQ(bar.GetDockBar(), DockBar(AFX_IDW_DOCKBAR_BOTTOM));
    EXPECT_EQ(Rows(bar), 1);
    EXPECT_EQ(Pane().bottom, DockBar(AFX_IDW_DOCKBAR_BOTTOM)->GetWindowRect().top);
    PumpMessages();
    EXPECT_FALSE(IsWindow(pMini->m_hWnd)); // the empty mini frame has closed
}

TEST_F(Docking, ASizingBarDraggedByItsCaptionDocksOnAllowedSidesOnly) {
    CSizingControlBarCF& bar = m_pFrame->m_bar1;
    m_pFrame->m_bar2.ShowWindow(SW_HIDE);
    bar.EnableDocking(CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT);
    m_pFrame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    Settle();
    CRect rcFrameClient = m_pFrame->GetClientRect();
    ::MapWindowPoints(m_pFrame->m_hWnd, nullptr, reinterpret_cast<POINT*>(&rcFrameClient), 2);
    const CRect rcBar = bar.GetWindowRect();
    const POINT ptCaption{rcBar.left + 30, rcBar.top + 10};
    ASSERT_EQ(bar.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptCaption.x, ptCaption.y)), HTCLIENT);
    Press(bar, ptCaption);
    ASSERT_EQ(GetCapture(), bar.m_hWnd);
    // The top side is not allowed for this bar: over it the tracker floats.
    MoveTo(POINT{Center(rcFrameClient).x, rcFrameClient.top + 20});
    EXPECT_EQ(bar.GetDockContext()->DropTarget(), 0u);
    const CSize extra = CMiniDockFrameWnd::FrameExtra();
    EXPECT_EQ(bar.GetDockContext()->TrackRect().Size(),
              CSize(bar.FloatSize().cx + extra.cx, bar.FloatSize().cy + extra.cy));
    // Over the right side it docks there.
    const POINT ptRight{rcFrameClient.right - 5, Center(rcFrameClient).y};
    MoveTo(ptRight);
    EXPECT_EQ(bar.GetDockContext()->DropTarget(), static_cast<UINT>(AFX_IDW_DOCKBAR_RIGHT));
    EXPECT_EQ(bar.GetDockContext()->TrackRect().Width(), bar.VertSize().cx);
    MoveTo(ptRight, WM_LBUTTONUP);
    Settle();
    EXPECT_EQ(bar.DockBarId(), static_cast<UINT>(AFX_IDW_DOCKBAR_RIGHT));
    EXPECT_EQ(bar.EdgeStyle(), bars::kEdgeLeft);
    EXPECT_EQ(bar.GetWindowRect().right, rcFrameClient.right);
    EXPECT_EQ(Pane().right, bar.GetWindowRect().left);
}

TEST_F(Docking, ShowControlBarHidesAtOnceOrAtTheNextIdleUpdate) {
    CSizingControlBarCF& bar = m_pFrame->m_bar1;
    m_pFrame->m_bar2.ShowWindow(SW_HIDE);
    m_pFrame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    Settle();
    const int nPane = Pane().Width();

    m_pFrame->ShowControlBar(&bar, false, true);
    EXPECT_TRUE(bar.IsWindowVisible()); // not yet
    EXPECT_FALSE(bar.IsVisible());      // but it counts as hidden
    EXPECT_EQ(Pane().Width(), nPane);
    m_pFrame->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_EQ(Pane().Width(), nPane + 200);

    m_pFrame->ShowControlBar(&bar, true, true);
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_TRUE(bar.IsVisible());
    m_pFrame->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_TRUE(bar.IsWindowVisible());
    EXPECT_EQ(Pane().Width(), nPane);

    // A delayed change that an immediate one overtakes is forgotten.
    m_pFrame->ShowControlBar(&bar, false, true);
    m_pFrame->ShowControlBar(&bar, true, false);
    m_pFrame->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_TRUE(bar.IsWindowVisible());

    // Floating, its mini frame goes and comes with it.
    m_pFrame->FloatControlBar(&bar, CPoint(400, 300));
    Settle();
    CFrameWnd* pMini = bar.GetParentFrame();
    ASSERT_NE(pMini, m_pFrame.get());
    EXPECT_TRUE(pMini->IsWindowVisible());
    m_pFrame->ShowControlBar(&bar, false, false);
    EXPECT_FALSE(pMini->IsWindowVisible());
    m_pFrame->ShowControlBar(&bar, true, true);
    Settle();
    EXPECT_TRUE(pMini->IsWindowVisible());
    EXPECT_TRUE(bar.IsWindowVisible());
}

TEST_F(Docking, BarsInOneRowShareItsLengthAndRowsStackAcrossTheSide) {
    CSizingControlBarCF& bar1 = m_pFrame->m_bar1;
    CSizingControlBarCF& bar2 = m_pFrame->m_bar2;
    CToolBar& toolbar = MakeToolBar();
    bar1.ShowWindow(SW_SHOW);
    bar2.ShowWindow(SW_SHOW);
    // Row 1: the toolbar. Row 2: the two sizing bars side by side.
    m_pFrame->DockControlBar(&bar1, AFX_IDW_DOCKBAR_TOP);
    Settle();
    CRect rc = bar1.GetWindowRect();
    rc.OffsetRect(rc.Width() / 2, 0);
    m_pFrame->DockControlBar(&bar2, AFX_IDW_DOCKBAR_TOP, &rc);
    Settle();
    CDockBar* pTop = DockBar(AFX_IDW_DOCKBAR_TOP);
    using Row = CDockBar::Rows::Row;
    ASSERT_EQ(pTop->GetRows().RowCount(), 2u);
    EXPECT_EQ(pTop->GetRows().RowAt(0), (Row{&toolbar}));
    EXPECT_EQ(pTop->GetRows().RowAt(1), (Row{&bar1, &bar2}));

    const CRect rcTool = toolbar.GetWindowRect();
    const CRect r1 = bar1.GetWindowRect();
    const CRect r2 = bar2.GetWindowRect();
    const CRect rcDock = pTop->GetWindowRect();
    EXPECT_EQ(r1.top, rcTool.bottom);
    EXPECT_EQ(r1.top, r2.top);
    EXPECT_EQ(r1.Height(), r2.Height());
    EXPECT_EQ(r2.left, r1.right - 2);
    // Together they reach across the side, 2 pixels beyond each end.
    EXPECT_EQ(r1.left, rcDock.left - 2);
    EXPECT_EQ(r2.right, rcDock.right + 2);
    EXPECT_EQ(bar1.EdgeStyle(), bars::kEdgeBottom | bars::kEdgeRight);
    EXPECT_EQ(bar2.EdgeStyle(), bars::kEdgeBottom | bars::kEdgeLeft);
    EXPECT_EQ(Pane().top, rcDock.bottom);
    EXPECT_EQ(rcDock.bottom, r1.bottom);

    // A bar dropped on the toolbar's row joins it after the toolbar and takes the rest.
    CRect rcDrop = rcTool;
    rcDrop.OffsetRect(rcTool.Width() + 10, 0);
    m_pFrame->DockControlBar(&bar2, AFX_IDW_DOCKBAR_TOP, &rcDrop);
    Settle();
    ASSERT_EQ(pTop->GetRows().RowCount(), 2u);
    EXPECT_EQ(pTop->GetRows().RowAt(0), (Row{&toolbar, &bar2}));
    EXPECT_EQ(pTop->GetRows().RowAt(1), (Row{&bar1}));
    const CRect r2b = bar2.GetWindowRect();
    EXPECT_EQ(r2b.top, toolbar.GetWindowRect().top);
    EXPECT_EQ(r2b.left, toolbar.GetWindowRect().right - 2);
    EXPECT_EQ(r2b.right, rcDock.right + 2);
    // Bar 1 has its row to itself now.
    EXPECT_EQ(bar1.GetWindowRect().Width(), rcDock.Width() + 4);
    EXPECT_EQ(bar1.GetWindowRect().top, r2b.bottom);
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
