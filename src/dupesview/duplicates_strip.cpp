#include "duplicates_strip.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "message_font.h"

namespace {

constexpr UINT_PTR kTickTimer = 1;
constexpr int kGap = 4;
constexpr char kFindText[] = "Find Duplicates";

void Tell(const std::function<void()>& event) {
    if (event)
        event();
}

} // namespace

IMPLEMENT_DYNAMIC(CDuplicatesStrip, CControlBar)

BEGIN_MESSAGE_MAP(CDuplicatesStrip, CControlBar)
    ON_WM_CREATE()
    ON_WM_SIZE()
END_MESSAGE_MAP()

bool CDuplicatesStrip::Create(CWnd* pParentWnd, DuplicatesStripEvents events, UINT nID) {
    m_events = std::move(events);
    SetBorders(4, 4, 4, 2);
    return CreateBar(RegisterFrameworkClass("DscpDuplicatesStrip"),
                     WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | CBRS_TOP, 0, pParentWnd, nID);
}

HWND CDuplicatesStrip::MakeControl(const char* lpszClass, const char* lpszText, DWORD dwStyle) {
    const HWND hWnd = CreateWindowExA(0, lpszClass, lpszText, WS_CHILD | WS_VISIBLE | dwStyle, 0, 0,
                                      0, 0, m_hWnd, nullptr, GetModuleHandleA(nullptr), nullptr);
    const HGDIOBJ hFont = m_font ? m_font.Get() : GetStockObject(DEFAULT_GUI_FONT);
    if (hWnd)
        ::SendMessageA(hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
    return hWnd;
}

int CDuplicatesStrip::OnCreate(LPCREATESTRUCTA) {
    m_font.Reset(CreateMessageFont(m_hWnd));
    const HGDIOBJ hFont = m_font ? m_font.Get() : GetStockObject(DEFAULT_GUI_FONT);
    m_nLineHeight = LineHeightOf(m_hWnd, hFont, m_nLineHeight);
    {
        const WindowDC dc(m_hWnd);
        const SelectedObject selected(dc.Get(), hFont);
        SIZE size{};
        GetTextExtentPoint32A(dc.Get(), kFindText, static_cast<int>(strlen(kFindText)), &size);
        m_nFindWidth = static_cast<int>(size.cx) + 2 * m_nLineHeight;
    }
    m_hWndFind = MakeControl("BUTTON", kFindText, WS_TABSTOP | BS_PUSHBUTTON);
    m_hWndFolder =
        MakeControl("STATIC", "", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX | SS_PATHELLIPSIS);
    m_hWndStatus =
        MakeControl("STATIC", "", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX | SS_ENDELLIPSIS);
    m_hWndStop = MakeControl("BUTTON", "Stop", WS_TABSTOP | BS_PUSHBUTTON);
    if (!m_hWndFind || !m_hWndFolder || !m_hWndStatus || !m_hWndStop)
        return -1;
    ::ShowWindow(m_hWndStop, SW_HIDE);
    return 0;
}

CSize CDuplicatesStrip::CalcFixedLayout(bool bStretch, bool bHorz) {
    const CSize borders = CControlBar::CalcFixedLayout(false, bHorz);
    const int nRow = EditBoxHeight(m_nLineHeight);
    return CSize(bStretch ? kStretchLength : borders.cx, 2 * nRow + kGap + borders.cy);
}

void CDuplicatesStrip::OnSize(UINT, int, int) {
    Default();
    LayOut();
}

void CDuplicatesStrip::LayOut() {
    if (!m_hWndStop)
        return;
    const CRect rc = GetClientRect();
    const int nRow = EditBoxHeight(m_nLineHeight);
    auto place = [](HWND hWnd, int x, int y, int cx, int cy) {
        ::MoveWindow(hWnd, x, y, std::max(0, cx), cy, TRUE);
    };
    int y = rc.top;
    place(m_hWndFind, rc.left, y, m_nFindWidth, nRow);
    const int xFolder = rc.left + m_nFindWidth + 2 * kGap;
    place(m_hWndFolder, xFolder, y, static_cast<int>(rc.right) - xFolder, nRow);
    y += nRow + kGap;
    const int cxStop = 3 * m_nLineHeight;
    const bool bStop = IsStopShown();
    place(m_hWndStatus, rc.left, y, rc.Width() - (bStop ? cxStop + kGap : 0), nRow);
    place(m_hWndStop, static_cast<int>(rc.right) - cxStop, y, cxStop, nRow);
}

void CDuplicatesStrip::SetFolder(const std::string& folder) {
    ::SetWindowTextA(m_hWndFolder, folder.c_str());
}

bool CDuplicatesStrip::IsStopShown() const {
    return m_hWndStop && (::GetWindowLongA(m_hWndStop, GWL_STYLE) & WS_VISIBLE);
}

void CDuplicatesStrip::SetStatus(const std::string& text, bool bStoppable) {
    if (text != m_strStatus) {
        m_strStatus = text;
        ::SetWindowTextA(m_hWndStatus, text.c_str());
    }
    if (bStoppable != IsStopShown()) {
        ::ShowWindow(m_hWndStop, bStoppable ? SW_SHOWNOACTIVATE : SW_HIDE);
        LayOut();
    }
}

void CDuplicatesStrip::EnableFind(bool bEnable) {
    if ((::IsWindowEnabled(m_hWndFind) != FALSE) != bEnable)
        ::EnableWindow(m_hWndFind, bEnable);
}

void CDuplicatesStrip::StartTicking() {
    SetTimer(kTickTimer, kTickMs);
}

void CDuplicatesStrip::StopTicking() {
    KillTimer(kTickTimer);
}

LRESULT CDuplicatesStrip::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        const HWND hFrom = reinterpret_cast<HWND>(lParam);
        if (hFrom == m_hWndFind) {
            Tell(m_events.onFind);
            return 0;
        }
        if (hFrom == m_hWndStop) {
            Tell(m_events.onStop);
            return 0;
        }
    }
    if (message == WM_TIMER && wParam == kTickTimer) {
        Tell(m_events.onTick);
        return 0;
    }
    return CControlBar::WindowProc(message, wParam, lParam);
}
