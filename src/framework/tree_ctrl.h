#pragma once
// CTreeCtrl: a tree view control ("SysTreeView32"), made by Create or bound to a
// dialog's control by subclassing, with the operations the program sends it.

#include <string>

#include "wnd.h"

class CTreeCtrl : public CWnd {
    DECLARE_DYNAMIC(CTreeCtrl)
    DECLARE_MESSAGE_MAP()
public:
    bool Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const;
    HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    HTREEITEM GetParentItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PARENT); }
    HTREEITEM GetChildItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXT); }
    // The first child whose text equals `text` byte for byte, or null.
    HTREEITEM FindChildItem(HTREEITEM hParent, const std::string& text) const;

    std::string GetItemText(HTREEITEM hItem) const; // the whole text, however long
    LPARAM GetItemData(HTREEITEM hItem) const;
    UINT GetItemState(HTREEITEM hItem, UINT nStateMask) const;
    bool SelectItem(HTREEITEM hItem) const;
    bool Expand(HTREEITEM hItem, UINT nCode) const;
    // Scrolls (and expands the nodes above) so that the node shows.
    bool EnsureVisible(HTREEITEM hItem) const;
    bool DeleteItem(HTREEITEM hItem) const;
    bool DeleteAllItems() const { return DeleteItem(TVI_ROOT); }
    UINT GetCount() const;
    HTREEITEM InsertItem(const TVINSERTSTRUCTA& insert) const;
    bool SetItem(const TVITEMA& item) const;
    HIMAGELIST SetImageList(HIMAGELIST hImageList, int nImageListType) const;
    HIMAGELIST GetImageList(int nImageListType) const;
};
