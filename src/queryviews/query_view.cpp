#include "query_view.h"

#include <utility>

IMPLEMENT_DYNAMIC(CQueryView, CListView)

BEGIN_MESSAGE_MAP(CQueryView, CListView)
    ON_WM_DESTROY()
    ON_WM_TIMER()
    ON_MESSAGE(WM_QUERY_READY, OnQueryReady)
    ON_MESSAGE(WM_SHELL_ANSWERS, OnShellAnswers)
END_MESSAGE_MAP()

CQueryView::CQueryView()
    : m_worker([this] {
          // Posted, never sent: the worker never waits for this thread.
          if (const HWND hWnd = m_hWndReady.load())
              ::PostMessageA(hWnd, WM_QUERY_READY, 0, 0);
      }) {}

CQueryView::~CQueryView() = default;

void CQueryView::OnInitialUpdate() {
    // The list control is subclassed once made, so it never sees its own WM_CREATE.
    m_hWndReady = m_hWnd;
    m_shell.Start(m_hWnd, WM_SHELL_ANSWERS);
    CListView::OnInitialUpdate();
}

void CQueryView::OnDestroy() {
    m_hWndReady = nullptr;
    StopPacing();
    m_worker.Cancel();
    m_shell.Stop();
    CListView::OnDestroy();
}

LRESULT CQueryView::OnShellAnswers(WPARAM, LPARAM) {
    if (m_shell.TakeAnswers())
        Invalidate();
    return 0;
}

void CQueryView::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != kPaceTimer) {
        Default();
        return;
    }
    StopPacing();
    m_nLastPacedTick = ::GetTickCount();
    Ask();
}

void CQueryView::StopPacing() {
    if (m_bPaceWaiting)
        KillTimer(kPaceTimer);
    m_bPaceWaiting = false;
}

void CQueryView::AskPaced() {
    if (m_bPaceWaiting)
        return; // the timer asks, of everything final by then
    const DWORD nSince = ::GetTickCount() - m_nLastPacedTick;
    if (nSince >= kPaceMs) {
        m_nLastPacedTick = ::GetTickCount();
        Ask();
        return;
    }
    m_bPaceWaiting = SetTimer(kPaceTimer, kPaceMs - nSince) != 0;
    if (!m_bPaceWaiting)
        Ask();
}

void CQueryView::OnUpdate(CView*, LPARAM lHint, CObject*) {
    switch (static_cast<ModelHint>(lHint)) {
    case ModelHint::Cleared:
    case ModelHint::SnapshotChanging:
        Drop();
        break;
    case ModelHint::Shown:
        Ask();
        m_nLastPacedTick = ::GetTickCount() - kPaceMs; // the scan's first results go at once
        break;
    case ModelHint::Finished:
        Ask();
        break;
    case ModelHint::Selection:
        OnModelSelection();
        break;
    case ModelHint::TypeSelection:
        OnModelTypeSelection();
        break;
    case ModelHint::Totals:
        AskPaced();
        break;
    case ModelHint::Comparison:
    case ModelHint::Measure:
        Ask();
        break;
    case ModelHint::ComparisonRead:
    case ModelHint::ScanOpened:
    case ModelHint::LevelEdited: // the Totals that follows tells
    case ModelHint::Removed:     // the fresh listing that follows tells
        break;
    }
}

void CQueryView::Drop() {
    StopPacing();
    m_worker.Cancel();
    m_bAsking = false;
    m_bStale = false;
    m_pAsked = m_pAnswered = nullptr;
    m_askedTop = m_answeredTop = FolderSnapshot::kNone;
    ClearAnswer();
}

bool CQueryView::AskableScope(const FolderSnapshot*& pSnapshot, SnapshotScope& scope) {
    CDirscopeDoc* pDoc = GetDocument();
    if (!pDoc || pDoc->IsDriveOverview() || pDoc->IsListing() || pDoc->ListedFolderPath().empty())
        return false;
    const FolderSnapshot& snapshot = pDoc->Snapshot();
    const FolderSnapshot::Index top = snapshot.Find(pDoc->ListedFolderPath());
    if (top != FolderSnapshot::kNone && snapshot.IsHeld(top)) {
        pSnapshot = &snapshot;
        scope = SnapshotScope(top);
        return true;
    }
    return pDoc->ScanController().FinalSoFar(pSnapshot, scope);
}

bool CQueryView::AskAboutOlder(QueryRequest& request) const {
    const CDirscopeDoc* pDoc = GetDocument();
    if (!pDoc || !pDoc->IsComparing())
        return false;
    request.older = pDoc->Comparison().OlderSnapshot();
    request.olderTop = pDoc->Comparison().OlderShown();
    return true;
}

bool CQueryView::IsPaneShown() const {
    // The view sits in its pane's own frame, over the bar.
    const HWND hBar = ::GetParent(::GetParent(m_hWnd));
    return hBar && (::GetWindowLongA(hBar, GWL_STYLE) & WS_VISIBLE);
}

void CQueryView::OnPaneShown() {
    if (m_bStale)
        Ask();
}

void CQueryView::Ask() {
    // A hidden pane asks nothing; it asks once it shows.
    m_bStale = !IsPaneShown();
    if (m_bStale) {
        Drop();
        m_bStale = true;
        return;
    }
    StopPacing();
    QueryRequest request;
    if (!AskableScope(request.snapshot, request.scope) || !MakeRequest(request)) {
        Drop();
        return;
    }
    request.measure = GetDocument()->Measure();
    request.generation = ++m_nGeneration;
    m_pAsked = request.snapshot;
    m_askedTop = request.scope.top;
    m_bAsking = true;
    m_worker.Submit(std::move(request));
}

LRESULT CQueryView::OnQueryReady(WPARAM, LPARAM) {
    std::optional<QueryAnswer> answer = m_worker.Take();
    if (!answer || !m_bAsking || answer->generation != m_nGeneration)
        return 0; // asked for a question since replaced
    m_bAsking = false;
    m_pAnswered = m_pAsked;
    m_answeredTop = m_askedTop;
    ShowAnswer(std::move(*answer));
    return 0;
}
