#pragma once
// CLargestFilesView: the Largest Files pane's list, the largest files anywhere beneath
// the shown folder (the first kRowCount), largest first.

#include "file_list_view.h"

class CLargestFilesView : public CFileListView {
    DECLARE_DYNCREATE(CLargestFilesView)
public:
    static constexpr size_t kRowCount = 1000;

protected:
    bool MakeRequest(QueryRequest& request) override;
};
