#include "file_list_view.h"

#include <shellapi.h>

#include <algorithm>
#include <map>

#include "date_text.h"
#include "file_extension.h"
#include "file_operations.h"
#include "file_times.h"
#include "path_list.h"
#include "path_text.h"
#include "query_list.h"
#include "scan_comparison.h"
#include "size_text.h"
#include "system_image_list.h"
#include "window_dpi.h"

namespace {

constexpr QueryColumn kColumns[] = {
    {"Name", LVCFMT_LEFT, 180}, {"Size", LVCFMT_RIGHT, 80},   {"Type", LVCFMT_LEFT, 120},
    {"Date", LVCFMT_LEFT, 110}, {"Folder", LVCFMT_LEFT, 240},
};

// Rows of the first screens get their shell answers asked at once with the answer.
constexpr size_t kLookAhead = 64;

uint64_t KeyOf(const FileRef& row) {
    return uint64_t{row.folder} << 32 | row.file;
}

// The relative folder as a cell shows it: without the separator it ends with.
std::string FolderCell(std::string prefix) {
    if (!prefix.empty())
        prefix.pop_back();
    return prefix;
}

} // namespace

IMPLEMENT_DYNAMIC(CFileListView, CQueryView)

BEGIN_MESSAGE_MAP(CFileListView, CQueryView)
    ON_NOTIFY_REFLECT(LVN_GETDISPINFOA, OnGetDispInfo)
    ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
    ON_NOTIFY_REFLECT(NM_DBLCLK, OnDblClick)
    ON_NOTIFY_REFLECT(NM_RETURN, OnReturn)
    ON_NOTIFY_REFLECT(NM_RCLICK, OnRightClick)
    ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, OnItemChanged)
    ON_WM_KEYUP()
END_MESSAGE_MAP()

bool CFileListView::PreCreateWindow(CREATESTRUCTA& cs) {
    // Rows are indexes into the snapshot; their cells are asked for as they are drawn.
    // The image list is the shell's: the list must never destroy it.
    cs.style |= LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS;
    return CQueryView::PreCreateWindow(cs);
}

void CFileListView::OnInitialUpdate() {
    CQueryView::OnInitialUpdate();
    CListCtrl list = GetListCtrl();
    if (list.GetColumnCount() == 0) {
        InsertQueryColumns(list, kColumns);
        SHFILEINFOA sfi{};
        list.SetImageList(SystemImageListAt(WindowDpi(m_hWnd)), LVSIL_SMALL);
        if (SHGetFileInfoA("file", FILE_ATTRIBUTE_NORMAL, &sfi, sizeof(sfi),
                           SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES))
            m_nPlaceholderIcon = sfi.iIcon;
    }
    ClearAnswer();
}

// ---- the question and its answer ----

void CFileListView::ShowAnswer(QueryAnswer answer) {
    m_rows = std::move(answer.files);
    m_measure = answer.measure;
    // Compared with a saved scan, the answer tells each file's bytes then: a Change column.
    m_bytesThen.clear();
    for (size_t i = 0; i < answer.bytesThen.size() && i < m_rows.size(); ++i)
        m_bytesThen.emplace(KeyOf(m_rows[i]), answer.bytesThen[i]);
    CListCtrl list = GetListCtrl();
    const bool bChange = !answer.bytesThen.empty() || answer.kind == QueryKind::LargestGrowth;
    if (bChange && list.GetColumnCount() <= kChange) {
        list.InsertColumn(kChange, "Change", LVCFMT_RIGHT, 80);
        list.ShowColumnAfter(kChange, kSize); // beside the size it changes
    } else if (!bChange && list.GetColumnCount() > kChange) {
        list.DeleteColumn(kChange);
    }
    SortRows();
    SetRowCount();
    // What the first screens show is asked for now, not when first drawn.
    for (size_t i = 0; i < m_rows.size() && i < kLookAhead; ++i)
        IconOfRow(static_cast<int>(i));
    OnModelSelection();
}

void CFileListView::ClearAnswer() {
    m_rows.clear();
    // The shell's answers are asked afresh for the next folder (or snapshot), not for each
    // answer a running scan brings.
    Shell().Forget();
    SetRowCount();
}

void CFileListView::SetRowCount() {
    m_bApplyingSelection = true;
    // A new count costs tens of milliseconds under Wine (the scroll bar is laid out again);
    // a running scan's answers mostly keep it.
    if (static_cast<size_t>(GetListCtrl().GetItemCount()) != m_rows.size())
        SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(m_rows.size()), 0);
    SelectOnlyRow(GetListCtrl(), -1);
    m_bApplyingSelection = false;
    Invalidate();
}

// ---- cells and sorting ----

std::string CFileListView::PathOfRow(int nItem) const {
    const FolderSnapshot* s = AnsweredSnapshot();
    if (!s || nItem < 0 || static_cast<size_t>(nItem) >= m_rows.size())
        return std::string();
    const FileRef& row = m_rows[static_cast<size_t>(nItem)];
    return JoinPath(s->PathOf(row.folder), s->FileName(row.folder, row.file));
}

int CFileListView::IconOfRow(int nItem) {
    const FolderSnapshot* s = AnsweredSnapshot();
    if (!s || nItem < 0 || static_cast<size_t>(nItem) >= m_rows.size())
        return m_nPlaceholderIcon;
    const FileRef& row = m_rows[static_cast<size_t>(nItem)];
    const int nIcon = Shell().IconOf(KeyOf(row), s->FileName(row.folder, row.file),
                                     [&] { return PathOfRow(nItem); });
    return nIcon >= 0 ? nIcon : m_nPlaceholderIcon;
}

std::string CFileListView::CellText(int nItem, int nColumn, int* pImage) {
    const FolderSnapshot* s = AnsweredSnapshot();
    if (!s || nItem < 0 || static_cast<size_t>(nItem) >= m_rows.size())
        return std::string();
    const FileRef& row = m_rows[static_cast<size_t>(nItem)];
    const char* name = s->FileName(row.folder, row.file);
    switch (nColumn) {
    case kName:
        if (pImage)
            *pImage = IconOfRow(nItem);
        return name;
    case kSize:
        return FormatSize(MeasuredFileSize(*s, row.folder, row.file, m_measure));
    case kType: {
        const std::string* pType =
            Shell().TypeNameOf(KeyOf(row), name, [&] { return PathOfRow(nItem); });
        return pType ? *pType : std::string();
    }
    case kDate: {
        const int64_t t = FileModifiedTime(*s, row.folder, row.file);
        return t == kUnknownFileTime ? std::string() : FormatDateTime(t);
    }
    case kFolder:
        return FolderCell(RelativeFolderPrefix(*s, AnsweredTop(), row.folder));
    case kChange: {
        const auto then = m_bytesThen.find(KeyOf(row));
        return then == m_bytesThen.end()
                   ? std::string()
                   : ChangeText(then->second, s->FileSize(row.folder, row.file));
    }
    default:
        return std::string();
    }
}

void CFileListView::OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    auto* pInfo = reinterpret_cast<NMLVDISPINFOA*>(pNMHDR);
    LVITEMA& item = pInfo->item;
    int nImage = 0;
    const bool bImage = (item.mask & LVIF_IMAGE) && item.iSubItem == kName;
    if (item.mask & LVIF_TEXT) {
        m_cellText = CellText(item.iItem, item.iSubItem, bImage ? &nImage : nullptr);
        lstrcpynA(item.pszText, m_cellText.c_str(), item.cchTextMax);
    } else if (bImage) {
        CellText(item.iItem, kName, &nImage);
    }
    if (bImage)
        item.iImage = nImage;
}

void CFileListView::SortRows() {
    const FolderSnapshot* s = AnsweredSnapshot();
    if (!s || m_rows.empty())
        return;
    // Each row's key is made once; rows of equal keys keep the answer's order (largest
    // first, then by path).
    struct Keyed {
        FileRef ref;
        std::string text;
        int64_t number = 0;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(m_rows.size());
    for (const FileRef& ref : m_rows) {
        Keyed k{ref, std::string(), 0};
        switch (m_nSortColumn) {
        case kName:
            k.text = s->FileName(ref.folder, ref.file);
            break;
        case kSize:
            k.number = MeasuredFileSize(*s, ref.folder, ref.file, m_measure);
            break;
        case kType:
            k.text = ExtensionKey(s->FileName(ref.folder, ref.file));
            break;
        case kDate:
            k.number = FileModifiedTime(*s, ref.folder, ref.file);
            break;
        case kChange: {
            const auto then = m_bytesThen.find(KeyOf(ref));
            k.number = s->FileSize(ref.folder, ref.file) -
                       (then == m_bytesThen.end() ? 0 : std::max<int64_t>(then->second, 0));
            break;
        }
        default:
            k.text = RelativeFolderPrefix(*s, AnsweredTop(), ref.folder);
            break;
        }
        keyed.push_back(std::move(k));
    }
    const bool bText = m_nSortColumn != kSize && m_nSortColumn != kDate && m_nSortColumn != kChange;
    const bool bDescending = m_bSortDescending;
    std::stable_sort(keyed.begin(), keyed.end(),
                     [bText, bDescending](const Keyed& a, const Keyed& b) {
                         const int n = bText ? lstrcmpiA(a.text.c_str(), b.text.c_str())
                                             : (a.number < b.number   ? -1
                                                : a.number > b.number ? 1
                                                                      : 0);
                         return bDescending ? n > 0 : n < 0;
                     });
    for (size_t i = 0; i < keyed.size(); ++i)
        m_rows[i] = keyed[i].ref;
}

void CFileListView::OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    const int nColumn = reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iSubItem;
    // The same column again turns the order round; another starts as its kind reads best:
    // sizes and dates largest and newest first, names from A.
    m_bSortDescending = nColumn == m_nSortColumn
                            ? !m_bSortDescending
                            : (nColumn == kSize || nColumn == kDate || nColumn == kChange);
    m_nSortColumn = nColumn;
    OnSortColumnChosen(nColumn);
    SortRows();
    SetRowCount();
    OnModelSelection();
}

// ---- the selection, opening, deleting, the shell's menu ----

std::vector<int> CFileListView::SelectedRows() const {
    std::vector<int> rows;
    CListCtrl list = GetListCtrl();
    for (int nItem = list.GetNextItem(-1, LVNI_SELECTED); nItem >= 0;
         nItem = list.GetNextItem(nItem, LVNI_SELECTED))
        rows.push_back(nItem);
    return rows;
}

void CFileListView::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    const auto* pChange = reinterpret_cast<const NMLISTVIEW*>(pNMHDR);
    if (m_bApplyingSelection || !(pChange->uChanged & LVIF_STATE) ||
        !((pChange->uOldState ^ pChange->uNewState) & LVIS_SELECTED))
        return;
    CDirscopeDoc* pDoc = GetDocument();
    const int nFirst = GetListCtrl().GetNextItem(-1, LVNI_SELECTED);
    if (!pDoc || nFirst < 0)
        return; // a row let go of selects nothing else
    ModelEntry entry;
    entry.path = PathOfRow(nFirst);
    pDoc->Select(this, entry);
}

void CFileListView::OnModelSelection() {
    const CDirscopeDoc* pDoc = GetDocument();
    if (!pDoc)
        return;
    const ModelEntry& entry = pDoc->Selection();
    int nRow = -1;
    const FolderSnapshot* s = AnsweredSnapshot();
    if (s && !entry.IsNone() && !entry.bFolder) {
        // Names first: only a row of the same name has its path made.
        const size_t nSlash = entry.path.find_last_of("\\/");
        const std::string name =
            nSlash == std::string::npos ? entry.path : entry.path.substr(nSlash + 1);
        for (size_t i = 0; i < m_rows.size() && nRow < 0; ++i)
            if (name == s->FileName(m_rows[i].folder, m_rows[i].file) &&
                PathOfRow(static_cast<int>(i)) == entry.path)
                nRow = static_cast<int>(i);
    }
    m_bApplyingSelection = true;
    SelectOnlyRow(GetListCtrl(), nRow);
    m_bApplyingSelection = false;
}

void CFileListView::OpenRow(int nItem) {
    const FolderSnapshot* s = AnsweredSnapshot();
    if (!s || nItem < 0 || static_cast<size_t>(nItem) >= m_rows.size())
        return;
    ShowFileInFolder(GetDocument(), s->PathOf(m_rows[static_cast<size_t>(nItem)].folder),
                     PathOfRow(nItem));
}

void CFileListView::OnDblClick(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    OpenRow(reinterpret_cast<NMITEMACTIVATE*>(pNMHDR)->iItem);
}

void CFileListView::OnReturn(NMHDR*, LRESULT* pResult) {
    *pResult = 0;
    OpenRow(GetListCtrl().GetNextItem(-1, LVNI_FOCUSED));
}

void CFileListView::OnKeyUp(UINT nChar, UINT, UINT) {
    // Only the release acts, as in the folder list, so holding the key repeats nothing.
    if (nChar == VK_DELETE)
        DeleteSelected();
    Default();
}

void CFileListView::DeleteSelected() {
    const FolderSnapshot* s = AnsweredSnapshot();
    CDirscopeDoc* pDoc = GetDocument();
    // A saved scan's files are not on this computer's disk: nothing is deleted there.
    if (!s || !pDoc || pDoc->IsFilling() || pDoc->IsSavedScan())
        return;
    // The shell deletes one folder's entries at a time.
    std::map<std::string, std::vector<std::string>> byFolder;
    for (int nItem : SelectedRows()) {
        const FileRef& row = m_rows[static_cast<size_t>(nItem)];
        byFolder[s->PathOf(row.folder)].push_back(s->FileName(row.folder, row.file));
    }
    std::vector<std::string> removed;
    for (const auto& [folder, names] : byFolder) {
        if (!DeleteEntries(m_hWnd, folder, names))
            break;
        for (const std::string& path : DeleteSources(folder, names))
            removed.push_back(path);
    }
    // The snapshot forgets what went, and every view shows the folder afresh.
    if (!removed.empty())
        pDoc->EntriesRemoved(removed);
}

void CFileListView::OnRightClick(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    const FolderSnapshot* s = AnsweredSnapshot();
    const std::vector<int> rows = SelectedRows();
    const CDirscopeDoc* pDoc = GetDocument();
    if (!s || rows.empty() || !pDoc || pDoc->IsSavedScan())
        return;
    // The shell's menu takes the entries of one folder: the first selected row's.
    const FolderSnapshot::Index folder = m_rows[static_cast<size_t>(rows.front())].folder;
    std::vector<std::string> paths;
    for (int nItem : rows)
        if (m_rows[static_cast<size_t>(nItem)].folder == folder)
            paths.push_back(PathOfRow(nItem));
    POINT pt = reinterpret_cast<NMITEMACTIVATE*>(pNMHDR)->ptAction;
    ::ClientToScreen(m_hWnd, &pt);
    m_shellMenu.Track(this, paths, pt);
}

LRESULT CFileListView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // While the shell's menu is open, the messages it draws with are its own.
    LRESULT lResult = 0;
    if (m_shellMenu.Forward(message, wParam, lParam, &lResult))
        return lResult;
    // Shown at another scale: the rows' icons at its size.
    if (message == WM_DPICHANGED_AFTERPARENT)
        GetListCtrl().SetImageList(SystemImageListAt(WindowDpi(m_hWnd)), LVSIL_SMALL);
    return CQueryView::WindowProc(message, wParam, lParam);
}
