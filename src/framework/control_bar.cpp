#include "control_bar.h"

#include <commctrl.h>

#include <algorithm>

#include "dock_context.h"
#include "frame_wnd.h"
#include "owners.h"

namespace {

constexpr int kBorderEdge = 2;   // an etched border line: shadow and highlight
constexpr int kGripperSpace = 8; // room the gripper takes before the first button

BarSide SideOf(DWORD dwStyle) {
    if (dwStyle & CBRS_ALIGN_BOTTOM)
        return BarSide::Bottom;
    if (dwStyle & CBRS_ALIGN_LEFT)
        return BarSide::Left;
    if (dwStyle & CBRS_ALIGN_RIGHT)
        return BarSide::Right;
    return BarSide::Top;
}

void FillSolid(HDC hDC, int x, int y, int cx, int cy, int nColor) {
    RECT r{x, y, x + cx, y + cy};
    FillRect(hDC, &r, GetSysColorBrush(nColor));
}

} // namespace

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_WM_NCCALCSIZE()
    ON_WM_NCPAINT()
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CControlBar::CControlBar() = default;

CControlBar::~CControlBar() {
    m_pDockContext.reset();
    if (m_pDockSite)
        m_pDockSite->RemoveControlBar(this);
}

void CControlBar::JoinDockSite(CWnd* pParentWnd) {
    m_pDockSite = dynamic_cast<CFrameWnd*>(pParentWnd);
    if (!m_pDockSite)
        m_pDockSite = GetParentFrame();
    if (m_pDockSite)
        m_pDockSite->AddControlBar(this);
}

bool CControlBar::CreateBar(const char* lpszClassName, DWORD dwStyle, DWORD dwCtrlStyle,
                            CWnd* pParentWnd, UINT nID) {
    m_dwStyle = dwStyle & CBRS_ALL;
    // The control sizes and places nothing itself: the frame's layout does.
    const DWORD windowStyle = (dwStyle & ~CBRS_ALL) | dwCtrlStyle | CCS_NOPARENTALIGN |
                              CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE | WS_CHILD;
    if (!CreateEx(0, lpszClassName, nullptr, windowStyle, 0, 0, 0, 0,
                  pParentWnd ? pParentWnd->m_hWnd : nullptr,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID))))
        return false;
    JoinDockSite(pParentWnd);
    // The borders and gripper live in the non-client area.
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return true;
}

void CControlBar::SetBarStyle(DWORD dwStyle) {
    if (m_dwStyle == dwStyle)
        return;
    m_dwStyle = dwStyle & CBRS_ALL;
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom) {
    m_cxLeftBorder = std::max(0, cxLeft);
    m_cyTopBorder = std::max(0, cyTop);
    m_cxRightBorder = std::max(0, cxRight);
    m_cyBottomBorder = std::max(0, cyBottom);
}

void CControlBar::EnableDocking(DWORD dwDockStyle) {
    m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY;
    if (!m_pDockContext)
        m_pDockContext = std::make_unique<CDockContext>(this);
}

void CControlBar::RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout) {
    if (!(m_nStateFlags & (delayShow | delayHide)))
        return;
    const bool bShow = (m_nStateFlags & delayShow) != 0;
    m_nStateFlags &= ~static_cast<UINT>(delayHide | delayShow);
    if (lpLayout && lpLayout->hDWP)
        lpLayout->hDWP = DeferWindowPos(lpLayout->hDWP, m_hWnd, nullptr, 0, 0, 0, 0,
                                        SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                                            (bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    else
        ShowWindow(bShow ? SW_SHOWNOACTIVATE : SW_HIDE);
}

LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // While a drag or a resize of the docking context runs, it has the mouse.
    if (m_pDockContext && m_pDockContext->IsTracking() &&
        m_pDockContext->OnTrackMessage(message, wParam, lParam))
        return 0;
    return CWnd::WindowProc(message, wParam, lParam);
}

bool CControlBar::IsVisible() const {
    if (m_nStateFlags & delayHide)
        return false;
    if (m_nStateFlags & delayShow)
        return true;
    return m_hWnd && (GetStyle() & WS_VISIBLE) != 0;
}

void CControlBar::DelayShow(bool bShow) {
    m_nStateFlags &= ~static_cast<UINT>(delayHide | delayShow);
    const bool bVisible = m_hWnd && (GetStyle() & WS_VISIBLE) != 0;
    if (bShow != bVisible)
        m_nStateFlags |= bShow ? delayShow : delayHide;
}

CSize CControlBar::CalcFixedLayout(bool bStretch, bool bHorz) {
    CRect inside(0, 0, 1000, 1000);
    CalcInsideRect(inside, bHorz);
    const CSize extra(1000 - inside.Width(), 1000 - inside.Height());
    if (bStretch)
        return bHorz ? CSize(kStretchLength, extra.cy) : CSize(extra.cx, kStretchLength);
    return extra;
}

CSize CControlBar::CalcDynamicLayout(int, DWORD dwMode) {
    return CalcFixedLayout((dwMode & LM_STRETCH) != 0, (dwMode & LM_HORZ) != 0);
}

void CControlBar::DeflateByBorders(CRect& rect) const {
    if (m_dwStyle & CBRS_BORDER_LEFT)
        rect.left += kBorderEdge;
    if (m_dwStyle & CBRS_BORDER_TOP)
        rect.top += kBorderEdge;
    if (m_dwStyle & CBRS_BORDER_RIGHT)
        rect.right -= kBorderEdge;
    if (m_dwStyle & CBRS_BORDER_BOTTOM)
        rect.bottom -= kBorderEdge;
}

void CControlBar::CalcInsideRect(CRect& rect, bool bHorz) const {
    DeflateByBorders(rect);
    rect.left += m_cxLeftBorder;
    rect.top += m_cyTopBorder;
    rect.right -= m_cxRightBorder;
    rect.bottom -= m_cyBottomBorder;
    if ((m_dwStyle & CBRS_GRIPPER) && !IsFloating()) {
        if (bHorz)
            rect.left += kGripperSpace;
        else
            rect.top += kGripperSpace;
    }
}

void CControlBar::DrawBorders(HDC hDC, CRect& rect) const {
    const int cx = rect.Width();
    const int cy = rect.Height();
    if (m_dwStyle & CBRS_BORDER_TOP) {
        FillSolid(hDC, rect.left, rect.top, cx, 1, COLOR_BTNSHADOW);
        FillSolid(hDC, rect.left, rect.top + 1, cx, 1, COLOR_BTNHIGHLIGHT);
    }
    if (m_dwStyle & CBRS_BORDER_BOTTOM) {
        FillSolid(hDC, rect.left, rect.bottom - 2, cx, 1, COLOR_BTNSHADOW);
        FillSolid(hDC, rect.left, rect.bottom - 1, cx, 1, COLOR_BTNHIGHLIGHT);
    }
    if (m_dwStyle & CBRS_BORDER_LEFT) {
        FillSolid(hDC, rect.left, rect.top, 1, cy, COLOR_BTNSHADOW);
        FillSolid(hDC, rect.left + 1, rect.top, 1, cy, COLOR_BTNHIGHLIGHT);
    }
    if (m_dwStyle & CBRS_BORDER_RIGHT) {
        FillSolid(hDC, rect.right - 2, rect.top, 1, cy, COLOR_BTNSHADOW);
        FillSolid(hDC, rect.right - 1, rect.top, 1, cy, COLOR_BTNHIGHLIGHT);
    }
    DeflateByBorders(rect);
}

void CControlBar::DrawGripper(HDC hDC, const CRect& rect) const {
    if (!(m_dwStyle & CBRS_GRIPPER) || IsFloating())
        return;
    // A raised bar three pixels wide, the handle the bar is dragged by.
    if (IsHorz()) {
        const int x = rect.left + m_cxLeftBorder + 2;
        const int top = rect.top + m_cyTopBorder + 1;
        const int h = std::max(0, rect.Height() - m_cyTopBorder - m_cyBottomBorder - 2);
        FillSolid(hDC, x, top, 3, h, COLOR_BTNSHADOW);
        FillSolid(hDC, x, top, 2, std::max(0, h - 1), COLOR_BTNHIGHLIGHT);
        FillSolid(hDC, x + 1, top + 1, 1, std::max(0, h - 2), COLOR_BTNFACE);
    } else {
        const int y = rect.top + m_cyTopBorder + 2;
        const int left = rect.left + m_cxLeftBorder + 1;
        const int w = std::max(0, rect.Width() - m_cxLeftBorder - m_cxRightBorder - 2);
        FillSolid(hDC, left, y, w, 3, COLOR_BTNSHADOW);
        FillSolid(hDC, left, y, std::max(0, w - 1), 2, COLOR_BTNHIGHLIGHT);
        FillSolid(hDC, left + 1, y + 1, std::max(0, w - 2), 1, COLOR_BTNFACE);
    }
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam) {
    auto* pLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    if (pLayout->hDWP && (m_nStateFlags & (delayShow | delayHide))) {
        const bool bShow = (m_nStateFlags & delayShow) != 0;
        m_nStateFlags &= ~static_cast<UINT>(delayHide | delayShow);
        ShowWindow(bShow ? SW_SHOWNOACTIVATE : SW_HIDE);
    }
    const DWORD dwAlign = m_dwStyle & CBRS_ALIGN_ANY;
    if (!IsVisible() || dwAlign == 0 || IsFloating())
        return 0;
    const bool bHorz = (dwAlign & CBRS_ORIENT_HORZ) != 0;
    const DWORD dwMode =
        (pLayout->bStretch ? LM_STRETCH : 0) | (bHorz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK);
    const CSize size = CalcDynamicLayout(-1, dwMode);

    LayoutRect free = ToLayout(pLayout->rect);
    LayoutRect bar = TakeBarRoom(free, SideOf(dwAlign), bHorz ? size.cy : size.cx);
    if (!pLayout->bStretch) {
        if (bHorz)
            bar.right = std::min(bar.right, bar.left + static_cast<int>(size.cx));
        else
            bar.bottom = std::min(bar.bottom, bar.top + static_cast<int>(size.cy));
    }
    pLayout->rect = ToRect(free);
    if (bHorz)
        pLayout->sizeTotal.cy += bar.Height();
    else
        pLayout->sizeTotal.cx += bar.Width();
    if (pLayout->hDWP)
        pLayout->hDWP = DeferWindowPos(pLayout->hDWP, m_hWnd, nullptr, bar.left, bar.top,
                                       bar.Width(), bar.Height(), SWP_NOACTIVATE | SWP_NOZORDER);
    return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
    if (!(GetStyle() & WS_VISIBLE))
        return 0;
    CFrameWnd* pTarget = m_pDockSite ? m_pDockSite : GetParentFrame();
    if (pTarget)
        OnUpdateCmdUI(pTarget, wParam != 0);
    return 0;
}

void CControlBar::OnNcCalcSize(bool, NCCALCSIZE_PARAMS* lpncsp) {
    CRect rect(lpncsp->rgrc[0]);
    CalcInsideRect(rect, IsHorz());
    rect.KeepNonNegative();
    lpncsp->rgrc[0] = rect;
}

void CControlBar::OnNcPaint() {
    const WindowDC dc(m_hWnd, WindowDC::Whole);
    if (!dc)
        return;
    const HDC hDC = dc.Get();
    CRect window = GetWindowRect();
    window.OffsetRect(-window.left, -window.top);
    CRect client = window;
    CalcInsideRect(client, IsHorz());
    ExcludeClipRect(hDC, client.left, client.top, client.right, client.bottom);
    FillRect(hDC, &window, GetSysColorBrush(COLOR_BTNFACE));
    CRect rect = window;
    DrawBorders(hDC, rect);
    DrawGripper(hDC, window);
}

bool CControlBar::OnEraseBkgnd(HDC hDC) {
    // Bars stand on the button face, whatever the control would take from its parent.
    RECT rect;
    ::GetClientRect(m_hWnd, &rect);
    FillRect(hDC, &rect, GetSysColorBrush(COLOR_BTNFACE));
    return true;
}

void CControlBar::OnDestroy() {
    if (m_pDockContext)
        m_pDockContext->CancelTracking();
    if (m_pDockSite)
        m_pDockSite->RemoveControlBar(this);
    m_pDockSite = nullptr;
    Default();
}
