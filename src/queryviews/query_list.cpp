#include "query_list.h"

#include "dirscope_doc.h"
#include "folder_navigator.h"

void InsertQueryColumns(CListCtrl list, const QueryColumn* pColumns, size_t nCount) {
    if (list.GetColumnCount() != 0)
        return;
    for (size_t c = 0; c < nCount; ++c)
        list.InsertColumn(static_cast<int>(c), pColumns[c].title, pColumns[c].nFormat,
                          pColumns[c].nWidth);
    ::SendMessageA(list.m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE,
                   LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER,
                   LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
}

void SelectOnlyRow(CListCtrl list, int nItem) {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(list.m_hWnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&state));
    if (nItem < 0)
        return;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(list.m_hWnd, LVM_SETITEMSTATE, static_cast<WPARAM>(nItem),
                   reinterpret_cast<LPARAM>(&state));
    ::SendMessageA(list.m_hWnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(nItem), FALSE);
}

void ShowFileInFolder(CDirscopeDoc* pDoc, const std::string& folder, const std::string& path) {
    CFolderNavigator* pNavigator = AfxGetNavigator();
    if (!pNavigator)
        return;
    // The navigator shows the folder (the panes' rows are asked for afresh meanwhile), then
    // the file is selected in every view that shows it.
    pNavigator->OpenFolder(folder);
    ModelEntry entry;
    entry.path = path;
    if (pDoc && pDoc->Folder() == folder)
        pDoc->Select(nullptr, entry);
}
