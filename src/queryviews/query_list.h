#pragma once
// What every query pane's list does alike: its columns, put in once, a selection that is
// one row or none, and a file of a row shown where it lies.

#include <cstddef>
#include <string>

#include "list_view.h"

class CDirscopeDoc;

struct QueryColumn {
    const char* title;
    int nFormat; // LVCFMT_LEFT or LVCFMT_RIGHT
    int nWidth;
};

// Puts the columns in a report list that has none yet, its rows selected whole.
void InsertQueryColumns(CListCtrl list, const QueryColumn* pColumns, size_t nCount);

template <size_t N> void InsertQueryColumns(CListCtrl list, const QueryColumn (&columns)[N]) {
    InsertQueryColumns(list, columns, N);
}

// Row nItem alone is selected and focused (-1: none is), and scrolled into sight.
void SelectOnlyRow(CListCtrl list, int nItem);

// Shows `folder` through the navigator, then selects the file at `path` (which it holds) in
// every view showing it.
void ShowFileInFolder(CDirscopeDoc* pDoc, const std::string& folder, const std::string& path);
