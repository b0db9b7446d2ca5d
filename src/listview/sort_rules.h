#pragma once
// How the list's columns order their rows. Every rule compares values taken from the
// rows before the sort starts, never texts read back while the rows move.

#include <cstdint>
#include <string>

// What a column compares by.
enum class SortKind {
    Text,  // case-insensitive bytes (CompareNoCase)
    Size,  // the row's exact bytes, kept by the view (never the rounded text)
    Time,  // the entry's last-write time
    Count, // a whole number
};

// The rule of column `nColumn` in the folder layout (Name, Size, Type, Date, Folders,
// Files, Change) or the drive layout (Name, Size, Free Space). Free Space is a size, not a text;
// Date is a time, not its displayed text.
SortKind SortKindOfColumn(int nColumn, bool bDriveView);

// The direction a header click sorts in: descending for a column other than the one
// last sorted on, the opposite of the last direction for the same column.
bool NextSortDescending(int nClickedColumn, int nLastColumn, bool bLastDescending);

// One row's value in the sorted column, captured before the sort.
struct SortValue {
    std::string text;  // Text
    int64_t number;    // Size (bytes), Time (seconds), Count
    int nPosition = 0; // the row's index before the sort
};

// The value a row's cell text gives under `kind`. Size and Time values come from what
// the view keeps for the row, not from the text, so for them this gives 0 and the
// caller sets the number.
SortValue CaptureSortValue(SortKind kind, const std::string& cellText);

// Negative when the first row goes before the second. Equal values compare equal.
int CompareSortValues(SortKind kind, const SortValue& a, const SortValue& b, bool bDescending);

// The order of two rows in a sort: by their values, and rows whose values are equal
// by where they stood before, in either direction, so a sort never shuffles equal rows
// (the list's own sort promises no order for them).
int CompareSortRows(SortKind kind, const SortValue& a, const SortValue& b, bool bDescending);

// A Folders or Files cell as a whole number ("%ld" texts; anything else is 0, as atoi).
int64_t ParseCountText(const std::string& text);
