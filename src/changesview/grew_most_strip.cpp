#include "grew_most_strip.h"

#include <utility>

#include "message_font.h"

IMPLEMENT_DYNAMIC(CGrewMostStrip, CControlBar)

BEGIN_MESSAGE_MAP(CGrewMostStrip, CControlBar)
    ON_WM_CREATE()
    ON_WM_SIZE()
END_MESSAGE_MAP()

bool CGrewMostStrip::Create(CWnd* pParentWnd, std::function<void(bool)> onTurned, UINT nID) {
    m_onTurned = std::move(onTurned);
    SetBorders(4, 4, 4, 2);
    return CreateBar(RegisterFrameworkClass("DscpGrewMostStrip"),
                     WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | CBRS_TOP, 0, pParentWnd, nID);
}

int CGrewMostStrip::OnCreate(LPCREATESTRUCTA) {
    m_font.Reset(CreateMessageFont(m_hWnd)); // at its window's scale
    const HGDIOBJ hFont = m_font ? m_font.Get() : GetStockObject(DEFAULT_GUI_FONT);
    m_nLineHeight = LineHeightOf(m_hWnd, hFont, m_nLineHeight);
    m_hWndCheck = CreateWindowExA(0, "BUTTON", "Grew the most in the last minute",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 0, 0, 0,
                                  m_hWnd, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!m_hWndCheck)
        return -1;
    ::SendMessageA(m_hWndCheck, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
    return 0;
}

CSize CGrewMostStrip::CalcFixedLayout(bool bStretch, bool bHorz) {
    const CSize borders = CControlBar::CalcFixedLayout(false, bHorz);
    return CSize(bStretch ? kStretchLength : borders.cx, EditBoxHeight(m_nLineHeight) + borders.cy);
}

void CGrewMostStrip::OnSize(UINT, int, int) {
    Default();
    if (!m_hWndCheck)
        return;
    const CRect rc = GetClientRect();
    ::MoveWindow(m_hWndCheck, rc.left, rc.top, rc.Width(), EditBoxHeight(m_nLineHeight), TRUE);
}

bool CGrewMostStrip::IsChecked() const {
    return m_hWndCheck && ::SendMessageA(m_hWndCheck, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CGrewMostStrip::Turn(bool bChecked) {
    ::SendMessageA(m_hWndCheck, BM_SETCHECK, bChecked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (m_onTurned)
        m_onTurned(bChecked);
}

LRESULT CGrewMostStrip::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && reinterpret_cast<HWND>(lParam) == m_hWndCheck &&
        HIWORD(wParam) == BN_CLICKED) {
        if (m_onTurned)
            m_onTurned(IsChecked());
        return 0;
    }
    return CControlBar::WindowProc(message, wParam, lParam);
}
