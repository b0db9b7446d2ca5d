#pragma once
// The list's size bars: a cell of a report-mode list painted with a bar of its row's share of
// a total behind the cell's own text, right-aligned as the column has it.

#include <cstdint>

#include "list_view.h"

// Paints cell (draw.nmcd.dwItemSpec, nColumn) of `list` for a custom draw of that subitem:
// its background (the highlight for a selected row of the focused list), a bar of
// nBytes / nTotal of its width, and its text.
void DrawSizeBarCell(const CListCtrl& list, const NMLVCUSTOMDRAW& draw, int nColumn, int64_t nBytes,
                     int64_t nTotal);
