#pragma once
// CFileTypesView: the File Types pane's list, and the treemap's legend: one row per file
// type (extension) beneath the shown folder, most bytes first, with a swatch of the
// colour the treemap paints it in, the extension, the shell's type name, the bytes, the
// share of the folder's files' bytes (with a bar) and the number of files.
//
// Choosing a row selects its type in the model and lights its tiles in the treemap; a
// type selected elsewhere (a file's tile clicked) selects its row. While the document
// compares the folder with a saved scan, a Change column shows each type's growth.

#include <string>
#include <vector>

#include "query_view.h"

class CFileTypesView : public CQueryView {
    DECLARE_DYNCREATE(CFileTypesView)
    DECLARE_MESSAGE_MAP()
public:
    enum Column { kExtension, kType, kSize, kShare, kFiles, kChange, kColumnCount };

    // The rows, most bytes first.
    const std::vector<TypeTotal>& Rows() const { return m_rows; }
    // The row of the type `key`, or -1.
    int FindType(const std::string& key) const;
    // Selects row nItem alone (-1: none), as a click on it does.
    void SelectRow(int nItem);

    bool PreCreateWindow(CREATESTRUCTA& cs) override;

    void OnInitialUpdate() override;

protected:
    bool MakeRequest(QueryRequest& request) override;
    void ShowAnswer(QueryAnswer answer) override;
    void ClearAnswer() override;
    void OnModelTypeSelection() override;

    void OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);
    void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);

private:
    std::string CellText(int nItem, int nColumn);
    // The swatch and the extension of a row's first cell.
    void DrawExtensionCell(const NMLVCUSTOMDRAW& draw);
    void SetRowState(int nItem);
    // The Change column and each row's bytes then, while the document compares.
    void ShowComparison();

    std::vector<TypeTotal> m_rows;
    std::vector<int64_t> m_bytesThen;  // by row, while comparing: -1 for a new type
    int64_t m_nTotalBytes = 0;         // of every row, for the bars
    bool m_bApplyingSelection = false; // the model's type is being put on the rows
    std::string m_cellText;            // the cell handed to the list last
};
