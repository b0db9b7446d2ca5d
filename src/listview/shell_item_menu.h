#pragma once
// CShellItemMenu: the shell's own context menu for a set of files and folders named by
// their full paths, with the commands of the shell and its extensions; the command the
// user picks is carried out by the shell. One object serves one right-click.

#include <windows.h>

#include <shlobj.h>

#include <string>
#include <vector>

class CMenu;
class CWnd;

// Item ID lists, the shell's format: items each starting with their 16-bit byte count,
// ended by a count of 0.
int CountIDListItems(LPCITEMIDLIST pidl);                    // 0 for null
UINT GetIDListSize(LPCITEMIDLIST pidl);                      // the terminator excluded
LPCITEMIDLIST GetIDListItem(LPCITEMIDLIST pidl, int nIndex); // n == count: the terminator
// A copy of the first `cb` bytes (-1: the whole list) with a terminator, on the C heap.
LPITEMIDLIST CopyIDList(LPCITEMIDLIST pidl, int cb = -1);
// The folder holding the list's last item, asked for `riid`; the last item alone, copied
// with CopyIDList, when `ppidlLast` is given.
HRESULT BindToParentFolder(LPCITEMIDLIST pidl, REFIID riid, void** ppv,
                           LPITEMIDLIST* ppidlLast = nullptr);

class CShellItemMenu {
public:
    CShellItemMenu() = default;
    virtual ~CShellItemMenu();
    CShellItemMenu(const CShellItemMenu&) = delete;
    CShellItemMenu& operator=(const CShellItemMenu&) = delete;

    // Binds the object to the items named by `paths`, all in one folder. A path the
    // shell cannot parse is left out.
    void SetPaths(const std::vector<std::string>& paths);
    // Shows the menu at (x, y) on the screen for `pOwner` and runs the chosen command;
    // 0 after a command, when dismissed, or when there is nothing to show.
    UINT TrackMenu(CWnd* pOwner, int x, int y);
    // The items' menu interface and its version (1, 2 or 3).
    BOOL GetContextMenu(IContextMenu** ppcm, int* pVersion);
    static void RunCommand(IContextMenu* pcm, UINT nOffset);
    // A message of the owner's while the menu is open: what a menu of version 2 or 3
    // needs to draw its items and submenus (WM_INITMENUPOPUP, WM_DRAWITEM and
    // WM_MEASUREITEM from the menu, WM_MENUCHAR) goes to the shell, and true is returned
    // with the result; anything else is left to the owner (false).
    bool HandleOwnerMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    int m_nItems = 0;                      // the items stored
    BOOL m_bHaveFolder = FALSE;            // m_psfParent is held
    CMenu* m_pMenu = nullptr;              // made by the first TrackMenu
    IShellFolder* m_psfParent = nullptr;   // the folder holding the items
    std::vector<LPITEMIDLIST> m_pidlItems; // relative to m_psfParent, on the C heap

private:
    void Release();

    // The menu interface while the menu is open (both set for version 3), else null.
    IContextMenu2* m_pOpenMenu2 = nullptr;
    IContextMenu3* m_pOpenMenu3 = nullptr;
};
