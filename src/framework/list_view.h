#pragma once
// CListView: a view that is a list view control ("SysListView32"), and CListCtrl, the
// control's operations over its window handle.

#include <string>

#include "view.h"

class CListCtrl {
public:
    explicit CListCtrl(HWND hWnd = nullptr) : m_hWnd(hWnd) {}
    HWND m_hWnd;

    // `nWidth` is at 96 DPI (shown at the list's resolution); -1 leaves the width alone.
    int InsertColumn(int nCol, const char* lpszHeading, int nFormat = LVCFMT_LEFT,
                     int nWidth = -1) const;
    bool DeleteColumn(int nCol) const;
    HWND GetHeaderCtrl() const;
    int GetColumnCount() const; // the header's item count
    std::string GetColumnHeading(int nCol) const;
    int GetColumnWidth(int nCol) const;
    int GetColumnFormat(int nCol) const;
    // Shows column `nCol` right after column `nAfter`, whatever their indexes.
    bool ShowColumnAfter(int nCol, int nAfter) const;

    int GetItemCount() const;
    int InsertItem(int nItem, const char* lpszItem, int nImage) const;
    bool SetItemText(int nItem, int nSubItem, const char* lpszText) const;
    std::string GetItemText(int nItem, int nSubItem) const;
    int GetItemImage(int nItem) const;
    bool DeleteAllItems() const;
    int GetNextItem(int nItem, int nFlags) const;
    UINT GetSelectedCount() const;

    HIMAGELIST SetImageList(HIMAGELIST hImageList, int nImageListType) const;
    HIMAGELIST GetImageList(int nImageListType) const;
};

class CListView : public CView {
    DECLARE_DYNCREATE(CListView)
    DECLARE_MESSAGE_MAP()
public:
    CListCtrl GetListCtrl() const { return CListCtrl(m_hWnd); }
    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    void OnDraw(HDC) override {}
};
