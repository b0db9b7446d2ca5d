#pragma once
// The list's two column layouts: a folder's (Name, Size, Type, Date, Folders, Files, and
// Change while the folder is compared with a saved scan) and the drive overview's (Name,
// Size, Free Space).

#include "list_view.h"

constexpr int kNameColumn = 0; // both layouts
constexpr int kSizeColumn = 1; // both layouts
constexpr int kTypeColumn = 2;
constexpr int kDateColumn = 3;
constexpr int kFoldersColumn = 4;
constexpr int kFilesColumn = 5;
constexpr int kChangeColumn = 6;    // while comparing
constexpr int kFreeSpaceColumn = 2; // the drive overview's

// Replaces the list's columns with those of the folder or the drive layout.
void SetLayoutColumns(const CListCtrl& list, bool bDriveView);

// Adds the folder layout's Change column, or takes it away.
void ShowChangeColumn(const CListCtrl& list, bool bShow);

// The header's sort arrow on `nColumn` (up for ascending, down for descending), and on no
// other column; -1 for none.
void ShowSortArrow(const CListCtrl& list, int nColumn, bool bDescending);
// The column whose header shows a sort arrow, and its direction; -1 for none.
int SortArrowColumn(const CListCtrl& list, bool& bDescending);
