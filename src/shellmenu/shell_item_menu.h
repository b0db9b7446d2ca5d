#pragma once
// CShellItemMenu: the shell's own context menu for a set of files and folders named by
// their full paths, with the commands of the shell and its extensions; the command the
// user picks is carried out by the shell. One object serves one right-click.

#include <windows.h>

#include <shlobj.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "owners.h"

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

// Item ID lists the C heap holds (CopyIDList's), and those the shell's allocator holds.
using UniqueIdList = UniqueCHeap<ITEMIDLIST>;
using UniqueShellIdList = UniqueTaskMemory<ITEMIDLIST>;

class CShellItemMenu {
public:
    CShellItemMenu() = default;
    CShellItemMenu(const CShellItemMenu&) = delete;
    CShellItemMenu& operator=(const CShellItemMenu&) = delete;

    // Binds the object to the items named by `paths`, all in one folder. A path the
    // shell cannot parse is left out.
    void SetPaths(const std::vector<std::string>& paths);
    // The items stored, and whether their folder is held.
    int ItemCount() const { return static_cast<int>(m_items.size()); }
    bool HasFolder() const { return static_cast<bool>(m_parent); }
    // Shows the menu at (x, y) on the screen for `pOwner` and runs the chosen command;
    // 0 after a command, when dismissed, or when there is nothing to show.
    UINT TrackMenu(CWnd* pOwner, int x, int y);
    // The items' menu interface in its newest version, which goes to `*pVersion` (1, 2
    // or 3); empty when there are no items.
    ComPtr<IContextMenu> GetContextMenu(int* pVersion) const;
    static void RunCommand(IContextMenu* pcm, UINT nOffset);
    // A message of the owner's while the menu is open: what a menu of version 2 or 3
    // needs to draw its items and submenus (WM_INITMENUPOPUP, WM_DRAWITEM and
    // WM_MEASUREITEM from the menu, WM_MENUCHAR) goes to the shell, and true is returned
    // with the result; anything else is left to the owner (false).
    bool HandleOwnerMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

private:
    ComPtr<IShellFolder> m_parent;     // the folder holding the items
    std::vector<UniqueIdList> m_items; // relative to m_parent
    // The menu interface while the menu is open (both set for version 3), else empty.
    ComPtr<IContextMenu2> m_openMenu2;
    ComPtr<IContextMenu3> m_openMenu3;
};
