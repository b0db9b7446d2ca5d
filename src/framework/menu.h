#pragma once
// CMenu: owns a menu handle (loaded from a resource or made empty) and tracks popups.

#include <windows.h>

#include <string>

class CWnd;

class CMenu {
public:
    CMenu() = default;
    ~CMenu() { DestroyMenu(); }
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;
    operator HMENU() const { return m_hMenu; }

    bool LoadMenu(UINT nIDResource);
    bool CreatePopupMenu();
    bool Attach(HMENU hMenu);
    HMENU Detach();
    bool DestroyMenu();

    HMENU GetSubMenu(int nPos) const { return ::GetSubMenu(m_hMenu, nPos); }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
    UINT GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }
    std::string GetMenuString(UINT nIDItem, UINT nFlags) const;

    // With TPM_RETURNCMD the chosen command (0 for none); otherwise whether it tracked.
    // The command of a menu tracked without it goes to pWnd as WM_COMMAND.
    UINT TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd) const;
};
