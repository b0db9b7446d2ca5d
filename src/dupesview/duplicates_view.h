#pragma once
// CDuplicatesView: the Duplicates pane: the files beneath a folder whose bytes are the same,
// found on request (Find Duplicates, in the pane or the View menu) for the folder shown. The
// candidates come from the document's snapshot (sizes first); the files are read on worker
// threads (DuplicatesWorker) while the strip above the list shows the bytes read of the
// bytes to read, with Stop. A Find asked while the folder is still scanned starts when its
// scan has finished.
//
// One row per file, the groups most waste first: a Group column numbers them and every other
// group is drawn on a tinted band, so each row is a file (selection, Delete and the keyboard
// never meet a row that is no file). The list is kept by path: it stays while other folders
// are shown, until the next Find.
//
// A row is an entry of the model: choosing it selects the file everywhere; Enter or a
// double-click shows its folder with the file selected. Delete sends the selected files to
// the Recycle Bin through the shell and takes them out of their groups; it never deletes
// every copy of a group in one go: such a selection is refused with a message saying so.

#include <string>
#include <vector>

#include "dirscope_doc.h"
#include "duplicates_strip.h"
#include "duplicates_worker.h"
#include "list_view.h"

class CDuplicatesView : public CListView {
    DECLARE_DYNCREATE(CDuplicatesView)
    DECLARE_MESSAGE_MAP()
public:
    enum Column { kGroup, kName, kSize, kDate, kFolder, kColumnCount };

    CDuplicatesView();
    ~CDuplicatesView() override;

    CDirscopeDoc* GetDocument() const { return static_cast<CDirscopeDoc*>(m_pDocument); }
    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnDraw(HDC) override {}

    // Searches beneath the folder shown (or once its scan has finished).
    void Find();
    // A folder of this computer is shown: there is something to search.
    bool CanFind() const;
    // Nothing is searched or waited for.
    bool IsIdle() const;
    const FoundDuplicates& Result() const { return m_found; }
    CDuplicatesStrip& Strip() { return m_strip; }
    // Deletes the selected rows' files, as the Delete key does.
    void DeleteSelected();
    // Shows the folder of row nItem's file with the file selected.
    void OpenRow(int nItem);

    // What the Delete key answers when every copy of a group is chosen.
    static constexpr char kKeepOneCopy[] =
        "Every copy of a group is selected. Keep at least one copy: leave one of them out "
        "and delete again.";

    static constexpr UINT WM_DUPLICATES_READY = WM_APP + 0x130;

protected:
    void OnDestroy();
    LRESULT OnDuplicatesReady(WPARAM wParam, LPARAM lParam);
    void OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);
    void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDblClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnReturn(NMHDR* pNMHDR, LRESULT* pResult);
    void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);

private:
    // Starts the search of m_strAsked when the snapshot holds it whole, else waits for its
    // scan to finish.
    void TryStart();
    void StopSearch();
    // The strip: how far the search has come, or what was found.
    void ShowProgress();
    void ShowFound();
    // The rows follow m_found; the model's selection is put on them again.
    void SetRows();
    void ApplyModelSelection();
    std::string CellText(int nItem, int nColumn) const;
    std::vector<size_t> SelectedRows() const;

    FoundDuplicates m_found;
    std::string m_strAsked;         // the folder searched, or waited for
    bool m_bWaitingForScan = false; // m_strAsked is searched once its scan has finished
    bool m_bApplyingSelection = false;
    std::string m_cellText;
    CDuplicatesStrip m_strip;
    std::atomic<HWND> m_hWndReady{nullptr}; // where the workers post; null once destroyed
    DuplicatesWorker m_worker;              // last: stopped before anything it reports into goes
};
