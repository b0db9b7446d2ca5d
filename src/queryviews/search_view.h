#pragma once
// CSearchView: the Search pane: the files beneath the shown folder whose name matches a
// pattern, of at least a size, modified within dates, found in the snapshot (never on the
// disk). The criteria strip (CSearchCriteriaBar) sits above the list; the search is asked
// again once typing pauses, when the folder shown changes and when its scan ends. Its
// status line says how many files were found and their bytes, why a criterion is not
// valid (the list is then empty), or how far a long search has come, with Stop.
//
// With no criteria at all nothing is asked and the list is empty: every file is no answer.

#include <string>

#include "file_list_view.h"
#include "search_criteria_bar.h"

class CSearchView : public CFileListView {
    DECLARE_DYNCREATE(CSearchView)
    DECLARE_MESSAGE_MAP()
public:
    void OnInitialUpdate() override;
    // The caret in the name box.
    void FocusPattern();
    CSearchCriteriaBar& Criteria() { return m_criteria; }

    // What the status line says when nothing is asked.
    static constexpr char kNothingAsked[] = "Type a name or pattern, a size or a date.";
    static constexpr char kStopped[] = "Search stopped.";

protected:
    bool MakeRequest(QueryRequest& request) override;
    void ShowAnswer(QueryAnswer answer) override;
    void ClearAnswer() override;
    void OnDestroy();

private:
    void StopSearch();
    // While a search is in work: how far it has come, and Stop.
    void ShowProgress();

    // Why the newest question was not asked; the status line shows it once the list empties.
    std::string m_strNotAsked = kNothingAsked;
    bool m_bNotAskedProblem = false;
    CSearchCriteriaBar m_criteria;
};
