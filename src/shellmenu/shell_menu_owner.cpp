#include "shell_menu_owner.h"

#include "shell_item_menu.h"

void CShellMenuOwner::Track(CWnd* pOwner, const std::vector<std::string>& paths, POINT ptScreen) {
    CShellItemMenu shellMenu;
    shellMenu.SetPaths(paths);
    CShellItemMenu* pOuterMenu = m_pOpen;
    m_pOpen = &shellMenu;
    shellMenu.TrackMenu(pOwner, ptScreen.x, ptScreen.y);
    m_pOpen = pOuterMenu;
}

bool CShellMenuOwner::Forward(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return m_pOpen && m_pOpen->HandleOwnerMessage(message, wParam, lParam, pResult);
}
