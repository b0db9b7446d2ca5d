#include "largest_files_view.h"

IMPLEMENT_DYNCREATE(CLargestFilesView, CFileListView)

bool CLargestFilesView::MakeRequest(QueryRequest& request) {
    request.kind = QueryKind::LargestFiles;
    request.nLargest = kRowCount;
    return true;
}
