#pragma once
// CQueryView: a list that shows the answer to a question asked of the document's snapshot
// beneath the shown folder (the largest files, the file types, a search). The question is
// asked on the view's own worker, newest request wins, whenever the folder shown or what
// the snapshot holds of it changes; the answer is taken on the user-interface thread.
//
// The snapshot is lent to the worker: at the document's SnapshotChanging hint the worker
// lets go and the answer goes (it names files by their place in the snapshot). While the
// shown folder's scan still runs, the question is asked of what is final so far (the folder's
// own files and the subfolders the scan has finished, in the scan's own recording), again as
// more becomes final but a few times a second at most, and of everything once the scan ends.
// In the drive overview, and while a folder is listed, the list is empty.

#include <atomic>
#include <optional>
#include <string>

#include "dirscope_doc.h"
#include "list_view.h"
#include "query_worker.h"
#include "shell_lookups.h"

class CQueryView : public CListView {
    DECLARE_DYNAMIC(CQueryView)
    DECLARE_MESSAGE_MAP()
public:
    CQueryView();
    ~CQueryView() override;

    CDirscopeDoc* GetDocument() const { return static_cast<CDirscopeDoc*>(m_pDocument); }
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnDraw(HDC) override {}

    // The pane shows again: the question it skipped while hidden is asked now.
    void OnPaneShown();
    // The answer to the newest question is shown (or there is nothing to ask).
    bool IsAnswerCurrent() const { return !m_bAsking && !m_bStale; }
    // The snapshot and folder the answer shown was asked of (null: none shown).
    const FolderSnapshot* AnsweredSnapshot() const { return m_pAnswered; }
    FolderSnapshot::Index AnsweredTop() const { return m_answeredTop; }
    // Every cell drawn so far has the shell's answers.
    bool AreCellsComplete() const { return m_shell.IsIdle(); }

    static constexpr UINT WM_QUERY_READY = WM_APP + 0x120;
    static constexpr UINT WM_SHELL_ANSWERS = WM_APP + 0x121;

protected:
    // Asks the question again, of what the document shows now.
    void Ask();
    // What to ask; false when there is nothing to ask.
    virtual bool MakeRequest(QueryRequest& request) = 0;
    // While the document compares: the older scan and its folder go with the request; false
    // when it does not compare.
    bool AskAboutOlder(QueryRequest& request) const;
    // The answer arrived; it is the view's now.
    virtual void ShowAnswer(QueryAnswer answer) = 0;
    // The answer shown goes (another folder, or the snapshot changes).
    virtual void ClearAnswer() = 0;
    // The model's selection changed.
    virtual void OnModelSelection() {}
    // The model's file type changed.
    virtual void OnModelTypeSelection() {}

    void OnDestroy();
    void OnTimer(UINT_PTR nIDEvent);
    LRESULT OnQueryReady(WPARAM wParam, LPARAM lParam);

    LRESULT OnShellAnswers(WPARAM wParam, LPARAM lParam);

    QueryWorker& Worker() { return m_worker; }
    // The shell's type names and icons, asked on a thread of their own once while the folder
    // is shown (not at every paint nor every answer); a cell drawn before its answer is drawn
    // again when the answer comes.
    CShellLookups& Shell() { return m_shell; }
    // The worker lets go of the snapshot; the answer goes.
    void Drop();
    // What can be asked about now: the document's snapshot beneath the shown folder when it
    // holds the folder, or what is final of it so far while its scan runs.
    bool AskableScope(const FolderSnapshot*& pSnapshot, SnapshotScope& scope);

private:
    // The pane holding the view is shown (its bar, docked or floating).
    bool IsPaneShown() const;
    // More is final of the running scan: asked now, or once the pace allows.
    void AskPaced();
    void StopPacing();

    static constexpr UINT_PTR kPaceTimer = 1;
    static constexpr DWORD kPaceMs = 250; // a running scan's questions: four a second at most

    bool m_bAsking = false;
    bool m_bStale = false;       // a question was due while the pane was hidden
    bool m_bPaceWaiting = false; // the pace timer runs: the question waits for it
    DWORD m_nLastPacedTick = 0;  // when the last question for more of a running scan went
    unsigned m_nGeneration = 0;
    const FolderSnapshot* m_pAsked = nullptr;
    FolderSnapshot::Index m_askedTop = FolderSnapshot::kNone;
    const FolderSnapshot* m_pAnswered = nullptr;
    FolderSnapshot::Index m_answeredTop = FolderSnapshot::kNone;
    std::atomic<HWND> m_hWndReady{nullptr}; // where the worker posts; null once destroyed
    CShellLookups m_shell;
    QueryWorker m_worker; // last: stopped before anything it reports into goes
};
