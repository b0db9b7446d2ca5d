#pragma once
// How the list's columns order their rows. Every rule compares values taken from the
// rows before the sort starts, never texts read back while the rows move.

#include <cstdint>
#include <string>

// What a column compares by.
enum class SortKind {
    Text,  // case-insensitive bytes (CompareNoCase)
    Size,  // a size text read back into kilobytes
    Time,  // the entry's last-write time
    Count, // a whole number
};

// The rule of column `nColumn` in the folder layout (Name, Size, Type, Date, Folders,
// Files) or the drive layout (Name, Size, Free Space). Free Space is a size, not a text;
// Date is a time, not its displayed text.
SortKind SortKindOfColumn(int nColumn, bool bDriveView);

// The direction a header click sorts in: descending for a column other than the one
// last sorted on, the opposite of the last direction for the same column.
bool NextSortDescending(int nClickedColumn, int nLastColumn, bool bLastDescending);

// One row's value in the sorted column, captured before the sort.
struct SortValue {
    std::string text; // Text
    int64_t number;   // Size (kilobytes), Time (seconds), Count
};

// The value a row's cell text gives under `kind`; Time values come from the listing,
// not from the text, so for Time this gives 0 and the caller sets the number.
SortValue CaptureSortValue(SortKind kind, const std::string& cellText);

// Negative when the first row goes before the second. Equal values compare equal.
int CompareSortValues(SortKind kind, const SortValue& a, const SortValue& b, bool bDescending);

// A Folders or Files cell as a whole number ("%ld" texts; anything else is 0, as atoi).
int64_t ParseCountText(const std::string& text);
