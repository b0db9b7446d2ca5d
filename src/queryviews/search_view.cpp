#include "search_view.h"

#include <cstdio>
#include <utility>

#include "size_text.h"

namespace {

constexpr UINT kCriteriaBarID = 1;

// "1 file, 4.0 KB", "12 files, 1.2 GB" ("12 files, 1.3 GB on disk").
std::string FoundText(size_t nFiles, int64_t nBytes, SizeMeasure measure) {
    return std::to_string(nFiles) + (nFiles == 1 ? " file, " : " files, ") + FormatSize(nBytes) +
           (measure == SizeMeasure::OnDisk ? " on disk" : "");
}

} // namespace

IMPLEMENT_DYNCREATE(CSearchView, CFileListView)

BEGIN_MESSAGE_MAP(CSearchView, CFileListView)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

void CSearchView::OnInitialUpdate() {
    // The strip joins the pane's frame above the list before the list says anything.
    if (!m_criteria.m_hWnd) {
        CFrameWnd* pFrame = GetParentFrame();
        SearchCriteriaEvents events;
        events.onChanged = [this] { Ask(); };
        events.onStop = [this] { StopSearch(); };
        events.onTick = [this] { ShowProgress(); };
        if (pFrame && m_criteria.Create(pFrame, std::move(events), kCriteriaBarID))
            pFrame->RecalcLayout();
    }
    CFileListView::OnInitialUpdate();
}

void CSearchView::OnDestroy() {
    if (m_criteria.m_hWnd)
        m_criteria.DestroyWindow();
    CFileListView::OnDestroy();
}

void CSearchView::FocusPattern() {
    if (m_criteria.m_hWnd)
        m_criteria.FocusPattern();
}

bool CSearchView::MakeRequest(QueryRequest& request) {
    if (!m_criteria.m_hWnd)
        return false;
    SearchCriteria criteria;
    std::string error;
    if (!ReadSearchInput(m_criteria.Input(), criteria, error)) {
        m_strNotAsked = error;
        m_bNotAskedProblem = true;
        return false;
    }
    if (!AsksAnything(criteria)) {
        m_strNotAsked = kNothingAsked;
        m_bNotAskedProblem = false;
        return false;
    }
    request.kind = QueryKind::Search;
    request.criteria = std::move(criteria);
    // A long search says how far it has come once the first tick finds it still at work.
    m_criteria.StartTicking();
    return true;
}

void CSearchView::ShowAnswer(QueryAnswer answer) {
    m_criteria.StopTicking();
    if (!answer.error.empty()) {
        // The pattern is not valid: nothing is found, the status line says why.
        CFileListView::ClearAnswer();
        m_criteria.SetStatus(answer.error, true, false);
        return;
    }
    const std::string found = FoundText(answer.files.size(), answer.nBytes, answer.measure);
    CFileListView::ShowAnswer(std::move(answer));
    m_criteria.SetStatus(found, false, false);
}

void CSearchView::ClearAnswer() {
    CFileListView::ClearAnswer();
    if (!m_criteria.m_hWnd)
        return;
    m_criteria.StopTicking();
    // What was not asked says why once; a folder changing meanwhile asks afresh.
    m_criteria.SetStatus(m_strNotAsked, m_bNotAskedProblem, false);
    m_strNotAsked.clear();
    m_bNotAskedProblem = false;
}

void CSearchView::StopSearch() {
    if (IsAnswerCurrent())
        return;
    m_strNotAsked = kStopped;
    m_bNotAskedProblem = false;
    Drop();
}

void CSearchView::ShowProgress() {
    if (IsAnswerCurrent()) {
        m_criteria.StopTicking();
        return;
    }
    char text[48];
    std::snprintf(text, sizeof text, "Searching... %d %%",
                  static_cast<int>(Worker().Progress() * 100.0));
    m_criteria.SetStatus(text, false, true);
}
