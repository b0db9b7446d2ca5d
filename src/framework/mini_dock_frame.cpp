#include "mini_dock_frame.h"

#include "dock_context.h"

IMPLEMENT_DYNAMIC(CMiniDockFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_MESSAGE(WM_NCHITTEST, OnNcHitTestMini)
    ON_MESSAGE(WM_NCLBUTTONDOWN, OnNcLButtonDownMini)
    ON_MESSAGE(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClkMini)
    ON_MESSAGE(WM_GETMINMAXINFO, OnGetMinMaxInfoMini)
END_MESSAGE_MAP()

CMiniDockFrameWnd::CMiniDockFrameWnd() : m_wndDockBar(true) {}

namespace {

constexpr DWORD kMiniStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
constexpr DWORD kMiniExStyle = WS_EX_TOOLWINDOW;

} // namespace

CSize CMiniDockFrameWnd::FrameExtra() {
    RECT rc{0, 0, 0, 0};
    AdjustWindowRectEx(&rc, kMiniStyle, FALSE, kMiniExStyle);
    return CSize(rc.right - rc.left, rc.bottom - rc.top);
}

bool CMiniDockFrameWnd::Create(CFrameWnd* pParent) {
    m_pMainFrame = pParent;
    m_dwMiniStyle = MFS_4THICKFRAME;
    return CreateEx(kMiniExStyle, nullptr, "", kMiniStyle, 0, 0, 50, 50, pParent->m_hWnd, nullptr);
}

int CMiniDockFrameWnd::OnCreate(LPCREATESTRUCTA) {
    if (!m_wndDockBar.Create(this, CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_FLOAT, m_pMainFrame))
        return -1;
    return 0;
}

void CMiniDockFrameWnd::AllowCornerResize() {
    m_dwMiniStyle &= ~MFS_4THICKFRAME;
}

void CMiniDockFrameWnd::RecalcLayout() {
    if (m_bInRecalcLayout || !m_hWnd)
        return;
    m_bInRecalcLayout = true;
    m_nIdleFlags &= ~static_cast<UINT>(idleLayout);
    CControlBar* pBar = GetBar();
    if (pBar)
        pBar->RecalcDelayShow(nullptr);
    if (!pBar || !pBar->IsVisible()) {
        ShowWindow(SW_HIDE);
        m_bInRecalcLayout = false;
        return;
    }
    const CSize size = pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH);
    RECT rc{0, 0, size.cx, size.cy};
    AdjustWindowRectEx(&rc, GetStyle(), FALSE, GetExStyle());
    const CRect now = GetWindowRect();
    if (now.Width() != rc.right - rc.left || now.Height() != rc.bottom - rc.top)
        SetWindowPos(nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_wndDockBar.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    if (pBar->IsVisible() && !pBar->IsWindowVisible())
        pBar->ShowWindow(SW_SHOWNOACTIVATE);
    pBar->SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    const std::string title = pBar->GetWindowText();
    if (GetWindowText() != title)
        SetWindowText(title);
    if (!IsWindowVisible())
        ShowWindow(SW_SHOWNOACTIVATE);
    m_bInRecalcLayout = false;
}

void CMiniDockFrameWnd::OnClose() {
    // Closing the small frame hides the bar; the window stays for the next time.
    CControlBar* pBar = GetBar();
    if (pBar && m_pMainFrame) {
        m_pMainFrame->ShowControlBar(pBar, false, false);
        return;
    }
    DestroyWindow();
}

LRESULT CMiniDockFrameWnd::OnNcHitTestMini(WPARAM, LPARAM) {
    LRESULT nHit = Default();
    if ((m_dwMiniStyle & MFS_4THICKFRAME) &&
        (nHit == HTTOPLEFT || nHit == HTTOPRIGHT || nHit == HTBOTTOMLEFT || nHit == HTBOTTOMRIGHT))
        nHit = (nHit == HTTOPLEFT || nHit == HTTOPRIGHT) ? HTTOP : HTBOTTOM;
    return nHit;
}

LRESULT CMiniDockFrameWnd::OnNcLButtonDownMini(WPARAM wParam, LPARAM lParam) {
    CControlBar* pBar = GetBar();
    const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (CDockContext* pContext = pBar ? pBar->GetDockContext() : nullptr) {
        if (wParam == HTCAPTION) {
            ::SetActiveWindow(m_hWnd);
            pContext->StartDrag(pt);
            return 0;
        }
        if (wParam >= HTSIZEFIRST && wParam <= HTSIZELAST) {
            pContext->StartResize(static_cast<UINT>(wParam), pt);
            return 0;
        }
    }
    return Default();
}

LRESULT CMiniDockFrameWnd::OnNcLButtonDblClkMini(WPARAM wParam, LPARAM) {
    CControlBar* pBar = GetBar();
    if (wParam == HTCAPTION && pBar && pBar->GetDockContext()) {
        pBar->GetDockContext()->ToggleDocking();
        return 0;
    }
    return Default();
}

LRESULT CMiniDockFrameWnd::OnGetMinMaxInfoMini(WPARAM, LPARAM lParam) {
    // The bar sets the size: the system's smallest captioned window would leave a narrow
    // bar (a toolbar wrapped into a column) with an empty strip beside it.
    const LRESULT result = Default();
    RECT rc{0, 0, 0, 0};
    AdjustWindowRectEx(&rc, GetStyle(), FALSE, GetExStyle());
    auto* pInfo = reinterpret_cast<MINMAXINFO*>(lParam);
    pInfo->ptMinTrackSize.x = rc.right - rc.left;
    pInfo->ptMinTrackSize.y = rc.bottom - rc.top;
    return result;
}
