#pragma once
// CQueryView: a list that shows the answer to a question asked of the document's snapshot
// beneath the shown folder (the largest files, the file types, a search). The question is
// asked on the view's own worker, newest request wins, whenever the folder shown or what
// the snapshot holds of it changes; the answer is taken on the user-interface thread.
//
// The snapshot is lent to the worker: at the document's SnapshotChanging hint the worker
// lets go and the answer goes (it names files by their place in the snapshot). A folder
// the snapshot does not hold yet (its scan still runs) is asked about once the scan ends.
// In the drive overview, and while a folder is listed, the list is empty.

#include <atomic>
#include <optional>
#include <string>

#include "dirscope_doc.h"
#include "list_view.h"
#include "query_worker.h"

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

    static constexpr UINT WM_QUERY_READY = WM_APP + 0x120;

protected:
    // Asks the question again, of what the document shows now.
    void Ask();
    // What to ask; false when there is nothing to ask.
    virtual bool MakeRequest(QueryRequest& request) = 0;
    // The answer arrived; it is the view's now.
    virtual void ShowAnswer(QueryAnswer answer) = 0;
    // The answer shown goes (another folder, or the snapshot changes).
    virtual void ClearAnswer() = 0;
    // The model's selection changed.
    virtual void OnModelSelection() {}
    // The model's file type changed.
    virtual void OnModelTypeSelection() {}

    void OnDestroy();
    LRESULT OnQueryReady(WPARAM wParam, LPARAM lParam);

    QueryWorker& Worker() { return m_worker; }
    // The worker lets go of the snapshot; the answer goes.
    void Drop();
    // The snapshot and the shown folder's index in it, when the snapshot holds the folder.
    bool HeldTop(const FolderSnapshot*& pSnapshot, FolderSnapshot::Index& top) const;

private:
    // The pane holding the view is shown (its bar, docked or floating).
    bool IsPaneShown() const;

    bool m_bAsking = false;
    bool m_bStale = false; // a question was due while the pane was hidden
    unsigned m_nGeneration = 0;
    const FolderSnapshot* m_pAsked = nullptr;
    FolderSnapshot::Index m_askedTop = FolderSnapshot::kNone;
    const FolderSnapshot* m_pAnswered = nullptr;
    FolderSnapshot::Index m_answeredTop = FolderSnapshot::kNone;
    std::atomic<HWND> m_hWndReady{nullptr}; // where the worker posts; null once destroyed
    QueryWorker m_worker;                   // last: stopped before anything it reports into goes
};
