#include "list_columns.h"

namespace {

struct ColumnSpec {
    const char* pszHeading;
    int nFormat;
    int nWidth;
};

constexpr ColumnSpec kFolderColumns[] = {
    {"Name", LVCFMT_LEFT, 200}, {"Size", LVCFMT_RIGHT, 80},    {"Type", LVCFMT_LEFT, 100},
    {"Date", LVCFMT_LEFT, 120}, {"Folders", LVCFMT_RIGHT, 80}, {"Files", LVCFMT_RIGHT, 80},
};

constexpr ColumnSpec kDriveColumns[] = {
    {"Name", LVCFMT_LEFT, 100},
    {"Size", LVCFMT_RIGHT, 100},
    {"Free Space", LVCFMT_RIGHT, 100},
};

template <size_t N> void InsertColumns(const CListCtrl& list, const ColumnSpec (&columns)[N]) {
    for (size_t i = 0; i < N; ++i)
        list.InsertColumn(static_cast<int>(i), columns[i].pszHeading, columns[i].nFormat,
                          columns[i].nWidth);
}

} // namespace

void SetLayoutColumns(const CListCtrl& list, bool bDriveView) {
    // One redraw for the whole swap, not one per column taken or added.
    ::SendMessageA(list.m_hWnd, WM_SETREDRAW, FALSE, 0);
    const int nCount = list.GetColumnCount();
    for (int i = 0; i < nCount; ++i)
        list.DeleteColumn(0);
    if (bDriveView)
        InsertColumns(list, kDriveColumns);
    else
        InsertColumns(list, kFolderColumns);
    ::SendMessageA(list.m_hWnd, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(list.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void ShowChangeColumn(const CListCtrl& list, bool bShow) {
    const bool bShown = list.GetColumnCount() > kChangeColumn;
    if (bShow && !bShown) {
        // Shown beside the size it changes.
        list.InsertColumn(kChangeColumn, "Change", LVCFMT_RIGHT, 90);
        list.ShowColumnAfter(kChangeColumn, kSizeColumn);
    }
    else if (!bShow && bShown)
        list.DeleteColumn(kChangeColumn);
}

void ShowSortArrow(const CListCtrl& list, int nColumn, bool bDescending) {
    const HWND hHeader = list.GetHeaderCtrl();
    if (!hHeader)
        return;
    const int nCount = list.GetColumnCount();
    for (int i = 0; i < nCount; ++i) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        if (!SendMessageA(hHeader, HDM_GETITEMA, static_cast<WPARAM>(i),
                          reinterpret_cast<LPARAM>(&item)))
            continue;
        const int nFormat = item.fmt & ~(HDF_SORTUP | HDF_SORTDOWN);
        item.fmt = nFormat | (i == nColumn ? (bDescending ? HDF_SORTDOWN : HDF_SORTUP) : 0);
        SendMessageA(hHeader, HDM_SETITEMA, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&item));
    }
}

int SortArrowColumn(const CListCtrl& list, bool& bDescending) {
    const HWND hHeader = list.GetHeaderCtrl();
    const int nCount = hHeader ? list.GetColumnCount() : 0;
    for (int i = 0; i < nCount; ++i) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        SendMessageA(hHeader, HDM_GETITEMA, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&item));
        if (item.fmt & (HDF_SORTUP | HDF_SORTDOWN)) {
            bDescending = (item.fmt & HDF_SORTDOWN) != 0;
            return i;
        }
    }
    return -1;
}
