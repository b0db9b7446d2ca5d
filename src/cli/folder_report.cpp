#include "folder_report.h"

#include <algorithm>
#include <numeric>

#include "date_text.h"
#include "folder_scan.h"
#include "path_text.h"
#include "size_text.h"

bool BuildFolderReport(const std::string& folderPath, const TypeNamer& typeName, unsigned threads,
                       const TotalsProgress& progress, FolderReport& report) {
    const FolderListing listing = ListFolder(folderPath.c_str());
    if (!listing.bEnumerated)
        return false;

    report = FolderReport{};
    report.folderPath = folderPath;
    report.nFolders = static_cast<int>(listing.folders.size());
    report.nFiles = static_cast<int>(listing.files.size());
    report.rows.reserve(listing.folders.size() + listing.files.size());

    // Every subfolder in one walk, so the threads never wait for one subfolder's last
    // folder before starting on the next. Paths are joined here rather than taken from
    // szPath, which is empty for a path too long for its field, and from the whole name.
    std::vector<std::string> subfolders;
    subfolders.reserve(listing.folders.size());
    for (const FolderEntry& entry : listing.folders)
        subfolders.push_back(JoinPath(folderPath, entry.strName.c_str()));
    std::vector<FolderTotals> totals;
    std::vector<WalkResult> results;
    size_t done = 0;
    TotalFolderTrees(subfolders, totals, results, nullptr, threads,
                     [&](size_t index, const FolderTotals&, WalkResult) {
                         if (progress)
                             progress(++done, subfolders.size(),
                                      listing.folders[index].strName.c_str());
                     });

    for (size_t i = 0; i < listing.folders.size(); ++i) {
        const FolderEntry& entry = listing.folders[i];
        const FolderTotals& sum = totals[i]; // an unreadable subfolder totals 0
        report.nTotalBytes += sum.nSize;
        report.nFoldersBeneath += 1 + sum.nFolders;
        report.nFilesBeneath += sum.nFiles;
        report.rows.push_back({entry.strName, FormatSize(sum.nSize),
                               typeName(subfolders[i], entry.strName.c_str(), true),
                               FormatDateTime(entry.tModified), std::to_string(sum.nFolders),
                               std::to_string(sum.nFiles)});
    }
    for (const FolderEntry& entry : listing.files) {
        const std::string path = JoinPath(folderPath, entry.strName.c_str());
        report.nTotalBytes += entry.nSize;
        ++report.nFilesBeneath;
        report.rows.push_back({entry.strName, FormatSize(entry.nSize),
                               typeName(path, entry.strName.c_str(), false),
                               FormatDateTime(entry.tModified), "", ""});
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
