#include "search_criteria_bar.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr UINT_PTR kPauseTimer = 1;
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

IMPLEMENT_DYNAMIC(CSearchCriteriaBar, CStripBar)

bool CSearchCriteriaBar::Create(CWnd* pParentWnd, SearchCriteriaEvents events, UINT nID) {
    m_events = std::move(events);
    SetBorders(4, 4, 4, 2);
    return CreateStrip(pParentWnd, "DscpSearchCriteria", nID);
}

HWND CSearchCriteriaBar::MakeBox(const wchar_t* lpszCue) {
    const HWND hWnd = MakeControl("EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
    if (hWnd)
        ::SendMessageW(hWnd, kEmSetCueBanner, TRUE, reinterpret_cast<LPARAM>(lpszCue));
    return hWnd;
}

void CSearchCriteriaBar::Measure() {
    m_nLabelWidth = 60;
    for (const char* label : {"Name", "At least", "After"})
        m_nLabelWidth = std::max(m_nLabelWidth, TextWidth(label) + kGap);
}

bool CSearchCriteriaBar::CreateControls() {
    m_hWndNameLabel = MakeControl("STATIC", "Name", SS_LEFT | SS_CENTERIMAGE);
    m_hWndPattern = MakeBox(L"*.iso, or part of a name");
    m_hWndRegex = MakeControl("BUTTON", "Regular expression", WS_TABSTOP | BS_AUTOCHECKBOX);
    m_hWndSizeLabel = MakeControl("STATIC", "At least", SS_LEFT | SS_CENTERIMAGE);
    m_hWndMinSize = MakeBox(L"1 GB, 500 MB, 100k, or bytes");
    m_hWndAfterLabel = MakeControl("STATIC", "After", SS_LEFT | SS_CENTERIMAGE);
    m_hWndAfter = MakeBox(L"YYYY-MM-DD");
    m_hWndBeforeLabel = MakeControl("STATIC", "Before", SS_LEFT | SS_CENTERIMAGE);
    m_hWndBefore = MakeBox(L"YYYY-MM-DD");
    return MakeStatusLine() && m_hWndPattern && m_hWndRegex && m_hWndMinSize && m_hWndAfter &&
           m_hWndBefore;
}

void CSearchCriteriaBar::LayOut() {
    if (!StopButton())
        return;
    const CRect rc = GetClientRect();
    const int nRow = RowHeight();
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
    PlaceStatusLine(rc, y);
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

void CSearchCriteriaBar::SetStatus(const std::string& text, bool bProblem, bool bStoppable) {
    if (bProblem != m_bProblem) {
        m_bProblem = bProblem;
        ::InvalidateRect(StatusLine(), nullptr, TRUE);
    }
    CStripBar::SetStatus(text, bStoppable);
}

void CSearchCriteriaBar::FocusPattern() {
    ::SetFocus(m_hWndPattern);
    ::SendMessageA(m_hWndPattern, EM_SETSEL, 0, -1);
}

void CSearchCriteriaBar::MoveFocus(HWND hFrom, bool bBack) {
    std::vector<HWND> order = {m_hWndPattern, m_hWndRegex, m_hWndMinSize, m_hWndAfter,
                               m_hWndBefore};
    if (IsStopShown())
        order.push_back(StopButton());
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
    return CStripBar::PreTranslateMessage(pMsg);
}

bool CSearchCriteriaBar::OnControlCommand(HWND hFrom, UINT nCode) {
    // A box typed in or the check box turned: the newest change starts the pause anew.
    if ((nCode == EN_CHANGE && hFrom != StatusLine()) ||
        (hFrom == m_hWndRegex && nCode == BN_CLICKED)) {
        SetTimer(kPauseTimer, kPauseMs);
        return true;
    }
    return false;
}

void CSearchCriteriaBar::OnStop() {
    Tell(m_events.onStop);
}

void CSearchCriteriaBar::OnTick() {
    Tell(m_events.onTick);
}

LRESULT CSearchCriteriaBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kPauseTimer) {
            KillTimer(kPauseTimer);
            Tell(m_events.onChanged);
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == StatusLine() && m_bProblem) {
            const HDC hDC = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(hDC, kProblemColour);
            ::SetBkColor(hDC, ::GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    default:
        break;
    }
    return CStripBar::WindowProc(message, wParam, lParam);
}
