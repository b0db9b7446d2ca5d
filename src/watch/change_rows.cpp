#include "change_rows.h"

#include <algorithm>

std::vector<ChangeRow> AllChangeRows(const ChangeLog& log) {
    std::vector<ChangeRow> rows;
    rows.reserve(log.Size());
    for (size_t i = 0; i < log.Size(); ++i) {
        const LoggedChange& change = log.At(i);
        rows.push_back({change.time, change.path, ChangeKindText(change.kind), change.bytes});
    }
    return rows;
}

std::vector<ChangeRow> GrewMostRows(const ChangeLog& log, int64_t now, int64_t seconds) {
    std::vector<ChangeRow> rows;
    for (const ChangeLog::Growth& growth : log.GrewMost(now, seconds))
        rows.push_back({growth.lastTime, growth.path, "Grew", growth.bytes});
    return rows;
}

namespace {

template <typename T> int Compare(const T& a, const T& b) {
    return (b < a) - (a < b);
}

int CompareBy(ChangeColumn column, const ChangeRow& a, const ChangeRow& b) {
    switch (column) {
    case ChangeColumn::Time:
        return Compare(a.time, b.time);
    case ChangeColumn::Path:
        return a.path.compare(b.path);
    case ChangeColumn::Kind:
        return a.kind.compare(b.kind);
    case ChangeColumn::Bytes:
        return Compare(a.bytes, b.bytes);
    }
    return 0;
}

} // namespace

void SortChangeRows(std::vector<ChangeRow>& rows, ChangeColumn column, bool bAscending) {
    std::stable_sort(rows.begin(), rows.end(), [&](const ChangeRow& a, const ChangeRow& b) {
        const int nOrder = CompareBy(column, a, b);
        if (nOrder != 0)
            return bAscending ? nOrder < 0 : nOrder > 0;
        if (a.time != b.time)
            return a.time > b.time;
        return a.path < b.path;
    });
}
