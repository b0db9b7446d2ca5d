#include "change_rows.h"

#include <algorithm>
#include <string_view>

std::vector<ChangeRow> AllChangeRows(const ChangeLog& log) {
    std::vector<ChangeRow> rows;
    rows.reserve(log.Size());
    for (size_t i = 0; i < log.Size(); ++i) {
        const LoggedChange& change = log.At(i);
        rows.push_back({log.NumberAt(i), change.time, ChangeKindText(change.kind), change.bytes});
    }
    return rows;
}

std::vector<ChangeRow> GrewMostRows(const ChangeLog& log, int64_t now, int64_t seconds) {
    std::vector<ChangeRow> rows;
    for (const ChangeLog::Growth& growth : log.GrewMost(now, seconds))
        rows.push_back({growth.lastNumber, growth.lastTime, "Grew", growth.bytes});
    return rows;
}

const std::string& ChangeRowPath(const ChangeLog& log, const ChangeRow& row) {
    static const std::string kGone;
    const LoggedChange* pChange = log.Numbered(row.change);
    return pChange ? pChange->path : kGone;
}

namespace {

template <typename T> int Compare(const T& a, const T& b) {
    return (b < a) - (a < b);
}

} // namespace

void SortChangeRows(std::vector<ChangeRow>& rows, const ChangeLog& log, ChangeColumn column,
                    bool bAscending) {
    auto compareBy = [&](const ChangeRow& a, const ChangeRow& b) {
        switch (column) {
        case ChangeColumn::Time:
            return Compare(a.time, b.time);
        case ChangeColumn::Path:
            return ChangeRowPath(log, a).compare(ChangeRowPath(log, b));
        case ChangeColumn::Kind:
            return std::string_view(a.kind).compare(b.kind);
        case ChangeColumn::Bytes:
            return Compare(a.bytes, b.bytes);
        }
        return 0;
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const ChangeRow& a, const ChangeRow& b) {
        const int nOrder = compareBy(a, b);
        if (nOrder != 0)
            return bAscending ? nOrder < 0 : nOrder > 0;
        // Newest first: the log's numbers tell within a second, without a look at the paths.
        if (a.time != b.time)
            return a.time > b.time;
        return a.change > b.change;
    });
}
