#pragma once
// The list's rows as the view adds them. Each row is numbered for good by its item
// parameter, in the order it was added; the values a sort compares (exact bytes, times)
// are kept here by that number, since the list holds only their texts and cannot be read
// while it moves its rows.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "list_view.h"

class CListRows {
public:
    // The values a row's sort compares beside its texts.
    struct Values {
        int64_t tModified = 0; // last-write time (seconds)
        int64_t nBytes = 0;    // the Size column's exact bytes; 0 while the cell is empty
        int64_t nFree = 0;     // the drive overview's Free Space
        int64_t nChange = 0;   // the Change column's signed bytes
        bool bGone = false;    // an entry only the older scan of a comparison has
    };

    // Forgets every row's values; the caller deletes the list's rows.
    void Clear() { m_values.clear(); }
    // Adds a row at the end of `list` with its name and image, numbered `id` even when the
    // list refused it (so the n-th subfolder's row is always number n). The row's index,
    // or -1.
    int Insert(const CListCtrl& list, size_t id, const char* pszName, int nImage,
               const Values& values);
    // The rows are numbered afresh: row number n becomes `newIds[n]`, or goes (from `list`
    // too) when that is SIZE_MAX; `count` numbers are known then.
    void Renumber(const CListCtrl& list, const std::vector<size_t>& newIds, size_t count);
    // The Size column's bytes of row number `id` (a subfolder's total, once known).
    void SetBytes(size_t id, int64_t nBytes);
    // The last-write time of row number `id`.
    void SetModified(size_t id, int64_t tModified);
    // The Change column's signed bytes of row number `id`.
    void SetChange(size_t id, int64_t nChange);
    // Deletes every row numbered `count` or above, from `list` too.
    void Truncate(const CListCtrl& list, size_t count);
    size_t Count() const { return m_values.size(); }
    // The index of row number `id`, or -1. Looked for where it was added first, so a list
    // nobody sorted costs one message.
    int FindRow(const CListCtrl& list, size_t id) const;
    // Sorts the rows by a column of the folder (or, `bDriveView`, the drive) layout.
    void Sort(const CListCtrl& list, int nColumn, bool bDriveView, bool bDescending) const;
    // The values of row number `id`, or null.
    const Values* ValuesOf(size_t id) const {
        return id < m_values.size() ? &m_values[id] : nullptr;
    }

    // The number of the row at index nItem; SIZE_MAX for no such row.
    static size_t IdOf(const CListCtrl& list, int nItem);

private:
    std::vector<Values> m_values; // by row number
};
