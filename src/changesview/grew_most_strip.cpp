#include "grew_most_strip.h"

#include <utility>

IMPLEMENT_DYNAMIC(CGrewMostStrip, CStripBar)

bool CGrewMostStrip::Create(CWnd* pParentWnd, std::function<void(bool)> onTurned, UINT nID) {
    m_onTurned = std::move(onTurned);
    SetBorders(4, 4, 4, 2);
    return CreateStrip(pParentWnd, "DscpGrewMostStrip", nID);
}

bool CGrewMostStrip::CreateControls() {
    m_hWndCheck =
        MakeControl("BUTTON", "Grew the most in the last minute", WS_TABSTOP | BS_AUTOCHECKBOX);
    return m_hWndCheck != nullptr;
}

void CGrewMostStrip::LayOut() {
    if (!m_hWndCheck)
        return;
    const CRect rc = GetClientRect();
    ::MoveWindow(m_hWndCheck, rc.left, rc.top, rc.Width(), RowHeight(), TRUE);
}

bool CGrewMostStrip::IsChecked() const {
    return m_hWndCheck && ::SendMessageA(m_hWndCheck, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CGrewMostStrip::Turn(bool bChecked) {
    ::SendMessageA(m_hWndCheck, BM_SETCHECK, bChecked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (m_onTurned)
        m_onTurned(bChecked);
}

bool CGrewMostStrip::OnControlCommand(HWND hFrom, UINT nCode) {
    if (hFrom != m_hWndCheck || nCode != BN_CLICKED)
        return false;
    if (m_onTurned)
        m_onTurned(IsChecked());
    return true;
}
