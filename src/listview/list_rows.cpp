#include "list_rows.h"

#include <string>

#include "list_columns.h"
#include "sort_rules.h"

int CListRows::Insert(const CListCtrl& list, size_t id, const char* pszName, int nImage,
                      const Values& values) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = list.GetItemCount();
    item.pszText = const_cast<char*>(pszName);
    item.iImage = nImage;
    item.lParam = static_cast<LPARAM>(id);
    if (id >= m_values.size())
        m_values.resize(id + 1);
    m_values[id] = values;
    return static_cast<int>(
        ::SendMessageA(list.m_hWnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void CListRows::SetBytes(size_t id, int64_t nBytes) {
    if (id < m_values.size())
        m_values[id].nBytes = nBytes;
}

void CListRows::SetModified(size_t id, int64_t tModified) {
    if (id < m_values.size())
        m_values[id].tModified = tModified;
}

void CListRows::SetChange(size_t id, int64_t nChange) {
    if (id < m_values.size())
        m_values[id].nChange = nChange;
}

void CListRows::Truncate(const CListCtrl& list, size_t count) {
    if (count >= m_values.size())
        return;
    for (int nItem = list.GetItemCount() - 1; nItem >= 0; --nItem)
        if (IdOf(list, nItem) >= count)
            ::SendMessageA(list.m_hWnd, LVM_DELETEITEM, static_cast<WPARAM>(nItem), 0);
    m_values.resize(count);
}

void CListRows::Renumber(const CListCtrl& list, const std::vector<size_t>& newIds, size_t count) {
    std::vector<Values> values(count);
    for (int nItem = list.GetItemCount() - 1; nItem >= 0; --nItem) {
        const size_t id = IdOf(list, nItem);
        const size_t newId = id < newIds.size() && id < m_values.size() ? newIds[id] : SIZE_MAX;
        if (newId >= count) {
            ::SendMessageA(list.m_hWnd, LVM_DELETEITEM, static_cast<WPARAM>(nItem), 0);
            continue;
        }
        values[newId] = m_values[id];
        if (newId == id)
            continue;
        LVITEMA item{};
        item.mask = LVIF_PARAM;
        item.iItem = nItem;
        item.lParam = static_cast<LPARAM>(newId);
        ::SendMessageA(list.m_hWnd, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    m_values = std::move(values);
}

size_t CListRows::IdOf(const CListCtrl& list, int nItem) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    if (!::SendMessageA(list.m_hWnd, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return SIZE_MAX;
    return static_cast<size_t>(item.lParam);
}

int CListRows::FindRow(const CListCtrl& list, size_t id) const {
    const auto lParam = static_cast<LPARAM>(id);
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = static_cast<int>(lParam);
    if (::SendMessageA(list.m_hWnd, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) &&
        item.lParam == lParam)
        return item.iItem;
    LVFINDINFOA find{};
    find.flags = LVFI_PARAM;
    find.lParam = lParam;
    return static_cast<int>(::SendMessageA(list.m_hWnd, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(&find)));
}

namespace {

struct SortParams {
    SortKind kind;
    bool bDescending;
    const std::vector<SortValue>* pValues; // by row number
};

int CALLBACK CompareItems(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort) {
    const auto& params = *reinterpret_cast<const SortParams*>(lParamSort);
    const auto& values = *params.pValues;
    const size_t a = static_cast<size_t>(lParam1);
    const size_t b = static_cast<size_t>(lParam2);
    if (a >= values.size() || b >= values.size())
        return 0;
    return CompareSortRows(params.kind, values[a], values[b], params.bDescending);
}

} // namespace

void CListRows::Sort(const CListCtrl& list, int nColumn, bool bDriveView, bool bDescending) const {
    // The values are taken before the sort starts: the list cannot be read while it
    // moves its rows.
    const SortKind kind = SortKindOfColumn(nColumn, bDriveView);
    std::vector<SortValue> values(m_values.size(), SortValue{std::string(), 0});
    const int nCount = list.GetItemCount();
    for (int i = 0; i < nCount; ++i) {
        const size_t id = IdOf(list, i);
        if (id >= values.size())
            continue;
        if (kind == SortKind::Time)
            values[id].number = m_values[id].tModified;
        else if (kind == SortKind::Size) // Size, or the drive overview's Free Space
            values[id].number = bDriveView && nColumn == kFreeSpaceColumn ? m_values[id].nFree
                                : !bDriveView && nColumn == kChangeColumn ? m_values[id].nChange
                                                                          : m_values[id].nBytes;
        else
            values[id] = CaptureSortValue(kind, list.GetItemText(i, nColumn));
        values[id].nPosition = i;
    }
    SortParams params{kind, bDescending, &values};
    ::SendMessageA(list.m_hWnd, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&params),
                   reinterpret_cast<LPARAM>(&CompareItems));
}
