#include "tree_ctrl.h"

#include <vector>

IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)

BEGIN_MESSAGE_MAP(CTreeCtrl, CWnd)
END_MESSAGE_MAP()

bool CTreeCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(WC_TREEVIEWA, nullptr, dwStyle, rect, pParentWnd, nID);
}

HTREEITEM CTreeCtrl::GetNextItem(HTREEITEM hItem, UINT nCode) const {
    return reinterpret_cast<HTREEITEM>(
        SendMessage(TVM_GETNEXTITEM, nCode, reinterpret_cast<LPARAM>(hItem)));
}

HTREEITEM CTreeCtrl::FindChildItem(HTREEITEM hParent, const std::string& text) const {
    for (HTREEITEM hChild = GetChildItem(hParent); hChild; hChild = GetNextSiblingItem(hChild))
        if (GetItemText(hChild) == text)
            return hChild;
    return nullptr;
}

std::string CTreeCtrl::GetItemText(HTREEITEM hItem) const {
    // The control cuts the text to the buffer; grow it until the text ends inside.
    for (int nSize = 512;; nSize *= 4) {
        std::vector<char> buffer(static_cast<size_t>(nSize), '\0');
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = hItem;
        item.pszText = buffer.data();
        item.cchTextMax = nSize;
        if (!SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
            return {};
        const std::string text(item.pszText ? item.pszText : "");
        if (item.pszText != buffer.data() || static_cast<int>(text.size()) < nSize - 4 ||
            nSize >= 65536)
            return text;
    }
}

LPARAM CTreeCtrl::GetItemData(HTREEITEM hItem) const {
    TVITEMA item{};
    item.mask = TVIF_PARAM;
    item.hItem = hItem;
    if (!SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return 0;
    return item.lParam;
}

UINT CTreeCtrl::GetItemState(HTREEITEM hItem, UINT nStateMask) const {
    return static_cast<UINT>(
        SendMessage(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(hItem), nStateMask));
}

bool CTreeCtrl::SelectItem(HTREEITEM hItem) const {
    return SendMessage(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(hItem)) != 0;
}

bool CTreeCtrl::EnsureVisible(HTREEITEM hItem) const {
    return SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(hItem)) != 0;
}

bool CTreeCtrl::Expand(HTREEITEM hItem, UINT nCode) const {
    return SendMessage(TVM_EXPAND, nCode, reinterpret_cast<LPARAM>(hItem)) != 0;
}

bool CTreeCtrl::DeleteItem(HTREEITEM hItem) const {
    return SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(hItem)) != 0;
}

UINT CTreeCtrl::GetCount() const {
    return static_cast<UINT>(SendMessage(TVM_GETCOUNT));
}

HTREEITEM CTreeCtrl::InsertItem(const TVINSERTSTRUCTA& insert) const {
    return reinterpret_cast<HTREEITEM>(
        SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

bool CTreeCtrl::SetItem(const TVITEMA& item) const {
    return SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

HIMAGELIST CTreeCtrl::SetImageList(HIMAGELIST hImageList, int nImageListType) const {
    return reinterpret_cast<HIMAGELIST>(SendMessage(TVM_SETIMAGELIST,
                                                    static_cast<WPARAM>(nImageListType),
                                                    reinterpret_cast<LPARAM>(hImageList)));
}

HIMAGELIST CTreeCtrl::GetImageList(int nImageListType) const {
    return reinterpret_cast<HIMAGELIST>(
        SendMessage(TVM_GETIMAGELIST, static_cast<WPARAM>(nImageListType)));
}
