#include "strip_bar.h"

#include <algorithm>
#include <cstring>

#include "frame_wnd.h"
#include "message_font.h"
#include "window_dpi.h"

namespace {

constexpr UINT_PTR kTickTimer = 0x5354; // apart from the timers strips set for themselves

} // namespace

IMPLEMENT_DYNAMIC(CStripBar, CControlBar)

BEGIN_MESSAGE_MAP(CStripBar, CControlBar)
    ON_WM_CREATE()
    ON_WM_SIZE()
END_MESSAGE_MAP()

bool CStripBar::CreateStrip(CWnd* pParentWnd, const char* lpszClass, UINT nID) {
    return CreateBar(RegisterFrameworkClass(lpszClass),
                     WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | CBRS_TOP, 0, pParentWnd, nID);
}

void CStripBar::MakeFont() {
    m_nFontDpi = WindowDpi(m_hWnd);
    m_font.Reset(CreateMessageFont(m_hWnd));
    m_nLineHeight = LineHeightOf(m_hWnd, Font(), m_nLineHeight);
    Measure();
}

HGDIOBJ CStripBar::Font() const {
    return m_font ? m_font.Get() : GetStockObject(DEFAULT_GUI_FONT);
}

int CStripBar::RowHeight() const {
    return EditBoxHeight(m_nLineHeight);
}

int CStripBar::TextWidth(const char* lpszText) const {
    const WindowDC dc(m_hWnd);
    const SelectedObject selected(dc.Get(), Font());
    SIZE size{};
    GetTextExtentPoint32A(dc.Get(), lpszText, static_cast<int>(strlen(lpszText)), &size);
    return static_cast<int>(size.cx);
}

HWND CStripBar::MakeControl(const char* lpszClass, const char* lpszText, DWORD dwStyle,
                            DWORD dwExStyle) {
    const HWND hWnd =
        CreateWindowExA(dwExStyle, lpszClass, lpszText, WS_CHILD | WS_VISIBLE | dwStyle, 0, 0, 0, 0,
                        m_hWnd, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (hWnd) {
        ::SendMessageA(hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
        m_controls.push_back(hWnd);
    }
    return hWnd;
}

bool CStripBar::MakeStatusLine() {
    m_hWndStatus =
        MakeControl("STATIC", "", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX | SS_ENDELLIPSIS);
    m_hWndStop = MakeControl("BUTTON", "Stop", WS_TABSTOP | BS_PUSHBUTTON);
    if (!m_hWndStatus || !m_hWndStop)
        return false;
    ::ShowWindow(m_hWndStop, SW_HIDE);
    return true;
}

void CStripBar::PlaceStatusLine(const CRect& rc, int y) const {
    const int nRow = RowHeight();
    const int cxStop = 3 * m_nLineHeight;
    const int cxStatus = rc.Width() - (IsStopShown() ? cxStop + kGap : 0);
    ::MoveWindow(m_hWndStatus, rc.left, y, std::max(0, cxStatus), nRow, TRUE);
    ::MoveWindow(m_hWndStop, static_cast<int>(rc.right) - cxStop, y, cxStop, nRow, TRUE);
}

bool CStripBar::IsStopShown() const {
    return m_hWndStop && (::GetWindowLongA(m_hWndStop, GWL_STYLE) & WS_VISIBLE);
}

void CStripBar::SetStatus(const std::string& text, bool bStoppable) {
    if (text != m_strStatus) {
        m_strStatus = text;
        ::SetWindowTextA(m_hWndStatus, text.c_str());
    }
    if (m_hWndStop && bStoppable != IsStopShown()) {
        ::ShowWindow(m_hWndStop, bStoppable ? SW_SHOWNOACTIVATE : SW_HIDE);
        LayOut();
    }
}

void CStripBar::StartTicking() {
    SetTimer(kTickTimer, kTickMs);
}

void CStripBar::StopTicking() {
    KillTimer(kTickTimer);
}

int CStripBar::OnCreate(LPCREATESTRUCTA) {
    MakeFont();
    return CreateControls() ? 0 : -1;
}

CSize CStripBar::CalcFixedLayout(bool bStretch, bool bHorz) {
    const CSize borders = CControlBar::CalcFixedLayout(false, bHorz);
    const int nRows = RowCount();
    const int cy = nRows * RowHeight() + std::max(0, nRows - 1) * kGap;
    return CSize(bStretch ? kStretchLength : borders.cx, cy + borders.cy);
}

void CStripBar::OnSize(UINT, int, int) {
    Default();
    LayOut();
}

void CStripBar::Refont() {
    if (WindowDpi(m_hWnd) == m_nFontDpi)
        return; // told twice (by the system and by the frame)
    // The controls keep the old font until they have the new one.
    UniqueGdiObject old(m_font.Release());
    MakeFont();
    for (const HWND hWnd : m_controls)
        ::SendMessageA(hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), TRUE);
    old.Reset();
    if (CFrameWnd* pFrame = GetDockSite())
        pFrame->DelayRecalcLayout();
    LayOut();
}

LRESULT CStripBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const HWND hFrom = reinterpret_cast<HWND>(lParam);
        const UINT nCode = HIWORD(wParam);
        if (hFrom && hFrom == m_hWndStop && nCode == BN_CLICKED) {
            OnStop();
            return 0;
        }
        if (hFrom && OnControlCommand(hFrom, nCode))
            return 0;
        break;
    }
    case WM_TIMER:
        if (wParam == kTickTimer) {
            OnTick();
            return 0;
        }
        break;
    case WM_DPICHANGED_AFTERPARENT:
        Refont();
        return 0;
    default:
        break;
    }
    return CControlBar::WindowProc(message, wParam, lParam);
}
