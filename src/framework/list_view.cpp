#include "list_view.h"

#include <algorithm>
#include <vector>

#include "window_dpi.h"

int CListCtrl::InsertColumn(int nCol, const char* lpszHeading, int nFormat, int nWidth) const {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM | (nWidth >= 0 ? LVCF_WIDTH : 0);
    column.fmt = nFormat;
    column.cx = nWidth >= 0 ? WindowScale(m_hWnd)(nWidth) : nWidth;
    column.pszText = const_cast<char*>(lpszHeading);
    column.iSubItem = nCol;
    return static_cast<int>(SendMessageA(m_hWnd, LVM_INSERTCOLUMNA, static_cast<WPARAM>(nCol),
                                         reinterpret_cast<LPARAM>(&column)));
}

bool CListCtrl::DeleteColumn(int nCol) const {
    return SendMessageA(m_hWnd, LVM_DELETECOLUMN, static_cast<WPARAM>(nCol), 0) != FALSE;
}

HWND CListCtrl::GetHeaderCtrl() const {
    return reinterpret_cast<HWND>(SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0));
}

int CListCtrl::GetColumnCount() const {
    HWND hHeader = GetHeaderCtrl();
    return hHeader ? static_cast<int>(SendMessageA(hHeader, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

bool CListCtrl::ShowColumnAfter(int nCol, int nAfter) const {
    const int nCount = GetColumnCount();
    std::vector<int> order(static_cast<size_t>(nCount > 0 ? nCount : 0));
    if (order.empty() || !SendMessageA(m_hWnd, LVM_GETCOLUMNORDERARRAY, order.size(),
                                       reinterpret_cast<LPARAM>(order.data())))
        return false;
    order.erase(std::remove(order.begin(), order.end(), nCol), order.end());
    const auto after = std::find(order.begin(), order.end(), nAfter);
    order.insert(after == order.end() ? after : after + 1, nCol);
    return SendMessageA(m_hWnd, LVM_SETCOLUMNORDERARRAY, order.size(),
                        reinterpret_cast<LPARAM>(order.data())) != 0;
}

std::string CListCtrl::GetColumnHeading(int nCol) const {
    char buffer[260] = {};
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT;
    column.pszText = buffer;
    column.cchTextMax = sizeof(buffer);
    if (!SendMessageA(m_hWnd, LVM_GETCOLUMNA, static_cast<WPARAM>(nCol),
                      reinterpret_cast<LPARAM>(&column)))
        return {};
    return column.pszText ? column.pszText : "";
}

int CListCtrl::GetColumnWidth(int nCol) const {
    return static_cast<int>(SendMessageA(m_hWnd, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(nCol), 0));
}

int CListCtrl::GetColumnFormat(int nCol) const {
    LVCOLUMNA column{};
    column.mask = LVCF_FMT;
    if (!SendMessageA(m_hWnd, LVM_GETCOLUMNA, static_cast<WPARAM>(nCol),
                      reinterpret_cast<LPARAM>(&column)))
        return -1;
    return column.fmt & LVCFMT_JUSTIFYMASK;
}

int CListCtrl::GetItemCount() const {
    return static_cast<int>(SendMessageA(m_hWnd, LVM_GETITEMCOUNT, 0, 0));
}

int CListCtrl::InsertItem(int nItem, const char* lpszItem, int nImage) const {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = nItem;
    item.pszText = const_cast<char*>(lpszItem);
    item.iImage = nImage;
    item.lParam = 0;
    return static_cast<int>(
        SendMessageA(m_hWnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListCtrl::SetItemText(int nItem, int nSubItem, const char* lpszText) const {
    LVITEMA item{};
    item.iSubItem = nSubItem;
    item.pszText = const_cast<char*>(lpszText);
    return SendMessageA(m_hWnd, LVM_SETITEMTEXTA, static_cast<WPARAM>(nItem),
                        reinterpret_cast<LPARAM>(&item)) != FALSE;
}

std::string CListCtrl::GetItemText(int nItem, int nSubItem) const {
    // The control copies at most the buffer's size; grow until the text fits.
    std::vector<char> buffer(264);
    for (;;) {
        LVITEMA item{};
        item.iSubItem = nSubItem;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const auto n = static_cast<size_t>(SendMessageA(
            m_hWnd, LVM_GETITEMTEXTA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
        if (n + 1 < buffer.size() || buffer.size() >= 65536)
            return std::string(buffer.data(), n < buffer.size() ? n : buffer.size() - 1);
        buffer.resize(buffer.size() * 4);
    }
}

int CListCtrl::GetItemImage(int nItem) const {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = nItem;
    if (!SendMessageA(m_hWnd, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return -1;
    return item.iImage;
}

bool CListCtrl::DeleteAllItems() const {
    return SendMessageA(m_hWnd, LVM_DELETEALLITEMS, 0, 0) != FALSE;
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const {
    return static_cast<int>(
        SendMessageA(m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(nItem), MAKELPARAM(nFlags, 0)));
}

UINT CListCtrl::GetSelectedCount() const {
    return static_cast<UINT>(SendMessageA(m_hWnd, LVM_GETSELECTEDCOUNT, 0, 0));
}

HIMAGELIST CListCtrl::SetImageList(HIMAGELIST hImageList, int nImageListType) const {
    return reinterpret_cast<HIMAGELIST>(SendMessageA(m_hWnd, LVM_SETIMAGELIST,
                                                     static_cast<WPARAM>(nImageListType),
                                                     reinterpret_cast<LPARAM>(hImageList)));
}

HIMAGELIST CListCtrl::GetImageList(int nImageListType) const {
    return reinterpret_cast<HIMAGELIST>(
        SendMessageA(m_hWnd, LVM_GETIMAGELIST, static_cast<WPARAM>(nImageListType), 0));
}

IMPLEMENT_DYNCREATE(CListView, CView)

BEGIN_MESSAGE_MAP(CListView, CView)
END_MESSAGE_MAP()

bool CListView::PreCreateWindow(CREATESTRUCTA& cs) {
    cs.lpszClass = WC_LISTVIEWA;
    return CView::PreCreateWindow(cs);
}
