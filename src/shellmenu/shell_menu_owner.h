#pragma once
// CShellMenuOwner: the shell context menu a window has open, if any. The window opens
// one through it and offers it the messages it gets while the menu is open, which a menu
// of the shell's newer versions needs to draw its items and submenus.

#include <windows.h>

#include <string>
#include <vector>

class CShellItemMenu;
class CWnd;

class CShellMenuOwner {
public:
    // The shell's context menu for `paths` (all in one folder) at a point on the screen,
    // owned by `pOwner`; returns once it has closed and its command has run.
    void Track(CWnd* pOwner, const std::vector<std::string>& paths, POINT ptScreen);
    bool IsOpen() const { return m_pOpen != nullptr; }
    // True, with the result, when the open menu took the owner's message.
    bool Forward(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

private:
    CShellItemMenu* m_pOpen = nullptr;
};
