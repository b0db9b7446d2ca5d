// CDirscopeView, continued: the rows by the entries they show (found, selected, the
// model's selection), and the size bars of the Size column.
#include "dirscope_view.h"

#include "list_columns.h"
#include "path_text.h"
#include "size_bar_cell.h"

int CDirscopeView::FindEntryRow(const std::string& name, bool bFolder) const {
    CListCtrl list = GetListCtrl();
    const std::vector<FolderEntry>& folders = Doc().Subfolders();
    if (bFolder) {
        for (size_t i = 0; i < folders.size(); ++i)
            if (folders[i].strName == name)
                return m_rows.FindRow(list, i);
        return -1;
    }
    // Files are numbered after the subfolders.
    const int nCount = list.GetItemCount();
    for (int nItem = 0; nItem < nCount; ++nItem) {
        const size_t id = CListRows::IdOf(list, nItem);
        if (id != SIZE_MAX && id >= folders.size() && list.GetItemText(nItem, kNameColumn) == name)
            return nItem;
    }
    return -1;
}

void CDirscopeView::SelectRow(int nItem) {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(m_hWnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&state)); // every row deselected
    if (nItem < 0)
        return;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(m_hWnd, LVM_SETITEMSTATE, static_cast<WPARAM>(nItem),
                   reinterpret_cast<LPARAM>(&state));
    ::SendMessageA(m_hWnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(nItem), FALSE);
}

bool CDirscopeView::FirstSelectedEntry(std::string& name, bool& bFolder) const {
    CListCtrl list = GetListCtrl();
    const int nItem = list.GetNextItem(-1, LVNI_SELECTED);
    if (nItem < 0)
        return false;
    name = list.GetItemText(nItem, kNameColumn);
    bFolder = !m_bDriveView && CListRows::IdOf(list, nItem) < Doc().Subfolders().size();
    return true;
}

void CDirscopeView::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    const auto* pChange = reinterpret_cast<const NMLISTVIEW*>(pNMHDR);
    if ((pChange->uChanged & LVIF_STATE) &&
        ((pChange->uOldState ^ pChange->uNewState) & LVIS_SELECTED))
        if (!m_bApplyingSelection)
            Doc().Select(this, SelectedEntry());
}

ModelEntry CDirscopeView::SelectedEntry() const {
    ModelEntry entry;
    std::string name;
    if (!FirstSelectedEntry(name, entry.bFolder))
        return entry;
    if (m_bDriveView) {
        entry.path = name;
        entry.bFolder = true; // a drive is the folder at its root
        return entry;
    }
    entry.path = JoinPath(Doc().ListedFolderPath(), name.c_str());
    return entry;
}

void CDirscopeView::ShowModelSelection() {
    const ModelEntry& entry = Doc().Selection();
    if (entry == SelectedEntry())
        return;
    int nRow = -1;
    if (!entry.IsNone()) {
        // Only an entry of the folder shown (or a drive of the overview) has a row here.
        const size_t slash = entry.path.find_last_of('\\');
        const std::string name =
            slash == std::string::npos ? entry.path : entry.path.substr(slash + 1);
        if (m_bDriveView)
            nRow = FindEntryRow(entry.path, false);
        else if (JoinPath(Doc().ListedFolderPath(), name.c_str()) == entry.path)
            nRow = FindEntryRow(name, entry.bFolder);
    }
    m_bApplyingSelection = true;
    SelectRow(nRow);
    m_bApplyingSelection = false;
}

// The size bars: in the Detail mode of a folder whose total is known, each row's Size cell
// shows its share of that total as a bar behind the text.
void CDirscopeView::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult) {
    auto* pDraw = reinterpret_cast<NMLVCUSTOMDRAW*>(pNMHDR);
    *pResult = CDRF_DODEFAULT;
    switch (pDraw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        if (!m_bDriveView && m_mode == ListMode::Detail && Doc().TotalSize() > 0)
            *pResult = CDRF_NOTIFYITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT:
        *pResult = CDRF_NOTIFYSUBITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        if (pDraw->iSubItem == kSizeColumn && Doc().TotalSize() > 0) {
            DrawSizeCell(*pDraw);
            *pResult = CDRF_SKIPDEFAULT;
        }
        break;
    default:
        break;
    }
}

void CDirscopeView::DrawSizeCell(const NMLVCUSTOMDRAW& draw) const {
    const CListRows::Values* pValues = m_rows.ValuesOf(
        draw.nmcd.lItemlParam >= 0 ? static_cast<size_t>(draw.nmcd.lItemlParam) : SIZE_MAX);
    DrawSizeBarCell(GetListCtrl(), draw, kSizeColumn, pValues ? pValues->nBytes : 0,
                    Doc().TotalSize());
}
