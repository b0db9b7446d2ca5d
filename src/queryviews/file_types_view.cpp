#include "file_types_view.h"

#include <algorithm>

#include "file_extension.h"
#include "query_list.h"
#include "saved_scan_reader.h"
#include "scan_comparison.h"
#include "size_bar_cell.h"
#include "size_text.h"
#include "type_colours.h"

namespace {

constexpr QueryColumn kColumns[] = {
    {"Extension", LVCFMT_LEFT, 110}, {"Type", LVCFMT_LEFT, 150},  {"Size", LVCFMT_RIGHT, 80},
    {"Share", LVCFMT_RIGHT, 90},     {"Files", LVCFMT_RIGHT, 70},
};

// The table's 0xAARRGGBB as a GDI colour.
COLORREF ColorOfArgb(uint32_t argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

} // namespace

IMPLEMENT_DYNCREATE(CFileTypesView, CQueryView)

BEGIN_MESSAGE_MAP(CFileTypesView, CQueryView)
    ON_NOTIFY_REFLECT(LVN_GETDISPINFOA, OnGetDispInfo)
    ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, OnItemChanged)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
END_MESSAGE_MAP()

bool CFileTypesView::PreCreateWindow(CREATESTRUCTA& cs) {
    cs.style |= LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SINGLESEL;
    return CQueryView::PreCreateWindow(cs);
}

void CFileTypesView::OnInitialUpdate() {
    CQueryView::OnInitialUpdate();
    InsertQueryColumns(GetListCtrl(), kColumns);
    ClearAnswer();
}

bool CFileTypesView::MakeRequest(QueryRequest& request) {
    request.kind = QueryKind::TypeTotals;
    AskAboutOlder(request); // each type's bytes then, while comparing
    return true;
}

void CFileTypesView::ShowAnswer(QueryAnswer answer) {
    m_rows = std::move(answer.types);
    m_bytesThen = std::move(answer.bytesThen);
    m_nTotalBytes = 0;
    // Colours are given largest type first, so the largest get the clearest ones.
    for (const TypeTotal& row : m_rows) {
        m_nTotalBytes += row.bytes;
        TypeColourTable::Program().ColourOf(row.key);
    }
    ShowComparison();
    SetRowState(-1);
    OnModelTypeSelection();
}

void CFileTypesView::ShowComparison() {
    const CDirscopeDoc* pDoc = GetDocument();
    const bool bComparing = pDoc && pDoc->IsComparing();
    CListCtrl list = GetListCtrl();
    const bool bShown = list.GetColumnCount() > kChange;
    if (bComparing && !bShown) {
        list.InsertColumn(kChange, "Change", LVCFMT_RIGHT, 80);
        list.ShowColumnAfter(kChange, kSize); // beside the size it changes
    } else if (!bComparing && bShown)
        list.DeleteColumn(kChange);
    if (!bComparing)
        m_bytesThen.clear();
}

void CFileTypesView::ClearAnswer() {
    m_rows.clear();
    m_bytesThen.clear();
    // The type names are asked afresh for the next folder, not for each answer a running
    // scan brings.
    Shell().Forget();
    m_nTotalBytes = 0;
    SetRowState(-1);
}

void CFileTypesView::SetRowState(int nItem) {
    m_bApplyingSelection = true;
    if (static_cast<size_t>(GetListCtrl().GetItemCount()) != m_rows.size())
        SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(m_rows.size()), 0);
    SelectOnlyRow(GetListCtrl(), nItem);
    m_bApplyingSelection = false;
    Invalidate();
}

int CFileTypesView::FindType(const std::string& key) const {
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].key == key)
            return static_cast<int>(i);
    return -1;
}

void CFileTypesView::SelectRow(int nItem) {
    SelectOnlyRow(GetListCtrl(), nItem);
}

void CFileTypesView::OnModelTypeSelection() {
    const CDirscopeDoc* pDoc = GetDocument();
    const int nRow = pDoc && pDoc->TypeSelection().bAny ? FindType(pDoc->TypeSelection().key) : -1;
    if (nRow != GetListCtrl().GetNextItem(-1, LVNI_SELECTED))
        SetRowState(nRow);
}

void CFileTypesView::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    const auto* pChange = reinterpret_cast<const NMLISTVIEW*>(pNMHDR);
    CDirscopeDoc* pDoc = GetDocument();
    if (m_bApplyingSelection || !pDoc || !(pChange->uChanged & LVIF_STATE) ||
        !((pChange->uOldState ^ pChange->uNewState) & LVIS_SELECTED))
        return;
    const int nRow = GetListCtrl().GetNextItem(-1, LVNI_SELECTED);
    ModelType type;
    if (nRow >= 0 && static_cast<size_t>(nRow) < m_rows.size()) {
        type.bAny = true;
        type.key = m_rows[static_cast<size_t>(nRow)].key;
        type.bLit = true;
    }
    pDoc->SelectType(this, type);
}

std::string CFileTypesView::CellText(int nItem, int nColumn) {
    if (nItem < 0 || static_cast<size_t>(nItem) >= m_rows.size())
        return std::string();
    const TypeTotal& row = m_rows[static_cast<size_t>(nItem)];
    switch (nColumn) {
    case kExtension:
        return ExtensionText(row.key);
    case kType: {
        const std::string* pType = Shell().ExtensionTypeNameOf(row.key);
        return pType ? *pType : std::string();
    }
    case kSize:
        return FormatSize(row.bytes);
    case kShare:
        return SharePercentText(row.share) + " %";
    case kFiles:
        return std::to_string(row.files);
    case kChange:
        return static_cast<size_t>(nItem) < m_bytesThen.size()
                   ? ChangeText(m_bytesThen[static_cast<size_t>(nItem)], row.sizeBytes)
                   : std::string();
    default:
        return std::string();
    }
}

void CFileTypesView::OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(pNMHDR)->item;
    if (item.mask & LVIF_TEXT) {
        m_cellText = CellText(item.iItem, item.iSubItem);
        lstrcpynA(item.pszText, m_cellText.c_str(), item.cchTextMax);
    }
}

// The swatches and the share bars.
void CFileTypesView::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult) {
    auto* pDraw = reinterpret_cast<NMLVCUSTOMDRAW*>(pNMHDR);
    *pResult = CDRF_DODEFAULT;
    switch (pDraw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        *pResult = CDRF_NOTIFYITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT:
        *pResult = CDRF_NOTIFYSUBITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const size_t nRow = pDraw->nmcd.dwItemSpec;
        if (nRow >= m_rows.size())
            break;
        if (pDraw->iSubItem == kExtension) {
            DrawExtensionCell(*pDraw);
            *pResult = CDRF_SKIPDEFAULT;
        } else if (pDraw->iSubItem == kShare && m_nTotalBytes > 0) {
            DrawSizeBarCell(GetListCtrl(), *pDraw, kShare, m_rows[nRow].bytes, m_nTotalBytes);
            *pResult = CDRF_SKIPDEFAULT;
        }
        break;
    }
    default:
        break;
    }
}

void CFileTypesView::DrawExtensionCell(const NMLVCUSTOMDRAW& draw) {
    const int nRow = static_cast<int>(draw.nmcd.dwItemSpec);
    RECT rc{};
    rc.top = kExtension;
    rc.left = LVIR_LABEL;
    SendMessage(LVM_GETSUBITEMRECT, static_cast<WPARAM>(nRow), reinterpret_cast<LPARAM>(&rc));
    const HDC hDC = draw.nmcd.hdc;
    const bool bSelected = (GetListCtrl().GetNextItem(nRow - 1, LVNI_SELECTED) == nRow);
    ::FillRect(hDC, &rc, ::GetSysColorBrush(bSelected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    // The swatch: a square of the type's colour, as high as the text, framed.
    const int nSide = std::max(4, static_cast<int>(rc.bottom - rc.top) - 4);
    RECT swatch{rc.left + 3, rc.top + 2, rc.left + 3 + nSide, rc.top + 2 + nSide};
    const uint32_t argb =
        TypeColourTable::Program().ColourOf(m_rows[static_cast<size_t>(nRow)].key);
    const HBRUSH hBrush = ::CreateSolidBrush(ColorOfArgb(argb));
    ::FillRect(hDC, &swatch, hBrush);
    ::DeleteObject(hBrush);
    ::FrameRect(hDC, &swatch, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    RECT text = rc;
    text.left = swatch.right + 4;
    const std::string label = CellText(nRow, kExtension);
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, ::GetSysColor(bSelected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    ::DrawTextA(hDC, label.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}
