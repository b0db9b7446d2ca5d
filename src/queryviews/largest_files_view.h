#pragma once
// CLargestFilesView: the Largest Files pane's list, the largest files anywhere beneath
// the shown folder (the first kRowCount), largest first. While the document compares the
// folder with a saved scan, the Change column's header orders them by largest growth
// instead (the files that grew most, new ones by all they hold), and the Size column's
// header back by size.

#include "file_list_view.h"

class CLargestFilesView : public CFileListView {
    DECLARE_DYNCREATE(CLargestFilesView)
public:
    static constexpr size_t kRowCount = 1000;

    // The files that grew most are asked for (while comparing).
    bool IsGrowthOrder() const { return m_bGrowth; }

protected:
    bool MakeRequest(QueryRequest& request) override;
    void OnSortColumnChosen(int nColumn) override;

private:
    bool m_bGrowth = false;
};
