#include "duplicates_view.h"

#include <shellapi.h>

#include <unordered_map>
#include <utility>

#include "date_text.h"
#include "file_operations.h"
#include "path_list.h"
#include "query_list.h"
#include "size_text.h"

namespace {

constexpr QueryColumn kColumns[] = {
    {"Group", LVCFMT_RIGHT, 50}, {"Name", LVCFMT_LEFT, 160},   {"Size", LVCFMT_RIGHT, 70},
    {"Date", LVCFMT_LEFT, 110},  {"Folder", LVCFMT_LEFT, 200},
};
constexpr UINT kStripID = 1;
// Every other group lies on this band, so the groups read apart.
constexpr COLORREF kBandColour = RGB(234, 241, 250);

constexpr char kCollecting[] = "Collecting the files that share a size...";
constexpr char kWaiting[] = "Waiting for the folder's scan to finish...";
constexpr char kStopped[] = "Stopped.";
constexpr char kNothingKnown[] = "The folder is not scanned: show it and find again.";

// The folder holding the file at `path`.
std::string FolderOf(const std::string& path) {
    const size_t nSlash = path.find_last_of("\\/");
    return nSlash == std::string::npos ? std::string() : path.substr(0, nSlash);
}

std::string NameOf(const std::string& path) {
    const size_t nSlash = path.find_last_of("\\/");
    return nSlash == std::string::npos ? path : path.substr(nSlash + 1);
}

// The file is no longer on the disk (deleted here or elsewhere).
bool IsGone(const std::string& path) {
    if (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD nError = ::GetLastError();
    return nError == ERROR_FILE_NOT_FOUND || nError == ERROR_PATH_NOT_FOUND;
}

std::string CountText(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "3 groups, 7 files, 2.4 MB wasted", and what the search left out.
std::string FoundText(const FoundDuplicates& found) {
    std::string text = found.GroupCount() == 0 && !found.IsStopped()
                           ? std::string("No duplicates")
                           : CountText(found.GroupCount(), "group", "groups") + ", " +
                                 CountText(found.RowCount(), "file", "files") + ", " +
                                 FormatSize(found.TotalWaste()) + " wasted";
    if (found.IsStopped())
        text += " so far (stopped)";
    if (!found.Unreadable().empty())
        text += "; " + CountText(found.Unreadable().size(), "file", "files") + " could not be read";
    return text;
}

} // namespace

IMPLEMENT_DYNCREATE(CDuplicatesView, CListView)

BEGIN_MESSAGE_MAP(CDuplicatesView, CListView)
    ON_WM_DESTROY()
    ON_WM_KEYUP()
    ON_MESSAGE(WM_DUPLICATES_READY, OnDuplicatesReady)
    ON_NOTIFY_REFLECT(LVN_GETDISPINFOA, OnGetDispInfo)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_NOTIFY_REFLECT(NM_DBLCLK, OnDblClick)
    ON_NOTIFY_REFLECT(NM_RETURN, OnReturn)
    ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, OnItemChanged)
END_MESSAGE_MAP()

CDuplicatesView::CDuplicatesView()
    : m_worker([this] {
          // Posted, never sent: the workers never wait for this thread.
          if (const HWND hWnd = m_hWndReady.load())
              ::PostMessageA(hWnd, WM_DUPLICATES_READY, 0, 0);
      }) {}

CDuplicatesView::~CDuplicatesView() = default;

bool CDuplicatesView::PreCreateWindow(CREATESTRUCTA& cs) {
    // Rows are the found files' places; their cells are asked for as they are drawn.
    cs.style |= LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS;
    return CListView::PreCreateWindow(cs);
}

void CDuplicatesView::OnInitialUpdate() {
    // The list control is subclassed once made, so it never sees its own WM_CREATE.
    m_hWndReady = m_hWnd;
    if (!m_strip.m_hWnd) {
        CFrameWnd* pFrame = GetParentFrame();
        DuplicatesStripEvents events;
        events.onFind = [this] { Find(); };
        events.onStop = [this] { StopSearch(); };
        events.onTick = [this] { ShowProgress(); };
        if (pFrame && m_strip.Create(pFrame, std::move(events), kStripID))
            pFrame->RecalcLayout();
    }
    CListView::OnInitialUpdate();
    InsertQueryColumns(GetListCtrl(), kColumns);
    m_strip.EnableFind(CanFind());
}

void CDuplicatesView::OnDestroy() {
    m_hWndReady = nullptr;
    m_worker.Stop();
    if (m_strip.m_hWnd)
        m_strip.DestroyWindow();
    CListView::OnDestroy();
}

void CDuplicatesView::OnUpdate(CView*, LPARAM lHint, CObject* pHint) {
    switch (static_cast<ModelHint>(lHint)) {
    case ModelHint::Removed:
        // Deleted or moved away from any pane: no copy any more where it was found.
        if (const auto* pRemoved = dynamic_cast<const CRemovedHint*>(pHint))
            if (m_found.Remove(pRemoved->paths)) {
                SetRows();
                if (IsIdle())
                    ShowFound();
            }
        break;
    case ModelHint::SnapshotChanging:
        // A search still collecting lets go; it is asked again once the snapshot holds the
        // folder. Reading needs nothing of the snapshot.
        if (m_worker.LetGoOfSnapshot())
            m_bWaitingForScan = true;
        break;
    case ModelHint::Shown:
    case ModelHint::Finished:
        if (m_bWaitingForScan)
            TryStart();
        break;
    case ModelHint::Selection:
        ApplyModelSelection();
        break;
    default:
        break;
    }
    if (m_strip.m_hWnd)
        m_strip.EnableFind(CanFind());
}

// ---- finding ----

bool CDuplicatesView::CanFind() const {
    const CDirscopeDoc* pDoc = GetDocument();
    return pDoc && !pDoc->IsDriveOverview() && !pDoc->IsSavedScan() &&
           !pDoc->ListedFolderPath().empty();
}

bool CDuplicatesView::IsIdle() const {
    return m_worker.CurrentStep() == DuplicatesWorker::Step::Idle && !m_bWaitingForScan;
}

void CDuplicatesView::Find() {
    if (!CanFind())
        return;
    m_strAsked = GetDocument()->ListedFolderPath();
    m_found = FoundDuplicates();
    SetRows();
    m_strip.SetFolder(m_strAsked);
    TryStart();
}

void CDuplicatesView::TryStart() {
    m_bWaitingForScan = false;
    CDirscopeDoc* pDoc = GetDocument();
    if (!pDoc || pDoc->IsSavedScan()) {
        m_strip.SetStatus(kNothingKnown, false);
        return;
    }
    const bool bShown = pDoc->ListedFolderPath() == m_strAsked;
    const FolderSnapshot& s = pDoc->Snapshot();
    const FolderSnapshot::Index top = s.Find(m_strAsked);
    const bool bBusy = bShown && (pDoc->IsFilling() || pDoc->IsScanning());
    if (!bBusy && top != FolderSnapshot::kNone && s.IsHeld(top)) {
        m_worker.Start(&s, top, m_strAsked);
        m_strip.StartTicking();
        ShowProgress();
    } else if (bBusy) {
        m_bWaitingForScan = true;
        m_strip.SetStatus(kWaiting, true);
    } else {
        m_strip.SetStatus(kNothingKnown, false);
    }
}

void CDuplicatesView::StopSearch() {
    if (m_bWaitingForScan || m_worker.CurrentStep() == DuplicatesWorker::Step::Collecting) {
        m_bWaitingForScan = false;
        m_worker.Stop();
        m_strip.StopTicking();
        m_strip.SetStatus(kStopped, false);
        return;
    }
    // Reading ends with what it is sure of, which comes as its answer.
    m_worker.Stop();
}

LRESULT CDuplicatesView::OnDuplicatesReady(WPARAM, LPARAM) {
    std::optional<FoundDuplicates> found = m_worker.Poll();
    if (!found) {
        ShowProgress();
        return 0;
    }
    m_found = std::move(*found);
    m_strip.StopTicking();
    SetRows();
    ShowFound();
    return 0;
}

void CDuplicatesView::ShowProgress() {
    switch (m_worker.CurrentStep()) {
    case DuplicatesWorker::Step::Collecting:
        m_strip.SetStatus(kCollecting, true);
        break;
    case DuplicatesWorker::Step::Reading:
        m_strip.SetStatus("Reading " + FormatSize(m_worker.BytesRead()) + " of " +
                              FormatSize(m_worker.BytesToRead()) + "...",
                          true);
        break;
    case DuplicatesWorker::Step::Idle:
        m_strip.StopTicking();
        break;
    }
}

void CDuplicatesView::ShowFound() {
    m_strip.SetStatus(FoundText(m_found), false);
}

// ---- rows ----

void CDuplicatesView::SetRows() {
    m_bApplyingSelection = true;
    SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(m_found.RowCount()), 0);
    m_bApplyingSelection = false;
    // The rows selected are the model's selection's alone (one pass over the rows: under
    // Wine each costs milliseconds per ten thousand rows).
    ApplyModelSelection();
    Invalidate();
}

std::string CDuplicatesView::CellText(int nItem, int nColumn) const {
    if (nItem < 0 || static_cast<size_t>(nItem) >= m_found.RowCount())
        return std::string();
    const size_t nRow = static_cast<size_t>(nItem);
    const DuplicateFile& file = m_found.FileOfRow(nRow);
    switch (nColumn) {
    case kGroup:
        return std::to_string(m_found.GroupOfRow(nRow) + 1);
    case kName:
        return NameOf(file.path);
    case kSize:
        return FormatSize(file.size);
    case kDate:
        return file.modified ? FormatDateTime(file.modified) : std::string();
    case kFolder: {
        // Relative to the folder searched; the folder itself is empty.
        const std::string folder = FolderOf(file.path);
        const std::string& top = m_found.Folder();
        if (folder.size() > top.size() && folder.compare(0, top.size(), top) == 0 &&
            (folder[top.size()] == '\\' || folder[top.size()] == '/'))
            return folder.substr(top.size() + 1);
        return folder == top ? std::string() : folder;
    }
    default:
        return std::string();
    }
}

void CDuplicatesView::OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(pNMHDR)->item;
    if (item.mask & LVIF_TEXT) {
        m_cellText = CellText(item.iItem, item.iSubItem);
        lstrcpynA(item.pszText, m_cellText.c_str(), item.cchTextMax);
    }
}

void CDuplicatesView::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult) {
    auto* pDraw = reinterpret_cast<NMLVCUSTOMDRAW*>(pNMHDR);
    *pResult = CDRF_DODEFAULT;
    if (pDraw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        *pResult = CDRF_NOTIFYITEMDRAW;
    } else if (pDraw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        const size_t nRow = pDraw->nmcd.dwItemSpec;
        if (nRow < m_found.RowCount() && m_found.GroupOfRow(nRow) % 2 == 1) {
            pDraw->clrTextBk = kBandColour;
            *pResult = CDRF_NEWFONT;
        }
    }
}

// ---- the selection, opening, deleting ----

std::vector<size_t> CDuplicatesView::SelectedRows() const {
    std::vector<size_t> rows;
    CListCtrl list = GetListCtrl();
    for (int nItem = list.GetNextItem(-1, LVNI_SELECTED); nItem >= 0;
         nItem = list.GetNextItem(nItem, LVNI_SELECTED))
        if (static_cast<size_t>(nItem) < m_found.RowCount())
            rows.push_back(static_cast<size_t>(nItem));
    return rows;
}

void CDuplicatesView::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    const auto* pChange = reinterpret_cast<const NMLISTVIEW*>(pNMHDR);
    if (m_bApplyingSelection || !(pChange->uChanged & LVIF_STATE) ||
        !((pChange->uOldState ^ pChange->uNewState) & LVIS_SELECTED))
        return;
    CDirscopeDoc* pDoc = GetDocument();
    const int nFirst = GetListCtrl().GetNextItem(-1, LVNI_SELECTED);
    if (!pDoc || nFirst < 0 || static_cast<size_t>(nFirst) >= m_found.RowCount())
        return; // a row let go of selects nothing else
    ModelEntry entry;
    entry.path = m_found.FileOfRow(static_cast<size_t>(nFirst)).path;
    pDoc->Select(this, entry);
}

void CDuplicatesView::ApplyModelSelection() {
    const CDirscopeDoc* pDoc = GetDocument();
    if (!pDoc || !m_hWnd)
        return;
    const ModelEntry& entry = pDoc->Selection();
    const int nRow = entry.IsNone() || entry.bFolder ? -1 : m_found.RowOfPath(entry.path);
    m_bApplyingSelection = true;
    SelectOnlyRow(GetListCtrl(), nRow);
    m_bApplyingSelection = false;
}

void CDuplicatesView::OpenRow(int nItem) {
    if (nItem < 0 || static_cast<size_t>(nItem) >= m_found.RowCount())
        return;
    const std::string& path = m_found.FileOfRow(static_cast<size_t>(nItem)).path;
    ShowFileInFolder(GetDocument(), FolderOf(path), path);
}

void CDuplicatesView::OnDblClick(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    OpenRow(reinterpret_cast<NMITEMACTIVATE*>(pNMHDR)->iItem);
}

void CDuplicatesView::OnReturn(NMHDR*, LRESULT* pResult) {
    *pResult = 0;
    OpenRow(GetListCtrl().GetNextItem(-1, LVNI_FOCUSED));
}

void CDuplicatesView::OnKeyUp(UINT nChar, UINT, UINT) {
    // Only the release acts, as in the folder list, so holding the key repeats nothing.
    if (nChar == VK_DELETE)
        DeleteSelected();
    Default();
}

void CDuplicatesView::DeleteSelected() {
    CDirscopeDoc* pDoc = GetDocument();
    if (!pDoc || pDoc->IsFilling())
        return;
    const std::vector<size_t> selected = SelectedRows();
    std::vector<std::string> chosen;
    for (size_t row : selected)
        chosen.push_back(m_found.FileOfRow(row).path);
    if (chosen.empty())
        return;
    // A copy gone from the disk since (deleted elsewhere) is no copy to keep: the groups
    // chosen from are looked at as the disk holds them now.
    std::vector<std::string> gone;
    std::vector<bool> bGroupChosen(m_found.GroupCount(), false);
    for (size_t row : selected)
        bGroupChosen[m_found.GroupOfRow(row)] = true;
    for (size_t row = 0; row < m_found.RowCount(); ++row)
        if (bGroupChosen[m_found.GroupOfRow(row)] && IsGone(m_found.FileOfRow(row).path))
            gone.push_back(m_found.FileOfRow(row).path);
    if (!gone.empty()) {
        m_found.Remove(gone);
        SetRows();
        ShowFound();
    }
    std::unordered_map<std::string, size_t> rowOf;
    for (size_t row = 0; row < m_found.RowCount(); ++row)
        rowOf.emplace(m_found.FileOfRow(row).path, row);
    std::vector<size_t> rows;
    std::vector<std::string> sources;
    for (const std::string& path : chosen) {
        const auto found = rowOf.find(path);
        if (found != rowOf.end() && !HasWildcard(path)) {
            rows.push_back(found->second);
            sources.push_back(path);
        }
    }
    if (!m_found.GroupsWhollyIn(rows).empty()) {
        ::MessageBoxA(m_hWnd, kKeepOneCopy, "Duplicates", MB_OK | MB_ICONWARNING);
        return;
    }
    if (sources.empty())
        return;
    RunFileOperation(m_hWnd, FO_DELETE, sources, nullptr);
    // What went (all, or what the shell did before it was stopped) leaves its group.
    std::vector<std::string> removed;
    for (const std::string& path : sources)
        if (IsGone(path))
            removed.push_back(path);
    // The snapshot forgets them, every view shows the folder afresh, and this one's groups
    // lose them as the other panes' deletes do.
    if (!removed.empty())
        pDoc->EntriesRemoved(removed);
}
