#include "dirscope_view.h"

#include <shellapi.h>

#include <string>

#include "background_listing.h"
#include "date_text.h"
#include "file_operations.h"
#include "folder_list_host.h"
#include "folder_scan.h"
#include "list_columns.h"
#include "frame_wnd.h"
#include "menu.h"
#include "message_pump.h"
#include "output_to_text_file.h"
#include "path_list.h"
#include "path_text.h"
#include "resource.h"
#include "shell_item_menu.h"
#include "size_text.h"
#include "sort_rules.h"
#include "status_text.h"

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
    ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, OnItemChanged)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_WM_KEYUP()
    ON_COMMAND(ID_DELETE, OnDelete)
    ON_COMMAND(ID_PASTE, OnPaste)
    ON_UPDATE_COMMAND_UI(ID_PASTE, OnUpdatePaste)
    ON_MESSAGE(WM_INITMENUPOPUP, OnMenuInitPopup)
    ON_MESSAGE(WM_DRAWITEM, OnMenuDrawItem)
    ON_MESSAGE(WM_MEASUREITEM, OnMenuMeasureItem)
    ON_MESSAGE(WM_MENUCHAR, OnMenuChar)
END_MESSAGE_MAP()

CDirscopeView::~CDirscopeView() = default;

CFolderListHost* CDirscopeView::Host() const {
    return dynamic_cast<CFolderListHost*>(GetParentFrame());
}

void CDirscopeView::Tell(CFolderListHost::ListEvent event) {
    if (CFolderListHost* pHost = Host())
        pHost->OnListEvent(*this, event);
}

bool CDirscopeView::PreCreateWindow(CREATESTRUCTA& cs) {
    // The image lists are the shell's: the list must never destroy them.
    cs.style |= LVS_SHAREIMAGELISTS;
    return CListView::PreCreateWindow(cs);
}

void CDirscopeView::OnDraw(HDC) {}

void CDirscopeView::OnInitialUpdate() {
    CListView::OnInitialUpdate();
    ModifyStyle(0, LVS_REPORT);
    m_mode = ListMode::Detail;
    // Run again (File New), the list starts afresh: no rows, and the columns of the
    // current layout once.
    ClearRows();
    SetLayoutColumns(GetListCtrl(), m_bDriveView);
    AttachSystemImageLists();
    SetTimer(kStatusTimer, kStatusTimerPeriod);
}

// Columns, rows and image lists.

void CDirscopeView::SetDriveLayout(bool bDriveView) {
    if (m_bDriveView == bDriveView)
        return;
    m_bDriveView = bDriveView;
    SetLayoutColumns(GetListCtrl(), m_bDriveView);
}

void CDirscopeView::ClearRows() {
    // Stop the scan before touching the rows: nothing it found may reach the next list.
    // A show still filling them (from beneath a message handled meanwhile) gives up.
    m_scan.Clear();
    AbandonFill();
    GetListCtrl().DeleteAllItems();
    m_rows.Clear();
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

void CDirscopeView::AddRow(const FolderEntry& entry, bool bFile) {
    // The whole name: szName is empty for a name too long for its field, and an empty
    // name joined to the folder would stand for the folder itself.
    const std::string path = JoinPath(m_strListedPath, entry.strName.c_str());
    const SHFILEINFOA info =
        bFile ? m_fileTypes.FileInfo(path, entry.strName) : m_fileTypes.FolderInfo(path);
    CListCtrl list = GetListCtrl();
    CListRows::Values values;
    values.tModified = entry.tModified;
    if (bFile)
        values.nBytes = entry.nSize;
    const int nItem = m_rows.Insert(list, entry.strName.c_str(), info.iIcon, values);
    if (nItem < 0)
        return;
    if (bFile)
        list.SetItemText(nItem, kSizeColumn, FormatSize(entry.nSize).c_str());
    list.SetItemText(nItem, kTypeColumn, info.szTypeName);
    list.SetItemText(nItem, kDateColumn, FormatDateTime(entry.tModified).c_str());
}

// Showing a folder.

void CDirscopeView::ShowFolder(const std::string& folder) {
    m_strFolder = folder;
    ClearRows();
    Tell(CFolderListHost::ListEvent::Cleared);
    if (folder.empty()) {
        SetDriveLayout(true);
        // The counts, the total and the last folder's path stay as they are.
        ShowDriveOverview();
        Tell(CFolderListHost::ListEvent::Shown);
        return;
    }
    SetDriveLayout(false);
    AttachSystemImageLists();
    const std::weak_ptr<int> alive = m_pLifeToken;
    const unsigned nGeneration = m_nShowGeneration;
    ShowFolderRows(folder);
    // Only when this show was not overtaken (nor the view gone) while it handled messages.
    if (!alive.expired() && m_nShowGeneration == nGeneration)
        Tell(CFolderListHost::ListEvent::Shown);
}

void CDirscopeView::ShowDriveOverview() {
    m_driveList = CDriveOverview::ListDrives();
    const std::vector<CDriveOverview::Drive>& drives = m_driveList;
    CListCtrl list = GetListCtrl();
    list.SetImageList(m_drives.SmallImages(), LVSIL_SMALL);
    list.SetImageList(m_drives.LargeImages(), LVSIL_NORMAL);
    for (const CDriveOverview::Drive& drive : drives) {
        CListRows::Values values;
        values.nBytes = drive.nTotal;
        values.nFree = drive.nFree;
        const int nItem = m_rows.Insert(list, drive.name.c_str(), drive.nImage, values);
        if (nItem < 0 || !drive.bHaveSpace)
            continue;
        list.SetItemText(nItem, kSizeColumn, FormatSize(drive.nTotal).c_str());
        list.SetItemText(nItem, kFreeSpaceColumn, FormatSize(drive.nFree).c_str());
    }
}

bool CDirscopeView::ListFolderPumping(ShowPacer& pacer, const std::function<bool()>& overtaken,
                                      FolderListing& listing) {
    const std::shared_ptr<BackgroundListing> pJob = BackgroundListing::Start(m_strListedPath);
    if (!pJob) {
        listing = ListFolder(m_strListedPath.c_str()); // no thread: on this one
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

void CDirscopeView::ShowFolderRows(const std::string& folder) {
    m_scan.BeginFolder();
    m_nFolderCount = 0;
    m_nFileCount = 0;
    // A path too long for the platform's path field is refused: the list stays empty, as
    // for a folder that cannot be read, and no cut path ever names another folder.
    if (folder.size() >= static_cast<size_t>(kMaxPathField)) {
        m_strListedPath.clear();
        return;
    }
    m_strListedPath = folder;

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
    m_nFolderCount = static_cast<int>(listing.folders.size());
    m_nFileCount = static_cast<int>(listing.files.size());
    m_scan.SetListing(m_strListedPath, std::move(listing.folders), listing.files);
    // What an earlier scan walked beneath this folder fills the subfolders' cells as their
    // rows go in, before the list paints them; this folder's own scan overwrites them.
    const bool bKnown = m_scan.FillFromSnapshot() > 0;
    const std::vector<FolderEntry>& folders = m_scan.Subfolders();

    // The control makes room for every row at once; redraw is off while rows go in, and
    // on while messages are handled, so the list paints at each stop and is never left
    // without redraw by a show that was overtaken. The clock is looked at before every
    // row: the first file of each type waits on the shell, which can take 0.2 s.
    SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(m_nFolderCount + m_nFileCount));
    SendMessage(WM_SETREDRAW, FALSE);
    const size_t nFolders = folders.size();
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
        if (i >= nFolders) {
            AddRow(listing.files[i - nFolders], true);
            continue;
        }
        AddRow(folders[i], false);
        if (folders[i].nSize >= 0)
            ShowTotalsOfRow(i);
    }
    if (bKnown) {
        m_nSortColumn = kSizeColumn;
        SortRows(kSizeColumn, true);
    }
    SendMessage(WM_SETREDRAW, TRUE);
    Invalidate();
    m_bFilling = false;

    const HWND hWnd = m_hWnd;
    // Never waits for this thread: the results are posted, not sent.
    m_scan.Start([hWnd](unsigned nScan) {
        return ::PostMessageA(hWnd, WM_SCAN_RESULTS, nScan, 0) != FALSE;
    });
    UpdateStatusText();
}

void CDirscopeView::AbandonFill() {
    ++m_nShowGeneration;
    m_bFilling = false;
}

// The commands.

// After a change of view type the control leaves what the other type drew (rows under the
// icons, icons over the rows) until something else repaints it: the whole list, header
// included, is drawn again at once.
void CDirscopeView::RedrawWhole() {
    ::RedrawWindow(m_hWnd, nullptr, nullptr,
                   RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

void CDirscopeView::OnViewIcon() {
    if (m_mode == ListMode::Icon)
        return;
    m_mode = ListMode::Icon;
    ModifyStyle(LVS_REPORT, 0);
    RedrawWhole();
}

void CDirscopeView::OnViewDetail() {
    if (m_mode == ListMode::Detail)
        return;
    m_mode = ListMode::Detail;
    ModifyStyle(0, LVS_REPORT);
    RedrawWhole();
}

void CDirscopeView::OnViewType() {
    if (m_mode == ListMode::Detail)
        OnViewIcon();
    else
        OnViewDetail();
}

void CDirscopeView::OnRefresh() {
    ShowFolder(m_strFolder);
}

void CDirscopeView::OnUpdateViewDetail(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(m_mode == ListMode::Detail);
}

void CDirscopeView::OnUpdateViewIcon(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(m_mode != ListMode::Detail);
}

void CDirscopeView::OnOutputToTextFile() {
    if (m_bFilling)
        return; // the report would miss the rows still to come
    OutputToTextFile(GetListCtrl(), m_strListedPath.c_str(), m_bDriveView, this);
}

// The background scan and the status line.

void CDirscopeView::ShowTotalsOfRow(size_t index) {
    // The totals go to the subfolder's own row, found by its number (subfolder rows are
    // added first, in this order), never by name: "Dup" and "dup", or a folder "data"
    // beside a file "DATA", are different entries.
    CListCtrl list = GetListCtrl();
    const int nRow = m_rows.FindRow(list, index);
    if (nRow < 0)
        return;
    const FolderEntry& entry = m_scan.Subfolders()[index];
    m_rows.SetBytes(index, entry.nSize);
    list.SetItemText(nRow, kSizeColumn, FormatSize(entry.nSize).c_str());
    list.SetItemText(nRow, kFoldersColumn, std::to_string(entry.nFolders).c_str());
    list.SetItemText(nRow, kFilesColumn, std::to_string(entry.nFiles).c_str());
}

void CDirscopeView::TakeScanResults(std::optional<unsigned> generation) {
    bool bTotals = false;
    const auto onRow = [this, &bTotals](size_t index) {
        ShowTotalsOfRow(index);
        bTotals = true;
    };
    const bool bFinished =
        generation ? m_scan.TakeResults(*generation, onRow) : m_scan.TakeWaitingResults(onRow);
    if (bFinished) {
        // Largest first; the direction of the header clicks is left alone.
        m_nSortColumn = kSizeColumn;
        SortRows(kSizeColumn, true);
        // The size bars need the total, which only now is known.
        Invalidate();
        Tell(CFolderListHost::ListEvent::Finished);
    } else if (bTotals) {
        Tell(CFolderListHost::ListEvent::Totals);
    }
}

LRESULT CDirscopeView::OnScanResults(WPARAM wParam, LPARAM) {
    TakeScanResults(static_cast<unsigned>(wParam));
    return 0;
}

void CDirscopeView::UpdateStatusText() {
    if (CFolderListHost* pHost = Host())
        pHost->ShowStatusText(FormatStatusText(m_nFolderCount, m_nFileCount, TotalSize()));
}

void CDirscopeView::OnTimer(UINT_PTR nIDEvent) {
    // Results whose wake-up could not be posted are taken here.
    TakeScanResults(std::nullopt);
    UpdateStatusText();
    // Only the list control's own timers go on to it: a list control stops a timer it
    // does not know, and the status line would never show the total after that.
    if (nIDEvent != kStatusTimer)
        Default();
}

void CDirscopeView::OnDestroy() {
    // The scan goes before the rows and entries it reports into; a show still filling
    // them gives up.
    m_scan.Stop();
    AbandonFill();
    Tell(CFolderListHost::ListEvent::Gone);
    CListView::OnDestroy();
}

// Sorting.

void CDirscopeView::SortRows(int nColumn, bool bDescending) {
    m_rows.Sort(GetListCtrl(), nColumn, m_bDriveView, bDescending);
    ShowSortArrow(GetListCtrl(), nColumn, bDescending);
}

void CDirscopeView::OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    if (m_bFilling)
        return; // the rows still being added would land unsorted below the sorted ones
    const int nColumn = reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iSubItem;
    m_bSortDescending = NextSortDescending(nColumn, m_nSortColumn, m_bSortDescending);
    m_nSortColumn = nColumn;
    SortRows(nColumn, m_bSortDescending);
}

// Activation, the context menus, delete and paste.

std::vector<std::string> CDirscopeView::SelectedNames() const {
    std::vector<std::string> names;
    CListCtrl list = GetListCtrl();
    for (int nItem = list.GetNextItem(-1, LVNI_SELECTED); nItem >= 0;
         nItem = list.GetNextItem(nItem, LVNI_SELECTED))
        names.push_back(list.GetItemText(nItem, kNameColumn));
    return names;
}

void CDirscopeView::OnDblClick(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    OpenRow(reinterpret_cast<NMITEMACTIVATE*>(pNMHDR)->iItem);
}

void CDirscopeView::OpenRow(int nItem) {
    CFolderListHost* pHost = Host();
    if (nItem < 0 || !pHost)
        return;
    const std::string name = GetListCtrl().GetItemText(nItem, kNameColumn);

    // Folders and drives open through the tree: its selection shows them and records
    // the visit.
    if (m_strFolder.empty()) {
        pHost->OpenDrive(name);
        return;
    }
    // The disk decides between folder and file, not the row; a vanished entry does nothing.
    const std::string path = m_strFolder + "\\" + name;
    const DWORD dwAttributes = ::GetFileAttributesA(path.c_str());
    if (dwAttributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        pHost->OpenSubfolder(name);
        return;
    }
    ::ShellExecuteA(nullptr, "open", path.c_str(), nullptr, WorkingFolderOf(m_strFolder).c_str(),
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
        const HWND hOwner = ::GetAncestor(m_hWnd, GA_ROOT);
        ::TrackPopupMenu(menu.GetSubMenu(0), TPM_RIGHTBUTTON, pt.x, pt.y, 0, hOwner, nullptr);
        return;
    }
    std::vector<std::string> paths;
    for (const std::string& name : SelectedNames())
        paths.push_back(m_strListedPath + "\\" + name);
    TrackShellMenu(paths, pt);
}

void CDirscopeView::TrackShellMenu(const std::vector<std::string>& paths, POINT ptScreen) {
    CShellItemMenu shellMenu;
    shellMenu.SetPaths(paths);
    CShellItemMenu* pOuterMenu = m_pOpenMenu;
    m_pOpenMenu = &shellMenu;
    shellMenu.TrackMenu(this, ptScreen.x, ptScreen.y);
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
    const std::vector<std::string> names = SelectedNames();
    if (!DeleteEntries(m_hWnd, m_strListedPath, names))
        return;
    m_scan.EntriesRemoved(DeleteSources(m_strListedPath, names));
    ShowFolder(m_strFolder);
}

int CDirscopeView::ReadClipboardFiles() {
    return ::ReadClipboardFiles(m_hWnd, m_arrPasteFiles);
}

bool CDirscopeView::ClipboardHasFiles() const {
    return ::ClipboardHasFiles(m_hWnd);
}

void CDirscopeView::OnPaste() {
    if (m_bFilling)
        return; // nothing goes into a folder whose rows are still being added
    const int nEffect = ReadClipboardFiles();
    if (m_arrPasteFiles.empty() || m_bDriveView)
        return;
    if (!PasteFiles(m_hWnd, m_strListedPath, m_arrPasteFiles, nEffect))
        return;
    const PastePlan plan = PlanPaste(m_strListedPath, m_arrPasteFiles);
    m_scan.EntriesPasted(m_strListedPath, plan.destinations,
                         nEffect == 2 ? plan.sources : std::vector<std::string>());
    ShowFolder(m_strFolder);
}

void CDirscopeView::OnUpdatePaste(CCmdUI* pCmdUI) {
    pCmdUI->Enable(ClipboardHasFiles());
}
