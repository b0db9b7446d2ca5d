#include "menu.h"

#include <vector>

#include "wnd.h"

bool CMenu::LoadMenu(UINT nIDResource) {
    DestroyMenu();
    m_hMenu = ::LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIDResource));
    return m_hMenu != nullptr;
}

bool CMenu::CreatePopupMenu() {
    DestroyMenu();
    m_hMenu = ::CreatePopupMenu();
    return m_hMenu != nullptr;
}

bool CMenu::Attach(HMENU hMenu) {
    if (m_hMenu || !hMenu)
        return false;
    m_hMenu = hMenu;
    return true;
}

HMENU CMenu::Detach() {
    HMENU hMenu = m_hMenu;
    m_hMenu = nullptr;
    return hMenu;
}

bool CMenu::DestroyMenu() {
    if (!m_hMenu)
        return false;
    const bool bResult = ::DestroyMenu(m_hMenu) != FALSE;
    m_hMenu = nullptr;
    return bResult;
}

std::string CMenu::GetMenuString(UINT nIDItem, UINT nFlags) const {
    const int n = ::GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags);
    if (n <= 0)
        return {};
    std::vector<char> buffer(static_cast<size_t>(n) + 1);
    ::GetMenuStringA(m_hMenu, nIDItem, buffer.data(), n + 1, nFlags);
    return buffer.data();
}

UINT CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd) const {
    return static_cast<UINT>(
        ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd ? pWnd->m_hWnd : nullptr, nullptr));
}
