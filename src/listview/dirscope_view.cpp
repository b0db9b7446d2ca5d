#include "dirscope_view.h"

#include <string>

#include "date_text.h"
#include "folder_scan.h"
#include "main_frame.h"
#include "path_text.h"
#include "resource.h"
#include "size_text.h"
#include "win_app.h"

const CDirscopeView::ColumnSpec CDirscopeView::kFolderColumns[6] = {
    {"Name", LVCFMT_LEFT, 200}, {"Size", LVCFMT_RIGHT, 80},    {"Type", LVCFMT_LEFT, 100},
    {"Date", LVCFMT_LEFT, 120}, {"Folders", LVCFMT_RIGHT, 80}, {"Files", LVCFMT_RIGHT, 80},
};

const CDirscopeView::ColumnSpec CDirscopeView::kDriveColumns[3] = {
    {"Name", LVCFMT_LEFT, 100},
    {"Size", LVCFMT_RIGHT, 100},
    {"Free Space", LVCFMT_RIGHT, 100},
};

IMPLEMENT_DYNCREATE(CDirscopeView, CListView)

BEGIN_MESSAGE_MAP(CDirscopeView, CListView)
    ON_COMMAND(ID_VIEWTYPE, OnViewType)
    ON_COMMAND(ID_REFRESH, OnRefresh)
    ON_COMMAND(ID_VIEW_ICON, OnViewIcon)
    ON_COMMAND(ID_VIEW_DETAIL, OnViewDetail)
    ON_UPDATE_COMMAND_UI(ID_VIEW_DETAIL, OnUpdateViewDetail)
    ON_UPDATE_COMMAND_UI(ID_VIEW_ICON, OnUpdateViewIcon)
END_MESSAGE_MAP()

bool CDirscopeView::PreCreateWindow(CREATESTRUCTA& cs) {
    // The image lists are the shell's: the list must never destroy them.
    cs.style |= LVS_SHAREIMAGELISTS;
    return CListView::PreCreateWindow(cs);
}

void CDirscopeView::OnDraw(HDC) {}

void CDirscopeView::OnInitialUpdate() {
    CListView::OnInitialUpdate();
    ModifyStyle(0, LVS_REPORT);
    m_nViewType = 1;
    // Run again (File New), the list starts afresh: no rows, and the columns of the
    // current mode once.
    ClearRows();
    DeleteAllColumns();
    InsertColumns();
    AttachSystemImageLists();
    if (CWnd* pMainWnd = AfxGetMainWnd())
        pMainWnd->SetWindowText(AfxLoadString(IDS_PRODUCT_NAME) + " " + AfxLoadString(IDS_VERSION));
}

void CDirscopeView::InsertColumns() {
    CListCtrl list = GetListCtrl();
    const ColumnSpec* columns = m_bDriveView ? kDriveColumns : kFolderColumns;
    const int nCount = m_bDriveView ? 3 : 6;
    for (int i = 0; i < nCount; ++i)
        list.InsertColumn(i, columns[i].pszHeading, columns[i].nFormat, columns[i].nWidth);
}

void CDirscopeView::DeleteAllColumns() {
    CListCtrl list = GetListCtrl();
    const int nCount = list.GetColumnCount();
    for (int i = 0; i < nCount; ++i)
        list.DeleteColumn(0);
}

void CDirscopeView::ClearRows() {
    // The background scan that fills the rows must stop before this point once it
    // exists: it reads m_folderEntries and writes rows.
    GetListCtrl().DeleteAllItems();
    m_folderEntries.clear();
}

void CDirscopeView::AttachSystemImageLists() {
    SHFILEINFOA sfi{};
    auto hSmall = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("", 0, &sfi, sizeof(sfi), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    auto hLarge =
        reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("", 0, &sfi, sizeof(sfi), SHGFI_SYSICONINDEX));
    CListCtrl list = GetListCtrl();
    list.SetImageList(hSmall, LVSIL_SMALL);
    list.SetImageList(hLarge, LVSIL_NORMAL);
}

void CDirscopeView::GetShellFileInfo(const char* path) {
    if (!SHGetFileInfoA(path, 0, &m_sfi, sizeof(m_sfi),
                        SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_TYPENAME))
        m_sfi = SHFILEINFOA{};
}

void CDirscopeView::AddRow(const FolderEntry& entry, bool bFile) {
    if (entry.szPath[0]) {
        GetShellFileInfo(entry.szPath);
    } else {
        // A path too long for its field: the shell names the type from the name alone.
        if (!SHGetFileInfoA(entry.szName, bFile ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_DIRECTORY,
                            &m_sfi, sizeof(m_sfi),
                            SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_TYPENAME |
                                SHGFI_USEFILEATTRIBUTES))
            m_sfi = SHFILEINFOA{};
    }
    CListCtrl list = GetListCtrl();
    const int nItem = list.InsertItem(list.GetItemCount(), entry.szName, m_sfi.iIcon);
    if (nItem < 0)
        return;
    if (bFile)
        list.SetItemText(nItem, 1, FormatSize(entry.nSize).c_str());
    list.SetItemText(nItem, 2, m_sfi.szTypeName);
    list.SetItemText(nItem, 3, FormatDateTime(entry.tModified).c_str());
}

void CDirscopeView::ShowFolder() {
    ClearRows();

    auto* pFrame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    const std::string folder = pFrame ? pFrame->m_strCurrentFolder : std::string();

    if (folder.empty()) {
        if (!m_bDriveView) {
            m_bDriveView = TRUE;
            DeleteAllColumns();
            InsertColumns();
        }
        // The drive rows are added here once the drive overview exists. The counts, the
        // total and the last folder's path stay as they are.
        return;
    }

    if (m_bDriveView) {
        m_bDriveView = FALSE;
        DeleteAllColumns();
        InsertColumns();
    }
    m_nTotalSize = 0;
    m_nFolderCount = 0;
    m_nFileCount = 0;
    // A path too long for the field is refused: the list stays empty, as for a folder
    // that cannot be read, and no cut path ever names another folder.
    if (!CopyToField(m_szFolderPath, sizeof(m_szFolderPath), folder))
        return;

    FolderListing listing = ListFolder(m_szFolderPath);
    if (!listing.bEnumerated)
        return;
    m_folderEntries = std::move(listing.folders);
    m_nFolderCount = static_cast<int>(m_folderEntries.size());
    m_nFileCount = static_cast<int>(listing.files.size());

    SendMessage(WM_SETREDRAW, FALSE);
    for (const FolderEntry& entry : m_folderEntries)
        AddRow(entry, false);
    for (const FolderEntry& entry : listing.files)
        AddRow(entry, true);
    SendMessage(WM_SETREDRAW, TRUE);
    Invalidate();
    // The totals of the subfolders and the status line follow from the background scan.
}

void CDirscopeView::OnViewIcon() {
    if (m_nViewType == 0)
        return;
    m_nViewType = 0;
    ModifyStyle(LVS_REPORT, 0);
}

void CDirscopeView::OnViewDetail() {
    if (m_nViewType == 1)
        return;
    m_nViewType = 1;
    ModifyStyle(0, LVS_REPORT);
}

void CDirscopeView::OnViewType() {
    if (m_nViewType == 1)
        OnViewIcon();
    else if (m_nViewType == 0)
        OnViewDetail();
}

void CDirscopeView::OnRefresh() {
    ShowFolder();
}

void CDirscopeView::OnUpdateViewDetail(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(m_nViewType == 1);
}

void CDirscopeView::OnUpdateViewIcon(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(m_nViewType != 1);
}
