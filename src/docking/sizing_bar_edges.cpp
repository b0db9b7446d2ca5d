// The sizing bar's non-client area (its border and draggable edges) and the drag of an
// edge, which trades length with the neighbour in the row or thickness with the pane.
#include <algorithm>

#include "dock_bar.h"
#include "dock_context.h"
#include "frame_wnd.h"
#include "mini_dock_frame.h"
#include "owners.h"
#include "sizing_control_bar.h"

// ---- non-client area ----

CRect CSizingControlBar::CalcClientArea(const CRect& rc) {
    unsigned edges = m_dwEdgeStyle;
    const CRect client = ToRect(bars::BorderClientArea(ToLayout(rc), DockSide(), edges));
    m_dwEdgeStyle = edges;
    return client;
}

bool CSizingControlBar::GetSizingEdgeRect(const CRect& rcWindow, UINT nHitTest,
                                          CRect& rcEdge) const {
    bars::Rect out;
    const bool bExists =
        bars::SizingEdgeRect(m_dwEdgeStyle, DockSide(), ToLayout(rcWindow), nHitTest, out);
    rcEdge = ToRect(out);
    return bExists;
}

void CSizingControlBar::OnNcCalcSize(bool, NCCALCSIZE_PARAMS* lpncsp) {
    if (IsBarFloating()) {
        // Floating, the bar resizes by its frame's corners too.
        if (auto* pFrame = dynamic_cast<CMiniDockFrameWnd*>(GetParentFrame()))
            pFrame->AllowCornerResize();
    }
    m_dwEdgeStyle = 0;
    if (!IsBarFloating()) {
        const std::vector<CSizingControlBar*> row = RowBars();
        const auto it = std::find(row.begin(), row.end(), this);
        if (it != row.end())
            m_dwEdgeStyle = bars::RowEdges(DockSide(), it != row.begin(), it + 1 != row.end());
    }
    CRect rc = CalcClientArea(CRect(lpncsp->rgrc[0]));
    rc.KeepNonNegative();
    lpncsp->rgrc[0] = rc;
}

void CSizingControlBar::OnNcPaint() {
    const WindowDC dc(m_hWnd, WindowDC::Whole);
    if (!dc)
        return;
    const CRect rcWindow = GetWindowRect();
    CRect rcClient = GetClientRect();
    POINT origin{0, 0};
    ::ClientToScreen(m_hWnd, &origin);
    rcClient.OffsetRect(origin.x - rcWindow.left, origin.y - rcWindow.top);
    CRect rcBar(0, 0, rcWindow.Width(), rcWindow.Height());
    ::ExcludeClipRect(dc.Get(), rcClient.left, rcClient.top, rcClient.right, rcClient.bottom);

    // Drawn off the screen first, so the border never flickers.
    const UniqueMemoryDC memory(::CreateCompatibleDC(dc.Get()));
    const UniqueGdiObject bitmap(::CreateCompatibleBitmap(dc.Get(), rcBar.Width(), rcBar.Height()));
    if (!memory || !bitmap)
        return;
    const HDC hMem = memory.Get();
    const SelectedObject selected(hMem, bitmap.Get());
    CRect rcDraw = rcBar;
    DrawBorders(hMem, rcDraw);
    ::IntersectClipRect(hMem, rcDraw.left, rcDraw.top, rcDraw.right, rcDraw.bottom);
    auto hBrush = reinterpret_cast<HBRUSH>(::GetClassLongPtrA(m_hWnd, GCLP_HBRBACKGROUND));
    if (reinterpret_cast<UINT_PTR>(hBrush) <= COLOR_MENUBAR + 1)
        hBrush = ::GetSysColorBrush(static_cast<int>(reinterpret_cast<UINT_PTR>(hBrush)) - 1);
    ::FillRect(hMem, &rcDraw, hBrush);
    PaintCaption(hMem, rcClient);
    ::BitBlt(dc.Get(), 0, 0, rcBar.Width(), rcBar.Height(), hMem, 0, 0, SRCCOPY);
}

LRESULT CSizingControlBar::OnNcHitTest(POINT pt) {
    if (IsBarFloating())
        return HTCLIENT;
    return bars::EdgeHitTest(m_dwEdgeStyle, DockSide(), ToLayout(GetWindowRect()), ToLayout(pt));
}

// ---- edge drag ----

CSizingControlBar* CSizingControlBar::TrackNeighbour() const {
    const std::vector<CSizingControlBar*> row = RowBars();
    const auto it = std::find(row.begin(), row.end(), this);
    if (it == row.end())
        return nullptr;
    if (m_nTrackEdge == HTTOP || m_nTrackEdge == HTLEFT)
        return it == row.begin() ? nullptr : *(it - 1);
    return it + 1 == row.end() ? nullptr : *(it + 1);
}

void CSizingControlBar::BeginResize(UINT nHitTest) {
    ::SetCapture(m_hWnd);
    if (!m_bFullDrag)
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    m_nTrackEdge = nHitTest;
    m_sizeTrackStart = DockedSize();
    CRect rcEdge;
    GetSizingEdgeRect(GetWindowRect(), nHitTest, rcEdge);
    m_ptTrackStart = CPoint((rcEdge.left + rcEdge.right) / 2, (rcEdge.top + rcEdge.bottom) / 2);
    m_bResizing = true;

    const bool bHorz = IsDockedTopBottom();
    const std::vector<CSizingControlBar*> row = RowBars();
    int nRowMinThickness = 0;
    for (CSizingControlBar* p : row)
        nRowMinThickness =
            std::max<int>(nRowMinThickness, bHorz ? p->m_sizeMinHorz.cy : p->m_sizeMinVert.cx);
    bars::Size neighbour{};
    bars::Size neighbourMin{};
    bars::Size paneRoom{};
    if (IsSideResize()) {
        if (CSizingControlBar* p = TrackNeighbour()) {
            neighbour = ToLayout(bHorz ? p->m_sizeHorz : p->m_sizeVert);
            neighbourMin = {p->m_sizeMinHorz.cx, p->m_sizeMinVert.cy};
        }
    } else if (CFrameWnd* pSite = GetDockSite()) {
        CRect rcPane;
        pSite->RepositionBars(0, kAllChildIds, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &rcPane);
        paneRoom = ToLayout(rcPane.Size());
    }
    const CSize minSize = bHorz ? m_sizeMinHorz : m_sizeMinVert;
    const bars::TrackLimits limits =
        bars::ResizeLimits(DockSide(), nHitTest, ToLayout(m_sizeTrackStart), ToLayout(minSize),
                           nRowMinThickness, neighbour, neighbourMin, paneRoom);
    m_sizeTrackMin = ToSize(limits.min);
    m_sizeTrackMax = ToSize(limits.max);
    InvertResizeTracker();
}

void CSizingControlBar::OnResizeMove(POINT ptClient) {
    POINT pt = ptClient;
    ::ClientToScreen(m_hWnd, &pt);
    const bars::TrackLimits limits{ToLayout(m_sizeTrackMin), ToLayout(m_sizeTrackMax)};
    const CSize sizeNew =
        ToSize(bars::ResizeStep(m_nTrackEdge, ToLayout(m_sizeTrackStart), pt.x - m_ptTrackStart.x,
                                pt.y - m_ptTrackStart.y, limits));
    CSize& size = DockedSize();
    if (sizeNew == size)
        return;
    InvertResizeTracker();
    const CSize sizeOld = size;
    size = sizeNew;
    const bool bHorz = IsDockedTopBottom();
    if (!IsSideResize()) {
        // The whole row takes the new thickness.
        for (CSizingControlBar* p : RowBars()) {
            const CSize other = bHorz ? p->m_sizeHorz : p->m_sizeVert;
            p->SetDockedExtent(bHorz, bHorz ? other.cx : other.cy, bHorz ? sizeNew.cy : sizeNew.cx);
        }
    } else if (CSizingControlBar* p = TrackNeighbour()) {
        // The neighbour gives the length this bar takes.
        const CSize other = bHorz ? p->m_sizeHorz : p->m_sizeVert;
        const int given = bHorz ? sizeNew.cx - sizeOld.cx : sizeNew.cy - sizeOld.cy;
        p->SetDockedExtent(bHorz, (bHorz ? other.cx : other.cy) - given,
                           bHorz ? other.cy : other.cx);
    }
    InvertResizeTracker();
    if (m_bFullDrag && GetDockSite())
        GetDockSite()->DelayRecalcLayout();
}

void CSizingControlBar::EndResize() {
    InvertResizeTracker();
    m_bResizing = false;
    // The user's height is the share from now on.
    if (m_heightShare.Active() && IsDockedTopBottom() && !IsSideResize())
        m_heightShare.Take(m_sizeHorz.cy, ShareRoom());
    // Only a capture this bar still holds is released: another window may own it now.
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (GetDockSite())
        GetDockSite()->DelayRecalcLayout();
}

void CSizingControlBar::InvertResizeTracker() {
    CFrameWnd* pSite = GetDockSite();
    if (m_bFullDrag || !pSite)
        return;
    CRect rc;
    if (!GetSizingEdgeRect(GetWindowRect(), m_nTrackEdge, rc))
        return;
    if (!IsSideResize()) {
        if (CDockBar* pDockBar = GetDockBarOf()) {
            const CRect rcDock = pDockBar->GetWindowRect();
            if (IsDockedTopBottom()) {
                rc.left = rcDock.left + 1;
                rc.right = rcDock.right - 1;
            } else {
                rc.top = rcDock.top + 1;
                rc.bottom = rcDock.bottom - 1;
            }
        }
    }
    const CRect rcSite = pSite->GetWindowRect();
    rc.OffsetRect(-rcSite.left, -rcSite.top);
    const CSize size = IsDockedTopBottom() ? m_sizeHorz : m_sizeVert;
    int dx = size.cx - m_sizeTrackStart.cx;
    int dy = size.cy - m_sizeTrackStart.cy;
    const UINT e = m_nTrackEdge;
    const bool bNegate = (m_nParentDockID == AFX_IDW_DOCKBAR_LEFT && e == HTTOP) ||
                         (m_nParentDockID == AFX_IDW_DOCKBAR_RIGHT && e != HTBOTTOM) ||
                         (m_nParentDockID == AFX_IDW_DOCKBAR_TOP && e == HTLEFT) ||
                         (m_nParentDockID == AFX_IDW_DOCKBAR_BOTTOM && e != HTRIGHT);
    if (bNegate) {
        dx = -dx;
        dy = -dy;
    }
    rc.OffsetRect(dx, dy);
    const WindowDC dc(pSite->m_hWnd,
                      static_cast<DWORD>(DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE));
    if (!dc)
        return;
    const SelectedObject brush(dc.Get(), CDockContext::HalftoneBrush());
    PatBlt(dc.Get(), rc.left, rc.top, rc.Width(), rc.Height(), PATINVERT);
}
