#pragma once
// What every query pane's list does alike: its columns, put in once, and a selection
// that is one row or none.

#include <cstddef>

#include "list_view.h"

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
