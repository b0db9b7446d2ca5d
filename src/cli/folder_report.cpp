#include "folder_report.h"

#include <algorithm>
#include <numeric>

#include "date_text.h"
#include "folder_scan.h"
#include "path_text.h"
#include "size_text.h"

bool BuildFolderReport(const std::string& folderPath, const TypeNamer& typeName,
                       const TotalsProgress& progress, FolderReport& report) {
    const FolderListing listing = ListFolder(folderPath.c_str());
    if (!listing.bEnumerated)
        return false;

    report = FolderReport{};
    report.folderPath = folderPath;
    report.nFolders = static_cast<int>(listing.folders.size());
    report.nFiles = static_cast<int>(listing.files.size());
    report.rows.reserve(listing.folders.size() + listing.files.size());

    size_t index = 0;
    for (const FolderEntry& entry : listing.folders) {
        // Joined here rather than taken from szPath, which is empty for a path too
        // long for its field.
        const std::string path = JoinPath(folderPath, entry.szName);
        if (progress)
            progress(++index, listing.folders.size(), entry.szName);
        FolderTotals totals;
        TotalFolderTree(path, totals); // an unreadable subfolder totals 0
        report.nTotalBytes += totals.nSize;
        report.nFoldersBeneath += 1 + totals.nFolders;
        report.nFilesBeneath += totals.nFiles;
        report.rows.push_back({entry.szName, FormatSize(totals.nSize),
                               typeName(path, entry.szName, true), FormatDateTime(entry.tModified),
                               std::to_string(totals.nFolders), std::to_string(totals.nFiles)});
    }
    for (const FolderEntry& entry : listing.files) {
        const std::string path = JoinPath(folderPath, entry.szName);
        report.nTotalBytes += entry.nSize;
        ++report.nFilesBeneath;
        report.rows.push_back({entry.szName, FormatSize(entry.nSize),
                               typeName(path, entry.szName, false), FormatDateTime(entry.tModified),
                               "", ""});
    }
    SortRowsBySize(report.rows);
    return true;
}

void SortRowsBySize(std::vector<FolderReportRow>& rows) {
    std::vector<int64_t> kilobytes(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        kilobytes[i] = ParseSizeText(rows[i][1]);
    std::vector<size_t> order(rows.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&kilobytes](size_t a, size_t b) { return kilobytes[a] > kilobytes[b]; });
    std::vector<FolderReportRow> sorted;
    sorted.reserve(rows.size());
    for (size_t i : order)
        sorted.push_back(std::move(rows[i]));
    rows.swap(sorted);
}
