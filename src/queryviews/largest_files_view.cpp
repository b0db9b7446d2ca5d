#include "largest_files_view.h"

IMPLEMENT_DYNCREATE(CLargestFilesView, CFileListView)

bool CLargestFilesView::MakeRequest(QueryRequest& request) {
    request.kind = QueryKind::LargestFiles;
    request.nLargest = kRowCount;
    // Compared with a saved scan: each file's bytes then, and the order the header chose.
    if (AskAboutOlder(request) && m_bGrowth)
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
