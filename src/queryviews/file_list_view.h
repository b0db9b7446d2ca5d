#pragma once
// CFileListView: a pane's list of files of the snapshot beneath the shown folder (the
// largest files, the files a search found): Name with the shell's icon, Size, Type, Date,
// and the Folder that holds it, relative to the shown folder. The list is virtual: each
// row is an index into the snapshot, 8 bytes, and its cells are made as they are drawn.
// A header click sorts by that column. What to ask is the pane's own.
//
// A row is an entry of the model: choosing it selects the file everywhere; Enter or a
// double-click shows its folder with the file selected; Delete deletes the selected files,
// and the shell's context menu offers the rest (Copy among them).
//
// The shell's type names and icons cost tens of milliseconds per extension (under Wine):
// a cell whose answer is not known yet is drawn without it, the shell is asked on a
// thread of its own, and the cells fill in as its answers come.

#include <string>
#include <unordered_map>
#include <vector>

#include "query_view.h"
#include "shell_menu_owner.h"

class CFileListView : public CQueryView {
    DECLARE_DYNAMIC(CFileListView)
    DECLARE_MESSAGE_MAP()
public:
    // Change: while comparing with a saved scan, when the answer tells each file's bytes then.
    enum Column { kName, kSize, kType, kDate, kFolder, kChange, kColumnCount };

    // The rows, in the order shown.
    const std::vector<FileRef>& Rows() const { return m_rows; }
    // The full path of row nItem's file; "" for no such row.
    std::string PathOfRow(int nItem) const;
    // Shows the folder of row nItem's file with the file selected.
    void OpenRow(int nItem);
    // Deletes the selected rows' files, as the Delete key does.
    void DeleteSelected();

    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    void OnInitialUpdate() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // The answer's files become the rows.
    void ShowAnswer(QueryAnswer answer) override;
    void ClearAnswer() override;
    void OnModelSelection() override;

    void OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);
    void OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDblClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnReturn(NMHDR* pNMHDR, LRESULT* pResult);
    void OnRightClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    // A header click chose the column the rows are sorted by.
    virtual void OnSortColumnChosen(int /*nColumn*/) {}

private:
    // The text of a cell; the name's icon goes to `pImage` when asked.
    std::string CellText(int nItem, int nColumn, int* pImage);
    void SortRows();
    void SetRowCount();
    std::vector<int> SelectedRows() const;
    // The icon of row nItem's file, a plain file's until the shell has answered.
    int IconOfRow(int nItem);

    std::vector<FileRef> m_rows;
    SizeMeasure m_measure = SizeMeasure::Bytes; // of the Size column, as the answer was asked
    std::unordered_map<uint64_t, int64_t> m_bytesThen; // while comparing: by file, -1: new
    int m_nSortColumn = kSize;
    bool m_bSortDescending = true;
    bool m_bApplyingSelection = false; // the model's selection is being put on the rows
    std::string m_cellText;            // the cell handed to the list last
    int m_nPlaceholderIcon = 0;        // a plain file's icon, until a file's own is known
    CShellMenuOwner m_shellMenu;
};
