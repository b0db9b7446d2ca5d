#include "changes_view.h"

#include <ctime>

#include "date_text.h"
#include "folder_navigator.h"
#include "path_text.h"
#include "size_text.h"

namespace {

struct ColumnInfo {
    const char* title;
    int nFormat;
    int nWidth;
};
constexpr ColumnInfo kColumns[] = {
    {"Time", LVCFMT_LEFT, 120},
    {"Path", LVCFMT_LEFT, 260},
    {"Kind", LVCFMT_LEFT, 70},
    {"Size change", LVCFMT_RIGHT, 90},
};
constexpr UINT kStripID = 1;
// The rows are made again at most this often: a burst is applied in many slices, and
// making ten thousand rows afresh after each would keep the window busy.
constexpr DWORD kRefillEveryMs = 250;
constexpr UINT_PTR kRefillTimer = 0x5C01;

ChangeColumn SortKeyOf(int nColumn) {
    switch (nColumn) {
    case CChangesView::kPath:
        return ChangeColumn::Path;
    case CChangesView::kKind:
        return ChangeColumn::Kind;
    case CChangesView::kBytes:
        return ChangeColumn::Bytes;
    default:
        return ChangeColumn::Time;
    }
}

// "+1.5 MB", "-200 KB", "0".
std::string SignedSize(int64_t bytes) {
    if (bytes == 0)
        return "0";
    return (bytes > 0 ? "+" : "-") + FormatSize(bytes > 0 ? bytes : -bytes);
}

// The folder holding `path`.
std::string FolderOf(const std::string& path) {
    const SplitPath split(path);
    if (split.names.empty())
        return std::string();
    return TrimTrailingSeparators(
        path.substr(0, static_cast<size_t>(split.names.back().data() - path.data())));
}

} // namespace

IMPLEMENT_DYNCREATE(CChangesView, CListView)

BEGIN_MESSAGE_MAP(CChangesView, CListView)
    ON_NOTIFY_REFLECT(LVN_GETDISPINFOA, OnGetDispInfo)
    ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
    ON_NOTIFY_REFLECT(NM_DBLCLK, OnDblClick)
    ON_NOTIFY_REFLECT(NM_RETURN, OnReturn)
    ON_WM_DESTROY()
    ON_WM_TIMER()
END_MESSAGE_MAP()

bool CChangesView::PreCreateWindow(CREATESTRUCTA& cs) {
    // Ten thousand rows: their cells are made as they are drawn.
    cs.style |= LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SINGLESEL;
    return CListView::PreCreateWindow(cs);
}

void CChangesView::OnInitialUpdate() {
    // The strip joins the pane's frame above the list.
    if (!m_strip.m_hWnd) {
        CFrameWnd* pFrame = GetParentFrame();
        if (pFrame && m_strip.Create(
                          pFrame, [this](bool) { Refill(); }, kStripID))
            pFrame->RecalcLayout();
    }
    CListView::OnInitialUpdate();
    const CListCtrl list = GetListCtrl();
    if (list.GetColumnCount() == 0) {
        for (int c = 0; c < kColumnCount; ++c)
            list.InsertColumn(c, kColumns[c].title, kColumns[c].nFormat, kColumns[c].nWidth);
        ::SendMessageA(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                       LVS_EX_FULLROWSELECT);
    }
    Refill();
}

void CChangesView::OnDestroy() {
    if (m_strip.m_hWnd)
        m_strip.DestroyWindow();
    CListView::OnDestroy();
}

void CChangesView::OnUpdate(CView*, LPARAM lHint, CObject*) {
    // The document tells Totals after every batch of changes it applies; what grew in the
    // last minute also changes as the minute moves on.
    const CDirscopeDoc* pDoc = GetDocument();
    if (!pDoc)
        return;
    if (pDoc->Changes().Added() != m_nShownAdded ||
        (static_cast<ModelHint>(lHint) == ModelHint::Totals && m_strip.IsChecked()))
        RefillPaced();
}

void CChangesView::RefillPaced() {
    const DWORD nSince = ::GetTickCount() - m_nRefilledAt;
    if (nSince >= kRefillEveryMs) {
        Refill();
        return;
    }
    if (!m_bRefillDue && m_hWnd)
        m_bRefillDue = ::SetTimer(m_hWnd, kRefillTimer, kRefillEveryMs - nSince, nullptr) != 0;
}

void CChangesView::OnTimer(UINT_PTR nIDEvent) {
    // Only the list control's own timers go on to it: it stops a timer it does not know.
    if (nIDEvent != kRefillTimer) {
        Default();
        return;
    }
    Refill();
}

void CChangesView::Refill() {
    const CDirscopeDoc* pDoc = GetDocument();
    if (!pDoc || !m_hWnd)
        return;
    if (m_bRefillDue) {
        ::KillTimer(m_hWnd, kRefillTimer);
        m_bRefillDue = false;
    }
    m_nRefilledAt = ::GetTickCount();
    const ChangeLog& log = pDoc->Changes();
    m_nShownAdded = log.Added();
    if (m_strip.IsChecked()) {
        m_rows = GrewMostRows(log, static_cast<int64_t>(std::time(nullptr)), kGrewSeconds);
        SortChangeRows(m_rows, log, ChangeColumn::Bytes, false);
    } else {
        m_rows = AllChangeRows(log);
        SortChangeRows(m_rows, log, SortKeyOf(m_nSortColumn), m_bAscending);
    }
    // Telling the list its count costs it a pass over every row: once the log is full, the
    // rows change but not their number. The whole list is drawn afresh below anyway.
    if (static_cast<size_t>(GetListCtrl().GetItemCount()) != m_rows.size())
        SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(m_rows.size()),
                    LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    Invalidate();
}

std::string CChangesView::CellText(int nItem, int nColumn) const {
    if (nItem < 0 || static_cast<size_t>(nItem) >= m_rows.size())
        return std::string();
    const ChangeRow& row = m_rows[static_cast<size_t>(nItem)];
    switch (nColumn) {
    case kTime:
        return FormatDateTime(row.time);
    case kPath:
        return GetDocument() ? ChangeRowPath(GetDocument()->Changes(), row) : std::string();
    case kKind:
        return row.kind;
    case kBytes:
        return SignedSize(row.bytes);
    default:
        return std::string();
    }
}

void CChangesView::OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(pNMHDR)->item;
    if (!(item.mask & LVIF_TEXT))
        return;
    m_cellText = CellText(item.iItem, item.iSubItem);
    lstrcpynA(item.pszText, m_cellText.c_str(), item.cchTextMax);
}

void CChangesView::OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    const int nColumn = reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iSubItem;
    // The same column again turns the order; another starts largest or newest first for
    // numbers and times, A to Z for words.
    if (nColumn == m_nSortColumn)
        m_bAscending = !m_bAscending;
    else
        m_bAscending = nColumn == kPath || nColumn == kKind;
    m_nSortColumn = nColumn;
    if (const CDirscopeDoc* pDoc = GetDocument())
        SortChangeRows(m_rows, pDoc->Changes(), SortKeyOf(m_nSortColumn), m_bAscending);
    Invalidate();
}

void CChangesView::OpenRow(int nItem) {
    CFolderNavigator* pNavigator = AfxGetNavigator();
    if (!pNavigator || nItem < 0 || static_cast<size_t>(nItem) >= m_rows.size())
        return;
    const CDirscopeDoc* pShowing = GetDocument();
    if (!pShowing)
        return;
    const std::string path = ChangeRowPath(pShowing->Changes(), m_rows[static_cast<size_t>(nItem)]);
    const std::string folder = FolderOf(path);
    if (folder.empty())
        return;
    pNavigator->OpenFolder(folder);
    // An entry gone since is not there to select; the folder shows what is.
    CDirscopeDoc* pDoc = GetDocument();
    if (!pDoc || pDoc->Folder() != folder)
        return;
    const std::string name = path.substr(folder.size() + (folder.back() == '\\' ? 0 : 1));
    for (const FolderEntry& entry : pDoc->Files())
        if (entry.strName == name)
            return pDoc->Select(nullptr, ModelEntry{path, false});
    for (const FolderEntry& entry : pDoc->Subfolders())
        if (entry.strName == name)
            return pDoc->Select(nullptr, ModelEntry{path, true});
}

void CChangesView::OnDblClick(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    OpenRow(reinterpret_cast<NMITEMACTIVATE*>(pNMHDR)->iItem);
}

void CChangesView::OnReturn(NMHDR*, LRESULT* pResult) {
    *pResult = 0;
    OpenRow(GetListCtrl().GetNextItem(-1, LVNI_FOCUSED));
}
