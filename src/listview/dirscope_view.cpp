#include "dirscope_view.h"

#include <shellapi.h>

#include <string>

#include "date_text.h"
#include "file_operations.h"
#include "folder_navigator.h"
#include "list_columns.h"
#include "frame_wnd.h"
#include "menu.h"
#include "message_pump.h"
#include "output_to_text_file.h"
#include "path_list.h"
#include "path_text.h"
#include "scan_comparison.h"
#include "resource.h"
#include "show_pacer.h"
#include "size_bar_cell.h"
#include "size_text.h"
#include "sort_rules.h"
#include "status_text.h"
#include "system_image_list.h"
#include "window_dpi.h"

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
    ON_COMMAND(ID_OUTPUT_TO_TEXT_FILE, OnOutputToTextFile)
    ON_NOTIFY_REFLECT(NM_DBLCLK, OnDblClick)
    ON_NOTIFY_REFLECT(NM_RCLICK, OnRightClick)
    ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, OnItemChanged)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_WM_KEYUP()
    ON_COMMAND(ID_DELETE, OnDelete)
    ON_COMMAND(ID_PASTE, OnPaste)
    ON_UPDATE_COMMAND_UI(ID_PASTE, OnUpdatePaste)
    ON_UPDATE_COMMAND_UI(ID_DELETE, OnUpdateOnDisk)
    ON_UPDATE_COMMAND_UI(ID_REFRESH, OnUpdateOnDisk)
END_MESSAGE_MAP()

CDirscopeView::~CDirscopeView() = default;

bool CDirscopeView::PreCreateWindow(CREATESTRUCTA& cs) {
    // The image lists are the shell's: the list must never destroy them. A row selected
    // from another view shows while that view has the focus.
    cs.style |= LVS_SHAREIMAGELISTS | LVS_SHOWSELALWAYS;
    return CListView::PreCreateWindow(cs);
}

void CDirscopeView::OnDraw(HDC) {}

void CDirscopeView::OnInitialUpdate() {
    CListView::OnInitialUpdate();
    ModifyStyle(0, LVS_REPORT);
    m_mode = ListMode::Detail;
    // Run again (File New), the list starts afresh: no rows, and the columns of the
    // current layout once.
    GetListCtrl().DeleteAllItems();
    m_rows.Clear();
    SetLayoutColumns(GetListCtrl(), m_bDriveView);
    AttachSystemImageLists();
    SetTimer(kStatusTimer, kStatusTimerPeriod);
}

void CDirscopeView::OnUpdate(CView*, LPARAM lHint, CObject* pHint) {
    switch (static_cast<ModelHint>(lHint)) {
    case ModelHint::Cleared:
        ClearRows();
        break;
    case ModelHint::Shown:
        if (Doc().IsDriveOverview())
            ShowDriveOverview();
        else
            ShowFolderRows();
        break;
    case ModelHint::Totals:
        TakeTotals(pHint, false);
        break;
    case ModelHint::LevelEdited:
        EditRows(pHint);
        break;
    case ModelHint::Finished:
        TakeTotals(pHint, true);
        break;
    case ModelHint::Selection:
        ShowModelSelection();
        break;
    case ModelHint::Comparison:
        ShowComparison();
        // A folder already totalled goes largest growth first at once.
        if (m_bChangeColumn && !Doc().IsScanning() && !Doc().IsFilling()) {
            m_nSortColumn = kChangeColumn;
            SortRows(kChangeColumn, true);
        }
        UpdateStatusText();
        break;
    case ModelHint::ComparisonRead:
        UpdateStatusText();
        break;
    case ModelHint::Measure:
        ShowMeasuredSizes();
        UpdateStatusText();
        break;
    case ModelHint::SnapshotChanging:
    case ModelHint::TypeSelection:
    case ModelHint::ScanOpened:
    case ModelHint::Removed: // the fresh listing that follows tells
        break;
    }
}

// Columns, rows and image lists.

void CDirscopeView::SetDriveLayout(bool bDriveView) {
    if (m_bDriveView == bDriveView)
        return;
    m_bDriveView = bDriveView;
    m_bChangeColumn = false;
    SetLayoutColumns(GetListCtrl(), m_bDriveView);
}

void CDirscopeView::ClearRows() {
    // The document has stopped the scan already: nothing it found reaches the next rows.
    GetListCtrl().DeleteAllItems();
    m_rows.Clear();
    if (Doc().IsDriveOverview()) {
        SetDriveLayout(true);
        return;
    }
    SetDriveLayout(false);
    AttachSystemImageLists();
}

void CDirscopeView::AttachSystemImageLists() {
    // The rows' icons at the size of the window's scale.
    SHFILEINFOA sfi{};
    auto hLarge =
        reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("", 0, &sfi, sizeof(sfi), SHGFI_SYSICONINDEX));
    CListCtrl list = GetListCtrl();
    list.SetImageList(SystemImageListAt(WindowDpi(m_hWnd)), LVSIL_SMALL);
    list.SetImageList(hLarge, LVSIL_NORMAL);
}

void CDirscopeView::AddRow(const FolderEntry& entry, bool bFile, size_t id) {
    // The whole name: szName is empty for a name too long for its field, and an empty
    // name joined to the folder would stand for the folder itself.
    const std::string path = JoinPath(Doc().ListedFolderPath(), entry.strName.c_str());
    const SHFILEINFOA info =
        bFile ? m_fileTypes.FileInfo(path, entry.strName) : m_fileTypes.FolderInfo(path);
    CListCtrl list = GetListCtrl();
    CListRows::Values values;
    values.tModified = entry.tModified;
    const int nItem = m_rows.Insert(list, id, entry.strName.c_str(), info.iIcon, values);
    if (nItem < 0)
        return;
    if (bFile)
        SetSizeCell(nItem, id, MeasuredSize(entry, Doc().Measure()));
    list.SetItemText(nItem, kTypeColumn, info.szTypeName);
    // A time not known (a saved scan without times) is left empty, never shown as 1970.
    if (entry.tModified != 0)
        list.SetItemText(nItem, kDateColumn, FormatDateTime(entry.tModified).c_str());
}

// Filling the rows from the document.

void CDirscopeView::ShowDriveOverview() {
    CListCtrl list = GetListCtrl();
    list.SetImageList(m_drives.SmallImages(), LVSIL_SMALL);
    list.SetImageList(m_drives.LargeImages(), LVSIL_NORMAL);
    for (const CDriveOverview::Drive& drive : Doc().Drives()) {
        CListRows::Values values;
        values.nBytes = drive.nTotal;
        values.nFree = drive.nFree;
        const int nItem =
            m_rows.Insert(list, m_rows.Count(), drive.name.c_str(), drive.nImage, values);
        if (nItem < 0 || !drive.bHaveSpace)
            continue;
        list.SetItemText(nItem, kSizeColumn, FormatSize(drive.nTotal).c_str());
        list.SetItemText(nItem, kFreeSpaceColumn, FormatSize(drive.nFree).c_str());
    }
}

void CDirscopeView::ShowFolderRows() {
    CDirscopeDoc& doc = Doc();
    // The shell's answers per extension are asked afresh for every folder shown.
    m_fileTypes.Clear();
    if (!doc.IsEnumerated()) {
        UpdateStatusText();
        return;
    }
    // Whatever a message handled below does, this fill checks before it goes on: the
    // view may be gone (the token), or a newer show, or anything that emptied the model,
    // may have taken over (the generation). Then it returns without touching the view.
    const std::weak_ptr<int> alive = m_pLifeToken;
    const unsigned nGeneration = doc.ShowGeneration();
    const std::function<bool()> overtaken = [&doc, alive, nGeneration] {
        return alive.expired() || doc.ShowGeneration() != nGeneration;
    };
    ShowPacer& pacer = doc.Pacer();
    const std::vector<FolderEntry>& folders = doc.Subfolders();
    const std::vector<FolderEntry>& files = doc.Files();

    // The control makes room for every row at once; redraw is off while rows go in, and
    // on while messages are handled, so the list paints at each stop and is never left
    // without redraw by a fill that was overtaken. The clock is looked at before every
    // row: the first file of each type waits on the shell, which can take 0.2 s.
    const size_t nFolders = folders.size();
    const size_t nRows = nFolders + files.size();
    SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(nRows));
    SendMessage(WM_SETREDRAW, FALSE);
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
            AddRow(files[i - nFolders], true, i);
            continue;
        }
        AddRow(folders[i], false, i);
        if (folders[i].nSize >= 0)
            ShowTotalsOfRow(i);
    }
    ShowComparison();
    if (doc.HadTotalsBeforeScan()) {
        m_nSortColumn = kSizeColumn;
        SortRows(kSizeColumn, true);
    }
    SendMessage(WM_SETREDRAW, TRUE);
    Invalidate();
    UpdateStatusText();
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
    Doc().Refresh();
}

void CDirscopeView::OnUpdateViewDetail(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(m_mode == ListMode::Detail);
}

void CDirscopeView::OnUpdateViewIcon(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(m_mode != ListMode::Detail);
}

void CDirscopeView::OnOutputToTextFile() {
    if (Doc().IsFilling())
        return; // the report would miss the rows still to come
    // The report lists what the folder holds: entries gone since a compared scan are not in it.
    OutputToTextFile(GetListCtrl(), Doc().ListedFolderPath().c_str(), m_bDriveView, this,
                     [this](int nItem) { return !IsGoneRow(nItem); });
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
    const FolderEntry& entry = Doc().Subfolders()[index];
    SetSizeCell(nRow, index, MeasuredSize(entry, Doc().Measure()));
    list.SetItemText(nRow, kFoldersColumn, std::to_string(entry.nFolders).c_str());
    list.SetItemText(nRow, kFilesColumn, std::to_string(entry.nFiles).c_str());
    if (m_bChangeColumn && index < Doc().Comparison().Shown().folderBytesThen.size())
        SetChangeCell(index, Doc().Comparison().Shown().folderBytesThen[index], entry.nSize);
}

void CDirscopeView::ShowWrittenFile(size_t index) {
    // Files' rows follow the subfolders' in the order they were added.
    const size_t id = Doc().Subfolders().size() + index;
    CListCtrl list = GetListCtrl();
    const int nRow = m_rows.FindRow(list, id);
    if (nRow < 0)
        return;
    const FolderEntry& entry = Doc().Files()[index];
    m_rows.SetModified(id, entry.tModified);
    SetSizeCell(nRow, id, MeasuredSize(entry, Doc().Measure()));
    if (entry.tModified != 0)
        list.SetItemText(nRow, kDateColumn, FormatDateTime(entry.tModified).c_str());
}

void CDirscopeView::SetSizeCell(int nRow, size_t id, int64_t nBytes) {
    m_rows.SetBytes(id, nBytes < 0 ? 0 : nBytes);
    GetListCtrl().SetItemText(nRow, kSizeColumn, nBytes < 0 ? "" : FormatSize(nBytes).c_str());
}

void CDirscopeView::ShowMeasuredSizes() {
    const CDirscopeDoc& doc = Doc();
    if (m_bDriveView || !doc.IsEnumerated())
        return; // drives have one size
    const CListCtrl list = GetListCtrl();
    const SizeMeasure measure = doc.Measure();
    const std::vector<FolderEntry>& folders = doc.Subfolders();
    const std::vector<FolderEntry>& files = doc.Files();
    // Row by row as they stand: a row's number names its entry (subfolders first).
    SendMessage(WM_SETREDRAW, FALSE);
    const int nRows = list.GetItemCount();
    for (int nRow = 0; nRow < nRows; ++nRow) {
        const size_t id = CListRows::IdOf(list, nRow);
        if (id >= folders.size() + files.size())
            continue; // a gone entry's row keeps the older scan's size
        const bool bFile = id >= folders.size();
        const FolderEntry& entry = bFile ? files[id - folders.size()] : folders[id];
        if (bFile || entry.nSize >= 0) // a subfolder not totalled yet stays empty
            SetSizeCell(nRow, id, MeasuredSize(entry, measure));
    }
    // Rows still being added take the measure as they come, and are sorted once all are in.
    if (m_nSortColumn == kSizeColumn && !doc.IsFilling())
        SortRows(kSizeColumn, m_bSortedDescending);
    SendMessage(WM_SETREDRAW, TRUE);
    Invalidate();
}

void CDirscopeView::TakeTotals(const CObject* pHint, bool bFinished) {
    if (const auto* pTotals = dynamic_cast<const CTotalsHint*>(pHint)) {
        for (size_t index : pTotals->rows)
            ShowTotalsOfRow(index);
        for (size_t index : pTotals->files)
            ShowWrittenFile(index);
    }
    if (!bFinished)
        return;
    // Largest first (the largest growth, while comparing); the direction of the header
    // clicks is left alone.
    m_nSortColumn = m_bChangeColumn ? kChangeColumn : kSizeColumn;
    SortRows(m_nSortColumn, true);
    // The size bars need the total, which only now is known.
    Invalidate();
}

void CDirscopeView::EditRows(const CObject* pHint) {
    const auto* pEdit = dynamic_cast<const CLevelHint*>(pHint);
    if (!pEdit || m_bDriveView)
        return;
    const CDirscopeDoc& doc = Doc();
    const std::vector<FolderEntry>& folders = doc.Subfolders();
    const std::vector<FolderEntry>& files = doc.Files();
    // Rows stay where they are, selected or not, with their texts: only what came and went
    // changes. The selection is told once the rows are in their places again. Redraw is
    // off meanwhile: Wine's control would take its scroll bars and rows afresh after every
    // row that comes or goes.
    m_bApplyingSelection = true;
    SendMessage(WM_SETREDRAW, FALSE);
    CListCtrl list = GetListCtrl();
    m_rows.Renumber(list, pEdit->newNumbers, folders.size() + files.size());
    for (size_t id : pEdit->added) {
        if (id < folders.size()) {
            AddRow(folders[id], false, id);
            if (folders[id].nSize >= 0)
                ShowTotalsOfRow(id);
        } else if (id - folders.size() < files.size()) {
            AddRow(files[id - folders.size()], true, id);
        }
    }
    if (m_nSortColumn >= 0)
        SortRows(m_nSortColumn, m_bSortedDescending);
    SendMessage(WM_SETREDRAW, TRUE);
    Invalidate();
    m_bApplyingSelection = false;
    if (SelectedEntry() != doc.Selection())
        Doc().Select(this, SelectedEntry());
    UpdateStatusText();
}

void CDirscopeView::UpdateStatusText() {
    const CDirscopeDoc& doc = Doc();
    std::string text;
    if (doc.IsOpeningScan())
        text = FormatOpeningText(doc.OpeningPath(), doc.OpeningBytesRead(), doc.OpeningFileBytes());
    else
        text = FormatStatusText(doc.FolderCount(), doc.FileCount(), doc.MeasuredTotal(),
                                doc.Measure());
    if (doc.IsSavedScan() && !doc.IsOpeningScan()) {
        text = kSavedScanStatus + text;
    } else {
        // Why the shown folder was walked where its drive's file table is faster.
        const std::string scanNote =
            doc.IsDriveOverview() ? "" : ScanMethodNote(doc.ScanController().Method());
        if (!scanNote.empty())
            text += " (" + scanNote + ")";
        if (!doc.WatchNote().empty())
            text += " (" + doc.WatchNote() + ")";
    }
    if (doc.IsReadingComparison()) {
        text += "    Reading the saved scan: " +
                FormatSize(static_cast<int64_t>(doc.ComparisonBytesRead()));
        if (const uint64_t nTotal = doc.ComparisonFileBytes())
            text += " of " + FormatSize(static_cast<int64_t>(nTotal));
    } else if (doc.IsComparing() && !doc.IsDriveOverview()) {
        // The total now is known once the scan has finished.
        const int64_t nThen = doc.Comparison().Shown().nBytesThen;
        text += doc.IsScanning() || doc.IsFilling()
                    ? "    Compared: " + FormatSize(nThen) + " then, now being totalled"
                    : "    Compared: " + ChangeTotalText(nThen, doc.TotalSize());
    }
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->SetMessageText(text.c_str());
}

void CDirscopeView::OnTimer(UINT_PTR nIDEvent) {
    // Results whose wake-up could not be posted are taken here.
    Doc().TakeScanResults(std::nullopt);
    Doc().TakeDiskChanges();
    UpdateStatusText();
    // Only the list control's own timers go on to it: a list control stops a timer it
    // does not know, and the status line would never show the total after that.
    if (nIDEvent != kStatusTimer)
        Default();
}

void CDirscopeView::OnDestroy() {
    // A show still filling the rows gives up: they are going.
    if (CDirscopeDoc* pDoc = GetDocument())
        pDoc->AbandonFill();
    CListView::OnDestroy();
}

// Sorting.

void CDirscopeView::SortRows(int nColumn, bool bDescending) {
    m_bSortedDescending = bDescending;
    m_rows.Sort(GetListCtrl(), nColumn, m_bDriveView, bDescending);
    ShowSortArrow(GetListCtrl(), nColumn, bDescending);
}

void CDirscopeView::OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    if (Doc().IsFilling())
        return; // the rows still being added would land unsorted below the sorted ones
    const int nColumn = reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iSubItem;
    m_bSortDescending = NextSortDescending(nColumn, m_nSortColumn, m_bSortDescending);
    m_nSortColumn = nColumn;
    SortRows(nColumn, m_bSortDescending);
}

// Activation, the context menus, delete and paste.

std::vector<std::string> CDirscopeView::SelectedNames() const {
    // A gone entry's row names nothing on the disk: it is never acted on.
    std::vector<std::string> names;
    CListCtrl list = GetListCtrl();
    for (int nItem = list.GetNextItem(-1, LVNI_SELECTED); nItem >= 0;
         nItem = list.GetNextItem(nItem, LVNI_SELECTED))
        if (!IsGoneRow(nItem))
            names.push_back(list.GetItemText(nItem, kNameColumn));
    return names;
}

bool CDirscopeView::IsGoneRow(int nItem) const {
    const CListRows::Values* pValues = m_rows.ValuesOf(CListRows::IdOf(GetListCtrl(), nItem));
    return pValues && pValues->bGone;
}

void CDirscopeView::OnDblClick(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    OpenRow(reinterpret_cast<NMITEMACTIVATE*>(pNMHDR)->iItem);
}

void CDirscopeView::OpenRow(int nItem) {
    CFolderNavigator* pNavigator = AfxGetNavigator();
    if (nItem < 0 || !pNavigator)
        return;
    const std::string name = GetListCtrl().GetItemText(nItem, kNameColumn);
    const std::string& folder = Doc().Folder();

    // Folders and drives open through the navigator: the tree selects them, the history
    // records the visit.
    if (folder.empty()) {
        pNavigator->OpenDrive(name);
        return;
    }
    const std::string path = JoinPath(folder, name.c_str());
    // A saved scan's folders open within it; its files are not on this computer's disk.
    if (Doc().IsSavedScan()) {
        if (CListRows::IdOf(GetListCtrl(), nItem) < Doc().Subfolders().size())
            pNavigator->OpenFolder(path);
        return;
    }
    // The disk decides between folder and file, not the row; a vanished entry does nothing.
    const DWORD dwAttributes = ::GetFileAttributesA(path.c_str());
    if (dwAttributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        pNavigator->OpenFolder(path);
        return;
    }
    ::ShellExecuteA(nullptr, "open", path.c_str(), nullptr, WorkingFolderOf(folder).c_str(),
                    SW_SHOW);
}

void CDirscopeView::OnRightClick(NMHDR* pNMHDR, LRESULT* pResult) {
    // The drive overview has no context menu, and a list being filled none yet.
    if (m_bDriveView || Doc().IsFilling())
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
    if (Doc().IsSavedScan())
        return; // the shell's menu acts on the disk
    std::vector<std::string> paths;
    for (const std::string& name : SelectedNames())
        paths.push_back(Doc().ListedFolderPath() + "\\" + name);
    if (!paths.empty())
        m_shellMenu.Track(this, paths, pt);
}

LRESULT CDirscopeView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // While the shell's menu is open, the messages it draws with are its own.
    LRESULT lResult = 0;
    if (m_shellMenu.Forward(message, wParam, lParam, &lResult))
        return lResult;
    // Shown at another scale: the rows' icons at its size (the drives keep their own).
    if (message == WM_DPICHANGED_AFTERPARENT && !m_bDriveView)
        AttachSystemImageLists();
    return CListView::WindowProc(message, wParam, lParam);
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
    CDirscopeDoc& doc = Doc();
    if (m_bDriveView || doc.IsFilling() || doc.IsSavedScan() ||
        GetListCtrl().GetSelectedCount() == 0)
        return;
    const std::vector<std::string> names = SelectedNames();
    if (names.empty())
        return;
    const std::string folder = doc.ListedFolderPath();
    if (!DeleteEntries(m_hWnd, folder, names))
        return;
    doc.EntriesRemoved(DeleteSources(folder, names));
}

int CDirscopeView::ReadClipboardFiles() {
    return ::ReadClipboardFiles(m_hWnd, m_arrPasteFiles);
}

bool CDirscopeView::ClipboardHasFiles() const {
    return ::ClipboardHasFiles(m_hWnd);
}

void CDirscopeView::OnPaste() {
    CDirscopeDoc& doc = Doc();
    if (doc.IsFilling() || doc.IsSavedScan())
        return; // nothing goes into a folder whose rows are still being added, nor a saved one
    const int nEffect = ReadClipboardFiles();
    if (m_arrPasteFiles.empty() || m_bDriveView)
        return;
    const std::string folder = doc.ListedFolderPath();
    if (!PasteFiles(m_hWnd, folder, m_arrPasteFiles, nEffect))
        return;
    const PastePlan plan = PlanPaste(folder, m_arrPasteFiles);
    doc.EntriesPasted(plan.destinations, nEffect == 2 ? plan.sources : std::vector<std::string>());
}

void CDirscopeView::OnUpdatePaste(CCmdUI* pCmdUI) {
    pCmdUI->Enable(!Doc().IsSavedScan() && ClipboardHasFiles());
}

void CDirscopeView::OnUpdateOnDisk(CCmdUI* pCmdUI) {
    pCmdUI->Enable(!Doc().IsSavedScan());
}

// --- The rows by the entries they show, the selection, the size bars

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
        if (id != SIZE_MAX && id >= folders.size() && id < ListedRowCount() &&
            list.GetItemText(nItem, kNameColumn) == name)
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
        if (!m_bDriveView &&
            (m_bChangeColumn || (m_mode == ListMode::Detail && Doc().MeasuredTotal() > 0)))
            *pResult = CDRF_NOTIFYITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT: {
        // A gone entry's row is grey.
        const CListRows::Values* pValues =
            m_rows.ValuesOf(static_cast<size_t>(pDraw->nmcd.lItemlParam));
        if (pValues && pValues->bGone)
            pDraw->clrText = ::GetSysColor(COLOR_GRAYTEXT);
        *pResult = m_mode == ListMode::Detail && Doc().MeasuredTotal() > 0 ? CDRF_NOTIFYSUBITEMDRAW
                                                                           : CDRF_NEWFONT;
        break;
    }
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        if (pDraw->iSubItem == kSizeColumn && Doc().MeasuredTotal() > 0) {
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
                    Doc().MeasuredTotal());
}

// The comparison with a saved scan.

void CDirscopeView::ShowComparison() {
    const CDirscopeDoc& doc = Doc();
    CListCtrl list = GetListCtrl();
    m_rows.Truncate(list, ListedRowCount());
    const bool bShow = !m_bDriveView && doc.IsComparing();
    if (bShow != m_bChangeColumn) {
        ShowChangeColumn(list, bShow);
        m_bChangeColumn = bShow;
    }
    if (!bShow || !doc.IsEnumerated())
        return;
    const LevelChanges& changes = doc.Comparison().Shown();
    const std::vector<FolderEntry>& folders = doc.Subfolders();
    const std::vector<FolderEntry>& files = doc.Files();
    for (size_t i = 0; i < folders.size() && i < changes.folderBytesThen.size(); ++i)
        SetChangeCell(i, changes.folderBytesThen[i], folders[i].nSize);
    for (size_t i = 0; i < files.size() && i < changes.fileBytesThen.size(); ++i)
        SetChangeCell(folders.size() + i, changes.fileBytesThen[i], files[i].nSize);
    for (const GoneEntry& gone : changes.gone)
        AddGoneRow(gone);
}

void CDirscopeView::SetChangeCell(size_t id, int64_t nBytesThen, int64_t nBytesNow) {
    const int nRow = m_rows.FindRow(GetListCtrl(), id);
    if (nRow < 0)
        return;
    // A subfolder not totalled yet has no change to show; a new entry grew by all it holds.
    if (nBytesNow < 0) {
        m_rows.SetChange(id, 0);
        GetListCtrl().SetItemText(nRow, kChangeColumn, "");
        return;
    }
    m_rows.SetChange(id, nBytesThen < 0 ? nBytesNow : nBytesNow - nBytesThen);
    GetListCtrl().SetItemText(nRow, kChangeColumn, ChangeText(nBytesThen, nBytesNow).c_str());
}

void CDirscopeView::AddGoneRow(const GoneEntry& entry) {
    const std::string path = JoinPath(Doc().ListedFolderPath(), entry.name.c_str());
    const SHFILEINFOA info =
        entry.bFolder ? m_fileTypes.FolderInfo(path) : m_fileTypes.FileInfo(path, entry.name);
    CListRows::Values values;
    values.nBytes = entry.nBytes;
    values.nChange = -entry.nBytes;
    values.bGone = true;
    CListCtrl list = GetListCtrl();
    const int nItem = m_rows.Insert(list, m_rows.Count(), entry.name.c_str(), info.iIcon, values);
    if (nItem < 0)
        return;
    list.SetItemText(nItem, kSizeColumn, FormatSize(entry.nBytes).c_str());
    list.SetItemText(nItem, kTypeColumn, info.szTypeName);
    list.SetItemText(nItem, kChangeColumn, "gone");
}
