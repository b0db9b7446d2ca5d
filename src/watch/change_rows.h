#pragma once
// The rows the Changes pane shows, made from the change log: every change kept, or what grew
// the most in a recent span (one row per path, its changes summed); ordered by any column.
// A row names its change by the log's number for it, so that ten thousand rows are made and
// sorted again without copying a path.

#include <cstdint>
#include <string>
#include <vector>

#include "change_log.h"

enum class ChangeColumn { Time, Path, Kind, Bytes };

struct ChangeRow {
    uint64_t change = 0;   // the log's number of the change shown (of a growth: its path's last)
    int64_t time = 0;      // seconds since 1970-01-01 00:00 UTC
    const char* kind = ""; // the word the pane shows
    int64_t bytes = 0;     // what it added to the folders above (negative: took away)
};

// Every change the log keeps, oldest first.
std::vector<ChangeRow> AllChangeRows(const ChangeLog& log);
// The paths that grew in the `seconds` up to `now`, most first, each with its last time.
std::vector<ChangeRow> GrewMostRows(const ChangeLog& log, int64_t now, int64_t seconds);
// The row's path; empty once its change has left the log.
const std::string& ChangeRowPath(const ChangeLog& log, const ChangeRow& row);
// Orders `rows` by `column` (ties: newest first).
void SortChangeRows(std::vector<ChangeRow>& rows, const ChangeLog& log, ChangeColumn column,
                    bool bAscending);
