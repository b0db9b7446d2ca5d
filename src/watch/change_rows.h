#pragma once
// The rows the Changes pane shows, made from the change log: every change kept, or what grew
// the most in a recent span (one row per path, its changes summed); ordered by any column.

#include <cstdint>
#include <string>
#include <vector>

#include "change_log.h"

enum class ChangeColumn { Time, Path, Kind, Bytes };

struct ChangeRow {
    int64_t time = 0; // seconds since 1970-01-01 00:00 UTC
    std::string path;
    std::string kind;  // the word the pane shows
    int64_t bytes = 0; // what it added to the folders above (negative: took away)
};

// Every change the log keeps, oldest first.
std::vector<ChangeRow> AllChangeRows(const ChangeLog& log);
// The paths that grew in the `seconds` up to `now`, most first, each with its last time.
std::vector<ChangeRow> GrewMostRows(const ChangeLog& log, int64_t now, int64_t seconds);
// Orders `rows` by `column` (ties: newest first, then by path); stable.
void SortChangeRows(std::vector<ChangeRow>& rows, ChangeColumn column, bool bAscending);
