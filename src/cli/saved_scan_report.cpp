#include "saved_scan_report.h"

#include <algorithm>

#include "path_text.h"

namespace {

// The order a listing gives: by name regardless of case, equal names as they came.
void SortByName(std::vector<ReportEntry>& entries, size_t first) {
    std::stable_sort(entries.begin() + static_cast<std::ptrdiff_t>(first), entries.end(),
                     [](const ReportEntry& a, const ReportEntry& b) {
                         return CompareNoCase(a.name.c_str(), b.name.c_str()) < 0;
                     });
}

} // namespace

FolderReport SavedScanReport(SavedScan&& scan, const TypeNamer& typeName, bool bDiskUsage) {
    FolderReport report;
    report.bSavedScan = true;
    report.nTakenAt = scan.timestamp;
    report.folderPath = scan.rootPath;
    report.snapshot = std::move(scan.snapshot);
    report.folderNode = scan.root;
    report.nDevice = scan.nDevice;
    report.linkedNames = std::move(scan.linkedNames);
    for (std::string& path : scan.readErrors)
        report.unreadable.push_back({std::move(path), 0});
    std::sort(report.unreadable.begin(), report.unreadable.end(),
              [](const UnreadablePath& a, const UnreadablePath& b) { return a.path < b.path; });

    const FolderSnapshot& s = report.snapshot;
    const FolderSnapshot::Index root = scan.root;
    report.nOwnBytes = s.OwnBytes(root);
    report.nOwnDiskBytes = s.OwnAllocated(root);
    FolderTotals beneath;
    s.GetTotals(root, beneath);
    report.nTotalBytes = bDiskUsage ? std::max<int64_t>(0, s.TotalAllocated(root)) : beneath.nSize;
    report.nFoldersBeneath = beneath.nFolders;
    report.nFilesBeneath = beneath.nFiles;
    // A date the scan does not hold is left empty.
    for (FolderSnapshot::Index sub = s.FirstSubfolder(root); sub != FolderSnapshot::kNone;
         sub = s.NextSubfolder(sub)) {
        FolderTotals sum;
        s.GetTotals(sub, sum);
        if (bDiskUsage)
            sum.nSize = std::max<int64_t>(0, s.TotalAllocated(sub));
        const int64_t modified = s.Modified(sub);
        report.entries.push_back(
            {s.Name(sub), typeName(JoinPath(report.folderPath, s.Name(sub)), s.Name(sub), true),
             sum.nSize, modified, sum.nFolders, sum.nFiles, true, modified != 0});
    }
    report.nFolders = static_cast<int>(report.entries.size());
    SortByName(report.entries, 0);
    const uint32_t files = s.OwnFileCount(root);
    for (uint32_t i = 0; i < files; ++i) {
        const char* name = s.FileName(root, i);
        const int64_t modified = s.FileModified(root, i);
        const int64_t nDisk = bDiskUsage ? s.FileAllocated(root, i) : -1;
        report.entries.push_back({name, typeName(JoinPath(report.folderPath, name), name, false),
                                  nDisk >= 0 ? nDisk : s.FileSize(root, i), modified, 0, 0, false,
                                  modified != 0});
    }
    report.nFiles = static_cast<int>(files);
    SortByName(report.entries, static_cast<size_t>(report.nFolders));
    SortLargestFirst(report.entries);
    return report;
}
