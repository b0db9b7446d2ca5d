#include "dock_context.h"

#include <algorithm>

#include "control_bar.h"
#include "dock_bar.h"
#include "frame_wnd.h"
#include "mini_dock_frame.h"
#include "owners.h"

namespace {

constexpr int kHotZone = 16; // how far into the frame a side still catches a bar

void InvertFrame(HDC hDC, const CRect& rc, int thick) {
    PatBlt(hDC, rc.left, rc.top, rc.Width(), thick, PATINVERT);
    PatBlt(hDC, rc.left, rc.bottom - thick, rc.Width(), thick, PATINVERT);
    PatBlt(hDC, rc.left, rc.top + thick, thick, rc.Height() - 2 * thick, PATINVERT);
    PatBlt(hDC, rc.right - thick, rc.top + thick, thick, rc.Height() - 2 * thick, PATINVERT);
}

CSize FrameExtra(HWND hWnd) {
    RECT rc{0, 0, 0, 0};
    AdjustWindowRectEx(&rc, static_cast<DWORD>(GetWindowLongA(hWnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(hWnd, GWL_EXSTYLE)));
    return CSize(rc.right - rc.left, rc.bottom - rc.top);
}

} // namespace

CDockContext::CDockContext(CControlBar* pBar) : m_pBar(pBar), m_pDockSite(pBar->GetDockSite()) {}

CDockContext::~CDockContext() {
    if (IsTracking())
        CancelTracking();
}

void CDockContext::StartDrag(POINT ptScreen) {
    if (IsTracking() || !m_pDockSite)
        return;
    m_pDockSite = m_pBar->GetDockSite();
    m_ptStart = CPoint(ptScreen);
    // A floating bar is dragged with its mini frame (by its caption or by the bar), so
    // the shapes start where the frame does.
    m_rectStart = m_pBar->GetWindowRect();
    if (m_pBar->IsFloating())
        if (CFrameWnd* pFrame = m_pBar->GetParentFrame(); pFrame && pFrame != m_pDockSite)
            m_rectStart = pFrame->GetWindowRect();
    // The shapes the bar would take on each kind of side and floating.
    // Asking may rearrange the bar (a toolbar wraps its buttons to each shape), so the
    // shape it has now is asked last and it stays as it is until the drop.
    const bool bHorzNow = (m_pBar->GetBarStyle() & CBRS_ORIENT_VERT) == 0;
    if (m_pBar->IsFloating()) {
        m_sizeHorz = m_pBar->CalcFixedLayout(false, true);
        m_sizeVert = m_pBar->CalcFixedLayout(false, false);
        m_sizeFloat = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH);
    } else {
        m_sizeFloat = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH);
        (bHorzNow ? m_sizeVert : m_sizeHorz) = m_pBar->CalcFixedLayout(false, !bHorzNow);
        (bHorzNow ? m_sizeHorz : m_sizeVert) = m_pBar->CalcFixedLayout(false, bHorzNow);
    }
    m_bDragging = true;
    ::SetCapture(m_pBar->m_hWnd);
    Move(ptScreen);
}

UINT CDockContext::TargetAt(const CRect& rectHorz, const CRect& rectVert) const {
    static const UINT kIds[4] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT,
                                 AFX_IDW_DOCKBAR_RIGHT};
    for (UINT nID : kIds) {
        const DWORD dwAlign = DockBarAlignOfId(nID);
        if (!(m_pBar->GetDockStyle() & dwAlign))
            continue;
        CDockBar* pDockBar = m_pDockSite->GetDockBar(nID);
        if (!pDockBar)
            continue;
        // The side's dock bar, at least kHotZone deep into the frame.
        CRect zone = pDockBar->GetWindowRect();
        if (nID == AFX_IDW_DOCKBAR_TOP)
            zone.bottom = std::max<LONG>(zone.bottom, zone.top + kHotZone);
        else if (nID == AFX_IDW_DOCKBAR_BOTTOM)
            zone.top = std::min<LONG>(zone.top, zone.bottom - kHotZone);
        else if (nID == AFX_IDW_DOCKBAR_LEFT)
            zone.right = std::max<LONG>(zone.right, zone.left + kHotZone);
        else
            zone.left = std::min<LONG>(zone.left, zone.right - kHotZone);
        const CRect& shape = (dwAlign & CBRS_ORIENT_HORZ) ? rectHorz : rectVert;
        RECT hit;
        if (IntersectRect(&hit, &zone, &shape))
            return nID;
    }
    return 0;
}

void CDockContext::Move(POINT ptScreen) {
    const int dx = ptScreen.x - m_ptStart.x;
    const int dy = ptScreen.y - m_ptStart.y;
    const CPoint origin(m_rectStart.left + dx, m_rectStart.top + dy);
    const CRect rectHorz(origin.x, origin.y, origin.x + m_sizeHorz.cx, origin.y + m_sizeHorz.cy);
    const CRect rectVert(origin.x, origin.y, origin.x + m_sizeVert.cx, origin.y + m_sizeVert.cy);
    m_nDropTarget = TargetAt(rectHorz, rectVert);
    if (m_nDropTarget == 0) {
        // Floating, the tracker shows the mini frame the bar will sit in.
        const CSize extra = CMiniDockFrameWnd::FrameExtra();
        m_rectTrack = CRect(origin.x, origin.y, origin.x + m_sizeFloat.cx + extra.cx,
                            origin.y + m_sizeFloat.cy + extra.cy);
    } else {
        m_rectTrack = (DockBarAlignOfId(m_nDropTarget) & CBRS_ORIENT_HORZ) ? rectHorz : rectVert;
    }
    DrawTracker();
}

void CDockContext::DrawTracker() {
    // On the screen, over every window; when the screen is locked, through the lock.
    std::optional<WindowDC> dc;
    dc.emplace(nullptr, static_cast<DWORD>(DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE));
    if (!*dc)
        dc.emplace(nullptr);
    const HDC hDC = dc->Get();
    if (!hDC)
        return;
    const SelectedObject brush(hDC, HalftoneBrush());
    if (m_bTrackerShown)
        InvertFrame(hDC, m_rectDrawn, m_bDrawnThick ? 3 : 1);
    m_bTrackerShown = false;
    if (m_bDragging) {
        m_rectDrawn = m_rectTrack;
        m_bDrawnThick = m_nDropTarget == 0;
        InvertFrame(hDC, m_rectDrawn, m_bDrawnThick ? 3 : 1);
        m_bTrackerShown = true;
    }
}

void CDockContext::EndDrag(bool bDrop) {
    m_bDragging = false;
    DrawTracker(); // erases
    if (::GetCapture() == m_pBar->m_hWnd)
        ::ReleaseCapture();
    if (!bDrop)
        return;
    if (m_nDropTarget != 0) {
        m_pDockSite->DockControlBar(m_pBar, m_nDropTarget, &m_rectTrack);
    } else {
        RememberFloat(m_rectTrack.TopLeft());
        m_pDockSite->FloatControlBar(m_pBar, m_rectTrack.TopLeft());
    }
}

void CDockContext::RememberFloat(POINT ptScreen) {
    m_ptMRUFloatPos = CPoint(ptScreen);
    m_bHaveFloatPos = true;
}

void CDockContext::MoveResizedFrame(std::optional<int> left, std::optional<int> top) {
    if (left)
        m_rectFrameDragHorz.left = *left;
    if (top)
        m_rectFrameDragHorz.top = *top;
}

void CDockContext::StartResize(UINT nHitTest, POINT ptScreen) {
    if (IsTracking())
        return;
    auto* pFrame = dynamic_cast<CMiniDockFrameWnd*>(m_pBar->GetParentFrame());
    if (!pFrame)
        return;
    m_nHitTest = nHitTest;
    m_ptStart = CPoint(ptScreen);
    m_rectFrameDragHorz = pFrame->GetWindowRect();
    m_bResizing = true;
    ::SetCapture(m_pBar->m_hWnd);
}

void CDockContext::Stretch(POINT pt) {
    auto* pFrame = dynamic_cast<CMiniDockFrameWnd*>(m_pBar->GetParentFrame());
    if (!pFrame)
        return;
    const CRect frame = pFrame->GetWindowRect();
    const CSize extra = FrameExtra(pFrame->m_hWnd);
    m_rectFrameDragHorz = frame;
    CSize size;
    const UINT h = m_nHitTest;
    if (h == HTTOPLEFT || h == HTTOPRIGHT || h == HTBOTTOMLEFT || h == HTBOTTOMRIGHT) {
        // The bar sizes itself from the cursor and moves the left or top edge here.
        size = m_pBar->CalcDynamicLayout(0, LM_HORZ);
    } else if (h == HTLEFT || h == HTRIGHT) {
        const int width = (h == HTLEFT ? frame.right - pt.x : pt.x - frame.left) - extra.cx;
        size = m_pBar->CalcDynamicLayout(std::max(0, width), LM_HORZ);
        if (h == HTLEFT)
            m_rectFrameDragHorz.left = frame.right - (size.cx + extra.cx);
    } else if (h == HTTOP || h == HTBOTTOM) {
        const int height = (h == HTTOP ? frame.bottom - pt.y : pt.y - frame.top) - extra.cy;
        size = m_pBar->CalcDynamicLayout(std::max(0, height), LM_HORZ | LM_LENGTHY);
        if (h == HTTOP)
            m_rectFrameDragHorz.top = frame.bottom - (size.cy + extra.cy);
    } else {
        return;
    }
    m_rectFrameDragHorz.right = m_rectFrameDragHorz.left + size.cx + extra.cx;
    m_rectFrameDragHorz.bottom = m_rectFrameDragHorz.top + size.cy + extra.cy;
    if (m_rectFrameDragHorz != frame)
        pFrame->SetWindowPos(nullptr, m_rectFrameDragHorz.left, m_rectFrameDragHorz.top,
                             m_rectFrameDragHorz.Width(), m_rectFrameDragHorz.Height(),
                             SWP_NOZORDER | SWP_NOACTIVATE);
    pFrame->RecalcLayout();
}

void CDockContext::EndResize() {
    m_bResizing = false;
    m_nHitTest = 0;
    if (::GetCapture() == m_pBar->m_hWnd)
        ::ReleaseCapture();
    // The bar keeps the size it took as its size for the next time it floats.
    m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_COMMIT);
}

void CDockContext::CancelTracking() {
    if (m_bDragging)
        EndDrag(false);
    if (m_bResizing)
        EndResize();
}

bool CDockContext::OnTrackMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsTracking())
        return false;
    POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    switch (message) {
    case WM_MOUSEMOVE:
        ::ClientToScreen(m_pBar->m_hWnd, &pt);
        if (m_bDragging)
            Move(pt);
        else
            Stretch(pt);
        return true;
    case WM_LBUTTONUP:
        if (m_bDragging) {
            ::ClientToScreen(m_pBar->m_hWnd, &pt);
            Move(pt);
            EndDrag(true);
        } else {
            EndResize();
        }
        return true;
    case WM_RBUTTONDOWN:
        CancelTracking();
        return true;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            CancelTracking();
        return true;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != m_pBar->m_hWnd)
            CancelTracking();
        return true;
    default:
        return false;
    }
}

void CDockContext::ToggleDocking() {
    if (IsTracking() || !m_pDockSite)
        return;
    if (m_pBar->IsFloating()) {
        UINT nID = m_uMRUDockID;
        if (!nID || !(m_pBar->GetDockStyle() & DockBarAlignOfId(nID)))
            nID = DockBarIdOfStyle(m_pBar->GetDockStyle());
        if (nID)
            m_pDockSite->DockControlBar(m_pBar, nID);
    } else {
        CPoint pt = m_bHaveFloatPos ? m_ptMRUFloatPos : m_pBar->GetWindowRect().TopLeft();
        m_pDockSite->FloatControlBar(m_pBar, pt);
    }
}

HBRUSH CDockContext::HalftoneBrush() {
    static HBRUSH hBrush = [] {
        WORD pattern[8];
        for (int i = 0; i < 8; ++i)
            pattern[i] = static_cast<WORD>(0x5555 << (i & 1));
        const UniqueGdiObject bitmap(CreateBitmap(8, 8, 1, 1, pattern));
        return CreatePatternBrush(static_cast<HBITMAP>(bitmap.Get()));
    }();
    return hBrush;
}
