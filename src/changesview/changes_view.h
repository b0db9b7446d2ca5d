#pragma once
// CChangesView: the Changes pane: the last changes seen on disk beneath the shown folder
// (the document's change log, at most its capacity, the oldest going first): Time, Path,
// Kind and Size change, newest first; a header click sorts by that column. The strip above
// it turns the list into what grew the most in the last minute, one row a path. A
// double-click (or Enter) shows the entry: its folder opens through the navigator and the
// entry is selected there.
//
// The rows name the log's changes (the log moves on while they show: one whose change has
// left it shows no path) and are made again once the document has applied changes, at
// most four times a second.

#include <cstdint>
#include <string>
#include <vector>

#include "change_rows.h"
#include "dirscope_doc.h"
#include "grew_most_strip.h"
#include "list_view.h"

class CChangesView : public CListView {
    DECLARE_DYNCREATE(CChangesView)
    DECLARE_MESSAGE_MAP()
public:
    enum Column { kTime, kPath, kKind, kBytes, kColumnCount };
    // The span "grew the most" looks back on.
    static constexpr int64_t kGrewSeconds = 60;

    CDirscopeDoc* GetDocument() const { return static_cast<CDirscopeDoc*>(m_pDocument); }
    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    const std::vector<ChangeRow>& Rows() const { return m_rows; }
    CGrewMostStrip& Strip() { return m_strip; }
    // Shows row nItem's entry in its folder.
    void OpenRow(int nItem);
    // Makes the rows again from the log.
    void Refill();

protected:
    void OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);
    void OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDblClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnReturn(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDestroy();
    void OnTimer(UINT_PTR nIDEvent);

private:
    // Refill, at once or, when the rows were made moments ago, a little later.
    void RefillPaced();
    std::string CellText(int nItem, int nColumn) const;

    std::vector<ChangeRow> m_rows;
    uint64_t m_nShownAdded = 0; // the log's count of changes when the rows were made
    int m_nSortColumn = kTime;
    bool m_bAscending = false;
    std::string m_cellText; // the cell handed to the list last
    DWORD m_nRefilledAt = 0;
    bool m_bRefillDue = false; // a refill waits for its timer
    CGrewMostStrip m_strip;
};
