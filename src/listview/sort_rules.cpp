#include "sort_rules.h"

#include <cstdlib>

#include "path_text.h"

SortKind SortKindOfColumn(int nColumn, bool bDriveView) {
    switch (nColumn) {
    case 1:
        return SortKind::Size;
    case 2:
        return bDriveView ? SortKind::Size : SortKind::Text;
    case 3:
        return bDriveView ? SortKind::Text : SortKind::Time;
    case 4:
    case 5:
        return bDriveView ? SortKind::Text : SortKind::Count;
    case 6: // Change: signed bytes
        return SortKind::Size;
    default:
        return SortKind::Text;
    }
}

bool NextSortDescending(int nClickedColumn, int nLastColumn, bool bLastDescending) {
    return nClickedColumn != nLastColumn ? true : !bLastDescending;
}

int64_t ParseCountText(const std::string& text) {
    return std::strtoll(text.c_str(), nullptr, 10);
}

SortValue CaptureSortValue(SortKind kind, const std::string& cellText) {
    switch (kind) {
    case SortKind::Text:
        return {cellText, 0};
    case SortKind::Count:
        return {std::string(), ParseCountText(cellText)};
    case SortKind::Size:
    case SortKind::Time:
        break;
    }
    return {std::string(), 0};
}

int CompareSortValues(SortKind kind, const SortValue& a, const SortValue& b, bool bDescending) {
    int ascending = 0;
    if (kind == SortKind::Text) {
        const int r = CompareNoCase(a.text.c_str(), b.text.c_str());
        ascending = r < 0 ? -1 : (r > 0 ? 1 : 0);
    } else {
        ascending = a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
    }
    return bDescending ? -ascending : ascending;
}

int CompareSortRows(SortKind kind, const SortValue& a, const SortValue& b, bool bDescending) {
    const int byValue = CompareSortValues(kind, a, b, bDescending);
    if (byValue != 0)
        return byValue;
    return a.nPosition < b.nPosition ? -1 : (a.nPosition > b.nPosition ? 1 : 0);
}
