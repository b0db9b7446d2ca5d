#include "list_columns.h"

namespace {

struct ColumnSpec {
    const char* pszHeading;
    int nFormat;
    int nWidth;
};

constexpr ColumnSpec kFolderColumns[] = {
    {"Name", LVCFMT_LEFT, 200}, {"Size", LVCFMT_RIGHT, 80},    {"Type", LVCFMT_LEFT, 100},
    {"Date", LVCFMT_LEFT, 120}, {"Folders", LVCFMT_RIGHT, 80}, {"Files", LVCFMT_RIGHT, 80},
};

constexpr ColumnSpec kDriveColumns[] = {
    {"Name", LVCFMT_LEFT, 100},
    {"Size", LVCFMT_RIGHT, 100},
    {"Free Space", LVCFMT_RIGHT, 100},
};

template <size_t N>
void InsertColumns(const CListCtrl& list, const ColumnSpec (&columns)[N]) {
    for (size_t i = 0; i < N; ++i)
        list.InsertColumn(static_cast<int>(i), columns[i].pszHeading, columns[i].nFormat,
                          columns[i].nWidth);
}

} // namespace

void SetLayoutColumns(const CListCtrl& list, bool bDriveView) {
    const int nCount = list.GetColumnCount();
    for (int i = 0; i < nCount; ++i)
        list.DeleteColumn(0);
    if (bDriveView)
        InsertColumns(list, kDriveColumns);
    else
        InsertColumns(list, kFolderColumns);
}
