#include "dirscope_view.h"

#include <string>

#include "background_listing.h"
#include "date_text.h"
#include "drive_rules.h"
#include "file_operations.h"
#include "folder_scan.h"
#include "main_frame.h"
#include "output_to_text_file.h"
#include "path_list.h"
#include "path_text.h"
#include "menu.h"
#include "message_pump.h"
#include "resource.h"
#include "shell_item_menu.h"
#include "size_text.h"
#include "sort_rules.h"
#include "status_bar.h"
#include "status_text.h"
#include "tree_ctrl.h"
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
    ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_SCAN_RESULTS, OnScanResults)
    ON_COMMAND(ID_OUTPUT_TO_TEXT_FILE, OnOutputToTextFile)
    ON_NOTIFY_REFLECT(NM_DBLCLK, OnDblClick)
    ON_NOTIFY_REFLECT(NM_RCLICK, OnRightClick)
    ON_WM_KEYUP()
    ON_COMMAND(ID_DELETE, OnDelete)
    ON_COMMAND(ID_PASTE, OnPaste)
    ON_UPDATE_COMMAND_UI(ID_PASTE, OnUpdatePaste)
    ON_MESSAGE(WM_INITMENUPOPUP, OnMenuInitPopup)
    ON_MESSAGE(WM_DRAWITEM, OnMenuDrawItem)
    ON_MESSAGE(WM_MEASUREITEM, OnMenuMeasureItem)
    ON_MESSAGE(WM_MENUCHAR, OnMenuChar)
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
    m_bScanning = false;
    if (CWnd* pMainWnd = AfxGetMainWnd())
        pMainWnd->SetWindowText(AfxLoadString(IDS_PRODUCT_NAME) + " " + AfxLoadString(IDS_VERSION));
    SetTimer(kStatusTimer, kStatusTimerPeriod);
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
    // Stop the scan before touching the rows: nothing it found may reach the next list.
    // A show still filling them (from beneath a message handled meanwhile) gives up.
    StopScan();
    AbandonFill();
    GetListCtrl().DeleteAllItems();
    m_folderEntries.clear();
    m_rowTimes.clear();
    m_rowBytes.clear();
}

int CDirscopeView::InsertRow(const char* pszName, int nImage) {
    // The item parameter numbers the rows in the order they were added, for good: the
    // values a sort compares are kept by it. A row that could not be added still uses
    // up its number, so the n-th subfolder's row is always item n.
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = GetListCtrl().GetItemCount();
    item.pszText = const_cast<char*>(pszName);
    item.iImage = nImage;
    item.lParam = static_cast<LPARAM>(m_rowTimes.size());
    m_rowTimes.push_back(0);
    m_rowBytes.push_back({0, 0});
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

size_t CDirscopeView::RowId(int nItem) const {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    if (!SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return SIZE_MAX;
    return static_cast<size_t>(item.lParam);
}

CDirscopeView::~CDirscopeView() {
    // The list shares its image lists and destroys none; these are the view's own.
    if (m_hDriveImagesSmall)
        ImageList_Destroy(m_hDriveImagesSmall);
    if (m_hDriveImagesLarge)
        ImageList_Destroy(m_hDriveImagesLarge);
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

namespace {

// A list of the three drive icons 141, 140 and 142, in that order, at the size of the
// shell's list `hLike`.
HIMAGELIST MakeDriveImageList(HIMAGELIST hLike, int cxDefault, int cyDefault) {
    int cx = cxDefault;
    int cy = cyDefault;
    if (!hLike || !ImageList_GetIconSize(hLike, &cx, &cy)) {
        cx = cxDefault;
        cy = cyDefault;
    }
    HIMAGELIST hList = ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 3, 0);
    if (!hList)
        return nullptr;
    const int icons[3] = {IDI_DRIVE_REMOVABLE, IDI_DRIVE_FIXED, IDI_DRIVE_CDROM};
    for (int nIcon : icons)
        ImageList_ReplaceIcon(hList, -1,
                              ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIcon)));
    return hList;
}

} // namespace

void CDirscopeView::AttachDriveImageLists() {
    // The drive icons live in lists of the view's own: the shell keeps more image lists
    // than the two it hands out and adds every icon to all of them at one index, so an
    // icon appended to its lists would put all later icons out of step.
    if (!m_hDriveImagesSmall) {
        SHFILEINFOA sfi{};
        auto hSmall = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoA("", 0, &sfi, sizeof(sfi), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
        auto hLarge = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoA("", 0, &sfi, sizeof(sfi), SHGFI_SYSICONINDEX));
        m_hDriveImagesSmall = MakeDriveImageList(hSmall, ::GetSystemMetrics(SM_CXSMICON),
                                                 ::GetSystemMetrics(SM_CYSMICON));
        m_hDriveImagesLarge = MakeDriveImageList(hLarge, ::GetSystemMetrics(SM_CXICON),
                                                 ::GetSystemMetrics(SM_CYICON));
    }
    CListCtrl list = GetListCtrl();
    list.SetImageList(m_hDriveImagesSmall, LVSIL_SMALL);
    list.SetImageList(m_hDriveImagesLarge, LVSIL_NORMAL);
}

void CDirscopeView::AddRow(const FolderEntry& entry, bool bFile) {
    // The whole name: szName is empty for a name too long for its field, and an empty
    // name joined to the folder would stand for the folder itself.
    const std::string path = JoinPath(m_szFolderPath, entry.strName.c_str());
    m_sfi = bFile ? m_fileTypes.FileInfo(path, entry.strName) : CShellFileTypes::FolderInfo(path);
    CListCtrl list = GetListCtrl();
    const int nItem = InsertRow(entry.strName.c_str(), m_sfi.iIcon);
    if (nItem < 0)
        return;
    m_rowTimes.back() = entry.tModified;
    if (bFile) {
        m_rowBytes.back()[0] = entry.nSize;
        list.SetItemText(nItem, 1, FormatSize(entry.nSize).c_str());
    }
    list.SetItemText(nItem, 2, m_sfi.szTypeName);
    list.SetItemText(nItem, 3, FormatDateTime(entry.tModified).c_str());
}

bool CDirscopeView::ListFolderPumping(ShowPacer& pacer, const std::function<bool()>& overtaken,
                                      FolderListing& listing) {
    const std::shared_ptr<BackgroundListing> pJob = BackgroundListing::Start(m_szFolderPath);
    if (!pJob) {
        listing = ListFolder(m_szFolderPath); // no thread: on this one, as it always was
        return true;
    }
    // A quick listing is simply waited for: small folders handle no messages at all.
    if (::WaitForSingleObject(pJob->DoneEvent(), pacer.MsBeforePumping(::GetTickCount())) ==
        WAIT_TIMEOUT) {
        const PumpResult result = AfxWaitPumpingMessages(pJob->DoneEvent(), overtaken);
        if (overtaken())
            return false; // the listing is let go; its thread frees it
        if (result == PumpResult::Quit)
            pacer.Stop();
        pacer.Pumped(::GetTickCount());
    }
    listing = pJob->Take();
    return true;
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
        // The counts, the total and the last folder's path stay as they are.
        ShowDriveOverview();
        return;
    }

    if (m_bDriveView) {
        m_bDriveView = FALSE;
        DeleteAllColumns();
        InsertColumns();
    }
    AttachSystemImageLists();
    m_nTotalSize = 0;
    m_nFolderCount = 0;
    m_nFileCount = 0;
    m_nFileBytes = 0;
    // A path too long for the field is refused: the list stays empty, as for a folder
    // that cannot be read, and no cut path ever names another folder.
    if (!CopyToField(m_szFolderPath, sizeof(m_szFolderPath), folder))
        return;

    // The shell's answers per extension are asked afresh for every folder shown.
    m_fileTypes.Clear();
    m_bFilling = true;
    // Whatever a message handled below does, this show checks before it goes on: the
    // view may be gone (the token), or a newer show, or anything that cleared the rows,
    // may have taken over (the generation). Then it returns without touching the view.
    const std::weak_ptr<int> alive = m_pLifeToken;
    const unsigned nGeneration = m_nShowGeneration;
    const std::function<bool()> overtaken = [this, alive, nGeneration] {
        return alive.expired() || m_nShowGeneration != nGeneration;
    };
    ShowPacer pacer(::GetTickCount(), m_nPumpAfterMs);
    FolderListing listing;
    if (!ListFolderPumping(pacer, overtaken, listing))
        return;
    if (!listing.bEnumerated) {
        m_bFilling = false;
        return;
    }
    m_folderEntries = std::move(listing.folders);
    m_nFolderCount = static_cast<int>(m_folderEntries.size());
    m_nFileCount = static_cast<int>(listing.files.size());
    for (const FolderEntry& entry : listing.files)
        m_nFileBytes += entry.nSize;

    // The control makes room for every row at once; redraw is off while rows go in, and
    // on while messages are handled, so the list paints at each stop and is never left
    // without redraw by a show that was overtaken. The clock is looked at before every
    // row: the first file of each type waits on the shell, which can take 0.2 s.
    SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(m_nFolderCount + m_nFileCount));
    SendMessage(WM_SETREDRAW, FALSE);
    const size_t nFolders = m_folderEntries.size();
    const size_t nRows = nFolders + listing.files.size();
    for (size_t i = 0; i < nRows; ++i) {
        if (pacer.PumpDue(::GetTickCount())) {
            SendMessage(WM_SETREDRAW, TRUE);
            const PumpResult result = AfxPumpWaitingMessages(overtaken);
            if (overtaken())
                return;
            if (result == PumpResult::Quit)
                pacer.Stop();
            SendMessage(WM_SETREDRAW, FALSE);
        }
        if (i < nFolders)
            AddRow(m_folderEntries[i], false);
        else
            AddRow(listing.files[i - nFolders], true);
    }
    SendMessage(WM_SETREDRAW, TRUE);
    Invalidate();
    m_bFilling = false;

    StartScan();
    UpdateStatusText();
}

void CDirscopeView::AbandonFill() {
    ++m_nShowGeneration;
    m_bFilling = false;
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

void CDirscopeView::OnOutputToTextFile() {
    if (m_bFilling)
        return; // the report would miss the rows still to come
    OutputToTextFile(GetListCtrl(), m_szFolderPath, m_bDriveView != FALSE, this);
}

// The background scan.

void CDirscopeView::StartScan() {
    std::vector<std::string> paths;
    paths.reserve(m_folderEntries.size());
    for (const FolderEntry& entry : m_folderEntries)
        paths.push_back(JoinPath(m_szFolderPath, entry.strName.c_str()));

    // Each scan reports into an inbox of its own under a generation of its own: whatever
    // an earlier scan left in the queue is recognised and dropped.
    const unsigned nGeneration = ++m_nScanGeneration;
    const HWND hWnd = m_hWnd;
    // Never waits for this thread: the results are posted, not sent.
    auto pInbox = std::make_shared<ScanInbox>([hWnd, nGeneration] {
        return ::PostMessageA(hWnd, WM_SCAN_RESULTS, nGeneration, 0) != FALSE;
    });
    m_pScanInbox = pInbox;
    auto onRow = [pInbox](size_t index, const FolderTotals& totals) {
        pInbox->AddRow(index, totals);
    };
    auto onFinished = [pInbox](int64_t nBytes) { pInbox->Finish(nBytes); };
    m_bScanning = true;
    if (!m_scan.Start(std::move(paths), onRow, onFinished)) {
        // No thread: the subfolder rows keep their empty cells, the status line its counts.
        m_bScanning = false;
        m_pScanInbox.reset();
    }
}

void CDirscopeView::StopScan() {
    // The scan posts and never waits for this thread, so joining it here cannot block;
    // the walk checks the stop flag between entries, so this takes milliseconds.
    m_scan.Stop();
    m_pScanInbox.reset();
    ++m_nScanGeneration;
    m_bScanning = false;
}

LRESULT CDirscopeView::OnScanResults(WPARAM wParam, LPARAM) {
    if (static_cast<unsigned>(wParam) != m_nScanGeneration || !m_pScanInbox)
        return 0; // from a scan that was stopped
    const ScanInbox::Contents taken = m_pScanInbox->Take();
    for (const auto& row : taken.rows)
        ApplyTotals(row.first, row.second);
    if (taken.bFinished) {
        SortByColumn(1, TRUE);
        RecomputeTotalSize(taken.nSubfolderBytes);
        m_scan.Stop(); // it has handed out everything: this only joins its thread
        m_pScanInbox.reset();
        m_bScanning = false;
    }
    return 0;
}

void CDirscopeView::ApplyTotals(size_t index, const FolderTotals& totals) {
    if (index >= m_folderEntries.size())
        return;
    FolderEntry& entry = m_folderEntries[index];
    entry.nSize = totals.nSize;
    entry.nFolders = totals.nFolders;
    entry.nFiles = totals.nFiles;
    const std::string size = FormatSize(totals.nSize);
    const std::string folders = std::to_string(totals.nFolders);
    const std::string files = std::to_string(totals.nFiles);

    // The totals go to the entry's own row, found by its item parameter (the entry's
    // index: subfolder rows are added first, in this order), never by name: "Dup" and
    // "dup", or a folder "data" beside a file "DATA", are different entries. The row
    // is looked for where it was added first, so a list nobody sorted costs one message.
    const int nRow = FindRowOfItem(static_cast<LPARAM>(index));
    if (nRow < 0)
        return;
    if (index < m_rowBytes.size())
        m_rowBytes[index][0] = totals.nSize;
    CListCtrl list = GetListCtrl();
    list.SetItemText(nRow, 1, size.c_str());
    list.SetItemText(nRow, 4, folders.c_str());
    list.SetItemText(nRow, 5, files.c_str());
}

int CDirscopeView::FindRowOfItem(LPARAM lParam) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = static_cast<int>(lParam);
    if (SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) && item.lParam == lParam)
        return item.iItem;
    LVFINDINFOA find{};
    find.flags = LVFI_PARAM;
    find.lParam = lParam;
    return static_cast<int>(
        SendMessage(LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

void CDirscopeView::RecomputeTotalSize(int64_t nSubfolderBytes) {
    // The exact bytes of every row, published in one step on this thread.
    m_nTotalSize = m_nFileBytes + nSubfolderBytes;
}

void CDirscopeView::UpdateStatusText() {
    CWnd* pMainWnd = AfxGetMainWnd();
    if (!pMainWnd || !pMainWnd->m_hWnd)
        return;
    const std::string text = FormatStatusText(m_nFolderCount, m_nFileCount, m_nTotalSize);
    HWND hBar = pMainWnd->GetDescendantWindow(AFX_IDW_STATUS_BAR);
    if (auto* pBar = dynamic_cast<CStatusBar*>(CWnd::FromHandlePermanent(hBar)))
        pBar->SetPaneText(0, text.c_str(), true);
    else if (hBar)
        ::SendMessageA(hBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void CDirscopeView::OnTimer(UINT_PTR nIDEvent) {
    // Results whose wake-up could not be posted are taken here.
    if (m_pScanInbox)
        OnScanResults(m_nScanGeneration, 0);
    UpdateStatusText();
    // Only the list control's own timers go on to it: a list control stops a timer it
    // does not know, and the status line would never show the total after that.
    if (nIDEvent != kStatusTimer)
        Default();
}

void CDirscopeView::OnDestroy() {
    // The scan goes before the rows and entries it reports into; a show still filling
    // them gives up.
    StopScan();
    AbandonFill();
    CListView::OnDestroy();
}

// Sorting.

namespace {

struct SortParams {
    SortKind kind;
    bool bDescending;
    const std::vector<SortValue>* pValues; // by item parameter
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

void CDirscopeView::SortRows(int nColumn, bool bDescending) {
    // The values are taken before the sort starts: the list cannot be read while it
    // moves its rows.
    CListCtrl list = GetListCtrl();
    const SortKind kind = SortKindOfColumn(nColumn, m_bDriveView != FALSE);
    std::vector<SortValue> values(m_rowTimes.size(), SortValue{std::string(), 0});
    const int nCount = list.GetItemCount();
    for (int i = 0; i < nCount; ++i) {
        const size_t id = RowId(i);
        if (id >= values.size())
            continue;
        if (kind == SortKind::Time)
            values[id].number = m_rowTimes[id];
        else if (kind == SortKind::Size) // Size, or the drive overview's Free Space
            values[id].number = m_rowBytes[id][nColumn == 2 ? 1 : 0];
        else
            values[id] = CaptureSortValue(kind, list.GetItemText(i, nColumn));
        values[id].nPosition = i;
    }
    SortParams params{kind, bDescending, &values};
    SendMessage(LVM_SORTITEMS, reinterpret_cast<WPARAM>(&params),
                reinterpret_cast<LPARAM>(&CompareItems));
}

void CDirscopeView::SortByColumn(int nColumn, BOOL bDescending) {
    m_nSortColumn = nColumn;
    SortRows(nColumn, bDescending != FALSE);
}

void CDirscopeView::OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    if (m_bFilling)
        return; // the rows still being added would land unsorted below the sorted ones
    const int nColumn = reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iSubItem;
    const bool bDescending =
        NextSortDescending(nColumn, m_nSortColumn, m_bSortDescending != FALSE);
    m_bSortDescending = bDescending ? TRUE : FALSE;
    m_nSortColumn = nColumn;
    SortRows(nColumn, bDescending);
}

// The drive overview.

int CDirscopeView::ListLogicalDrives(std::vector<std::string>& drives) {
    drives = DriveNamesFromMask(::GetLogicalDrives());
    return static_cast<int>(drives.size());
}

void CDirscopeView::ShowDriveOverview() {
    std::vector<std::string> drives;
    ListLogicalDrives(drives);
    ClearRows();

    CListCtrl list = GetListCtrl();
    AttachDriveImageLists();
    for (const std::string& name : drives) {
        const std::string root = DriveRootPath(name);
        const int nResource = DriveIconResource(::GetDriveTypeA(root.c_str()));
        const int nImage = nResource == IDI_DRIVE_REMOVABLE ? kRemovableImage
                           : nResource == IDI_DRIVE_CDROM   ? kCdromImage
                                                            : kFixedImage;
        const int nItem = InsertRow(name.c_str(), nImage);
        if (nItem < 0 || !ShouldQueryDriveSpace(name))
            continue;
        ULARGE_INTEGER available{};
        ULARGE_INTEGER total{};
        ULARGE_INTEGER free{};
        if (::GetDiskFreeSpaceExA(root.c_str(), &available, &total, &free)) {
            m_rowBytes.back() = {static_cast<int64_t>(total.QuadPart),
                                 static_cast<int64_t>(free.QuadPart)};
            list.SetItemText(nItem, 1, FormatSize(static_cast<int64_t>(total.QuadPart)).c_str());
            list.SetItemText(nItem, 2, FormatSize(static_cast<int64_t>(free.QuadPart)).c_str());
        }
    }
}

// Activation, the context menus, delete and paste.

std::vector<std::string> CDirscopeView::SelectedNames() const {
    std::vector<std::string> names;
    CListCtrl list = GetListCtrl();
    for (int nItem = list.GetNextItem(-1, LVNI_SELECTED); nItem >= 0;
         nItem = list.GetNextItem(nItem, LVNI_SELECTED))
        names.push_back(list.GetItemText(nItem, 0));
    return names;
}

HTREEITEM CDirscopeView::FindComputerItem(CTreeCtrl* pTree) {
    // The node whose children are the drives: a child text with a colon after its
    // first character, as in "Local Disk (C:)". Nodes looked into in vain are closed again.
    const HTREEITEM hRoot = pTree->GetRootItem();
    if (!hRoot)
        return nullptr;
    pTree->Expand(hRoot, TVE_EXPAND);
    for (HTREEITEM hNode = pTree->GetChildItem(hRoot); hNode;
         hNode = pTree->GetNextSiblingItem(hNode)) {
        pTree->Expand(hNode, TVE_EXPAND);
        for (HTREEITEM hChild = pTree->GetChildItem(hNode); hChild;
             hChild = pTree->GetNextSiblingItem(hChild)) {
            const size_t nColon = pTree->GetItemText(hChild).find(':');
            if (nColon != std::string::npos && nColon > 0)
                return hNode;
        }
        pTree->Expand(hNode, TVE_COLLAPSE);
    }
    return nullptr;
}

void CDirscopeView::OnDblClick(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    const int nItem = reinterpret_cast<NMITEMACTIVATE*>(pNMHDR)->iItem;
    auto* pFrame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    if (nItem < 0 || !pFrame)
        return;
    const std::string name = GetListCtrl().GetItemText(nItem, 0);
    const std::string folder = pFrame->m_strCurrentFolder;
    CTreeCtrl* pTree = pFrame->m_pFolderTree;
    const bool bHaveTree = pTree && pTree->m_hWnd;

    // Folders and drives open through the tree: its selection shows them and records
    // the visit.
    if (folder.empty()) {
        const HTREEITEM hComputer = bHaveTree ? FindComputerItem(pTree) : nullptr;
        if (!hComputer)
            return;
        pTree->Expand(hComputer, TVE_EXPAND);
        for (HTREEITEM hDrive = pTree->GetChildItem(hComputer); hDrive;
             hDrive = pTree->GetNextSiblingItem(hDrive)) {
            if (pTree->GetItemText(hDrive).find(name) != std::string::npos) {
                pTree->SelectItem(hDrive);
                return;
            }
        }
        return;
    }

    // The disk decides between folder and file, not the row; a vanished entry does nothing.
    const std::string path = folder + "\\" + name;
    const DWORD dwAttributes = ::GetFileAttributesA(path.c_str());
    if (dwAttributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        const HTREEITEM hSelected = bHaveTree ? pTree->GetSelectedItem() : nullptr;
        if (!hSelected)
            return;
        pTree->Expand(hSelected, TVE_EXPAND);
        if (const HTREEITEM hChild = pTree->FindChildItem(hSelected, name))
            pTree->SelectItem(hChild);
        return;
    }
    ::ShellExecuteA(nullptr, "open", path.c_str(), nullptr, WorkingFolderOf(folder).c_str(),
                    SW_SHOW);
}

void CDirscopeView::OnRightClick(NMHDR* pNMHDR, LRESULT* pResult) {
    // The drive overview has no context menu, and a list being filled none yet.
    if (m_bDriveView || m_bFilling)
        return;
    *pResult = 0;
    POINT pt = reinterpret_cast<NMITEMACTIVATE*>(pNMHDR)->ptAction;
    ::ClientToScreen(m_hWnd, &pt);
    if (GetListCtrl().GetNextItem(-1, LVNI_SELECTED) < 0) {
        CMenu menu;
        if (!menu.LoadMenu(IDR_LIST_MENU))
            return;
        // The menu's commands go to the main frame, which routes them to this view.
        HWND hOwner = m_hWnd;
        while (::GetWindowLongA(hOwner, GWL_STYLE) & WS_CHILD) {
            HWND hParent = ::GetParent(hOwner);
            if (!hParent)
                break;
            hOwner = hParent;
        }
        ::TrackPopupMenu(menu.GetSubMenu(0), TPM_RIGHTBUTTON, pt.x, pt.y, 0, hOwner, nullptr);
        return;
    }
    std::vector<std::string> paths;
    for (const std::string& name : SelectedNames())
        paths.push_back(std::string(m_szFolderPath) + "\\" + name);
    CShellItemMenu shellMenu;
    shellMenu.SetPaths(paths);
    CShellItemMenu* pOuterMenu = m_pOpenMenu;
    m_pOpenMenu = &shellMenu;
    shellMenu.TrackMenu(this, pt.x, pt.y);
    m_pOpenMenu = pOuterMenu;
}

LRESULT CDirscopeView::ForwardToOpenMenu(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT lResult = 0;
    if (m_pOpenMenu && m_pOpenMenu->HandleOwnerMessage(message, wParam, lParam, &lResult))
        return lResult;
    return Default();
}

LRESULT CDirscopeView::OnMenuInitPopup(WPARAM wParam, LPARAM lParam) {
    return ForwardToOpenMenu(WM_INITMENUPOPUP, wParam, lParam);
}

LRESULT CDirscopeView::OnMenuDrawItem(WPARAM wParam, LPARAM lParam) {
    return ForwardToOpenMenu(WM_DRAWITEM, wParam, lParam);
}

LRESULT CDirscopeView::OnMenuMeasureItem(WPARAM wParam, LPARAM lParam) {
    return ForwardToOpenMenu(WM_MEASUREITEM, wParam, lParam);
}

LRESULT CDirscopeView::OnMenuChar(WPARAM wParam, LPARAM lParam) {
    return ForwardToOpenMenu(WM_MENUCHAR, wParam, lParam);
}

void CDirscopeView::OnKeyUp(UINT nChar, UINT, UINT) {
    // Only the release acts, so holding the key down repeats nothing.
    if (nChar == VK_DELETE)
        OnDelete();
    Default();
}

void CDirscopeView::OnDelete() {
    // The drive overview names drives, not files: there is nothing to delete there. Nor
    // is anything deleted from a list still being filled.
    if (m_bDriveView || m_bFilling || GetListCtrl().GetSelectedCount() == 0)
        return;
    if (DeleteEntries(m_hWnd, m_szFolderPath, SelectedNames()))
        ShowFolder();
}

int CDirscopeView::ReadClipboardFiles() {
    return ::ReadClipboardFiles(m_hWnd, m_arrPasteFiles);
}

BOOL CDirscopeView::ClipboardHasFiles() {
    return ::ClipboardHasFiles(m_hWnd);
}

void CDirscopeView::OnPaste() {
    if (m_bFilling)
        return; // nothing goes into a folder whose rows are still being added
    const int nEffect = ReadClipboardFiles();
    if (m_arrPasteFiles.empty() || m_bDriveView)
        return;
    if (PasteFiles(m_hWnd, m_szFolderPath, m_arrPasteFiles, nEffect))
        ShowFolder();
}

void CDirscopeView::OnUpdatePaste(CCmdUI* pCmdUI) {
    pCmdUI->Enable(ClipboardHasFiles() != FALSE);
}
