#include "largest_files_view.h"

#include "saved_scan_reader.h"

IMPLEMENT_DYNCREATE(CLargestFilesView, CFileListView)

bool CLargestFilesView::MakeRequest(QueryRequest& request) {
    request.kind = QueryKind::LargestFiles;
    request.nLargest = kRowCount;
    const CDirscopeDoc* pDoc = GetDocument();
    if (!pDoc || !pDoc->IsComparing())
        return true;
    // Compared with a saved scan: each file's bytes then, and the order the header chose.
    const ComparedScan& compared = pDoc->Comparison();
    request.older =
        std::shared_ptr<const FolderSnapshot>(compared.OlderPointer(), &compared.Older().snapshot);
    request.olderTop = compared.OlderShown();
    if (m_bGrowth)
        request.kind = QueryKind::LargestGrowth;
    return true;
}

void CLargestFilesView::OnSortColumnChosen(int nColumn) {
    const bool bGrowth = nColumn == kChange ? true : nColumn == kSize ? false : m_bGrowth;
    if (bGrowth == m_bGrowth)
        return;
    m_bGrowth = bGrowth;
    Ask();
}
