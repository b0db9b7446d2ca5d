#include "search_criteria_bar.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "message_font.h"

namespace {

constexpr UINT_PTR kPauseTimer = 1;
constexpr UINT_PTR kTickTimer = 2;
constexpr int kGap = 4;      // between controls
constexpr int kRowCount = 5; // name, regular expression, size, dates, status
constexpr COLORREF kProblemColour = RGB(160, 0, 0);
constexpr UINT kEmSetCueBanner = 0x1501; // EM_SETCUEBANNER: grey text in an empty box

// Tells the owner, when it listens.
void Tell(const std::function<void()>& event) {
    if (event)
        event();
}

std::string WindowText(HWND hWnd) {
    const int n = ::GetWindowTextLengthA(hWnd);
    std::vector<char> buffer(static_cast<size_t>(n) + 1, '\0');
    ::GetWindowTextA(hWnd, buffer.data(), n + 1);
    return std::string(buffer.data());
}

} // namespace

IMPLEMENT_DYNAMIC(CSearchCriteriaBar, CControlBar)

BEGIN_MESSAGE_MAP(CSearchCriteriaBar, CControlBar)
    ON_WM_CREATE()
    ON_WM_SIZE()
END_MESSAGE_MAP()

bool CSearchCriteriaBar::Create(CWnd* pParentWnd, SearchCriteriaEvents events, UINT nID) {
    m_events = std::move(events);
    SetBorders(4, 4, 4, 2);
    return CreateBar(RegisterFrameworkClass("DscpSearchCriteria"),
                     WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | CBRS_TOP, 0, pParentWnd, nID);
}

HWND CSearchCriteriaBar::MakeControl(const char* lpszClass, const char* lpszText, DWORD dwStyle,
                                     DWORD dwExStyle) {
    const HWND hWnd =
        CreateWindowExA(dwExStyle, lpszClass, lpszText, WS_CHILD | WS_VISIBLE | dwStyle, 0, 0, 0, 0,
                        m_hWnd, nullptr, GetModuleHandleA(nullptr), nullptr);
    const HGDIOBJ hFont = m_font ? m_font.Get() : GetStockObject(DEFAULT_GUI_FONT);
    if (hWnd)
        ::SendMessageA(hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
    return hWnd;
}

HWND CSearchCriteriaBar::MakeBox(const wchar_t* lpszCue) {
    const HWND hWnd = MakeControl("EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
    if (hWnd)
        ::SendMessageW(hWnd, kEmSetCueBanner, TRUE, reinterpret_cast<LPARAM>(lpszCue));
    return hWnd;
}

int CSearchCriteriaBar::OnCreate(LPCREATESTRUCTA) {
    m_font.Reset(CreateMessageFont(m_hWnd));
    const HGDIOBJ hFont = m_font ? m_font.Get() : GetStockObject(DEFAULT_GUI_FONT);
    m_nLineHeight = LineHeightOf(m_hWnd, hFont, m_nLineHeight);
    {
        const WindowDC dc(m_hWnd);
        const SelectedObject selected(dc.Get(), hFont);
        for (const char* label : {"Name", "At least", "After"}) {
            SIZE size{};
            GetTextExtentPoint32A(dc.Get(), label, static_cast<int>(strlen(label)), &size);
            m_nLabelWidth = std::max(m_nLabelWidth, static_cast<int>(size.cx) + kGap);
        }
    }
    m_hWndNameLabel = MakeControl("STATIC", "Name", SS_LEFT | SS_CENTERIMAGE);
    m_hWndPattern = MakeBox(L"*.iso, or part of a name");
    m_hWndRegex = MakeControl("BUTTON", "Regular expression", WS_TABSTOP | BS_AUTOCHECKBOX);
    m_hWndSizeLabel = MakeControl("STATIC", "At least", SS_LEFT | SS_CENTERIMAGE);
    m_hWndMinSize = MakeBox(L"1 GB, 500 MB, 100k, or bytes");
    m_hWndAfterLabel = MakeControl("STATIC", "After", SS_LEFT | SS_CENTERIMAGE);
    m_hWndAfter = MakeBox(L"YYYY-MM-DD");
    m_hWndBeforeLabel = MakeControl("STATIC", "Before", SS_LEFT | SS_CENTERIMAGE);
    m_hWndBefore = MakeBox(L"YYYY-MM-DD");
    m_hWndStatus =
        MakeControl("STATIC", "", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX | SS_ENDELLIPSIS);
    m_hWndStop = MakeControl("BUTTON", "Stop", WS_TABSTOP | BS_PUSHBUTTON);
    if (!m_hWndPattern || !m_hWndRegex || !m_hWndMinSize || !m_hWndAfter || !m_hWndBefore ||
        !m_hWndStatus || !m_hWndStop)
        return -1;
    ::ShowWindow(m_hWndStop, SW_HIDE);
    return 0;
}

CSize CSearchCriteriaBar::CalcFixedLayout(bool bStretch, bool bHorz) {
    const CSize borders = CControlBar::CalcFixedLayout(false, bHorz);
    const int nRow = EditBoxHeight(m_nLineHeight);
    const int cy = kRowCount * nRow + (kRowCount - 1) * kGap;
    return CSize(bStretch ? kStretchLength : borders.cx, cy + borders.cy);
}

void CSearchCriteriaBar::OnSize(UINT, int, int) {
    Default();
    LayOut();
}

void CSearchCriteriaBar::LayOut() {
    if (!m_hWndStop)
        return;
    const CRect rc = GetClientRect();
    const int nRow = EditBoxHeight(m_nLineHeight);
    const int xBox = rc.left + m_nLabelWidth;
    const int cxBox = std::max(0, static_cast<int>(rc.right) - xBox);
    auto place = [](HWND hWnd, int x, int y, int cx, int cy) {
        ::MoveWindow(hWnd, x, y, std::max(0, cx), cy, TRUE);
    };
    int y = rc.top;
    place(m_hWndNameLabel, rc.left, y, m_nLabelWidth, nRow);
    place(m_hWndPattern, xBox, y, cxBox, nRow);
    y += nRow + kGap;
    place(m_hWndRegex, xBox, y, cxBox, nRow);
    y += nRow + kGap;
    place(m_hWndSizeLabel, rc.left, y, m_nLabelWidth, nRow);
    place(m_hWndMinSize, xBox, y, cxBox, nRow);
    y += nRow + kGap;
    // After and Before share a row, half the boxes' width each.
    const int cxBeforeLabel = m_nLabelWidth;
    const int cxDate = std::max(0, (cxBox - cxBeforeLabel - kGap) / 2);
    place(m_hWndAfterLabel, rc.left, y, m_nLabelWidth, nRow);
    place(m_hWndAfter, xBox, y, cxDate, nRow);
    place(m_hWndBeforeLabel, xBox + cxDate + kGap, y, cxBeforeLabel, nRow);
    place(m_hWndBefore, xBox + cxDate + kGap + cxBeforeLabel, y,
          static_cast<int>(rc.right) - (xBox + cxDate + kGap + cxBeforeLabel), nRow);
    y += nRow + kGap;
    const int cxStop = 6 * m_nLineHeight / 2;
    const bool bStop = IsStopShown();
    place(m_hWndStatus, rc.left, y, rc.Width() - (bStop ? cxStop + kGap : 0), nRow);
    place(m_hWndStop, static_cast<int>(rc.right) - cxStop, y, cxStop, nRow);
}

SearchInput CSearchCriteriaBar::Input() const {
    SearchInput input;
    input.pattern = WindowText(m_hWndPattern);
    input.bRegex = ::SendMessageA(m_hWndRegex, BM_GETCHECK, 0, 0) == BST_CHECKED;
    input.minSize = WindowText(m_hWndMinSize);
    input.after = WindowText(m_hWndAfter);
    input.before = WindowText(m_hWndBefore);
    return input;
}

bool CSearchCriteriaBar::IsStopShown() const {
    return m_hWndStop && (::GetWindowLongA(m_hWndStop, GWL_STYLE) & WS_VISIBLE);
}

void CSearchCriteriaBar::SetStatus(const std::string& text, bool bProblem, bool bStoppable) {
    const bool bRelayOut = bStoppable != IsStopShown();
    if (text != m_strStatus || bProblem != m_bProblem) {
        m_strStatus = text;
        m_bProblem = bProblem;
        ::SetWindowTextA(m_hWndStatus, text.c_str());
    }
    if (bRelayOut) {
        ::ShowWindow(m_hWndStop, bStoppable ? SW_SHOWNOACTIVATE : SW_HIDE);
        LayOut();
    }
}

void CSearchCriteriaBar::StartTicking() {
    SetTimer(kTickTimer, kTickMs);
}

void CSearchCriteriaBar::StopTicking() {
    KillTimer(kTickTimer);
}

void CSearchCriteriaBar::FocusPattern() {
    ::SetFocus(m_hWndPattern);
    ::SendMessageA(m_hWndPattern, EM_SETSEL, 0, -1);
}

void CSearchCriteriaBar::MoveFocus(HWND hFrom, bool bBack) {
    std::vector<HWND> order = {m_hWndPattern, m_hWndRegex, m_hWndMinSize, m_hWndAfter,
                               m_hWndBefore};
    if (IsStopShown())
        order.push_back(m_hWndStop);
    const auto at = std::find(order.begin(), order.end(), hFrom);
    if (at == order.end())
        return;
    const size_t i = static_cast<size_t>(at - order.begin());
    const size_t n = order.size();
    ::SetFocus(order[bBack ? (i + n - 1) % n : (i + 1) % n]);
}

bool CSearchCriteriaBar::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && ::GetParent(pMsg->hwnd) == m_hWnd) {
        switch (pMsg->wParam) {
        case VK_TAB:
            MoveFocus(pMsg->hwnd, ::GetKeyState(VK_SHIFT) < 0);
            return true;
        case VK_RETURN:
            // Enter asks at once, without waiting for the pause.
            KillTimer(kPauseTimer);
            Tell(m_events.onChanged);
            return true;
        default:
            break;
        }
    }
    return CControlBar::PreTranslateMessage(pMsg);
}

LRESULT CSearchCriteriaBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const HWND hFrom = reinterpret_cast<HWND>(lParam);
        const UINT nCode = HIWORD(wParam);
        if (hFrom == m_hWndStop && nCode == BN_CLICKED) {
            Tell(m_events.onStop);
            return 0;
        }
        // A box typed in or the check box turned: the newest change starts the pause anew.
        if ((nCode == EN_CHANGE && hFrom != m_hWndStatus) ||
            (hFrom == m_hWndRegex && nCode == BN_CLICKED)) {
            SetTimer(kPauseTimer, kPauseMs);
            return 0;
        }
        break;
    }
    case WM_TIMER:
        if (wParam == kPauseTimer) {
            KillTimer(kPauseTimer);
            Tell(m_events.onChanged);
            return 0;
        }
        if (wParam == kTickTimer) {
            Tell(m_events.onTick);
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == m_hWndStatus && m_bProblem) {
            const HDC hDC = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(hDC, kProblemColour);
            ::SetBkColor(hDC, ::GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    default:
        break;
    }
    return CControlBar::WindowProc(message, wParam, lParam);
}
