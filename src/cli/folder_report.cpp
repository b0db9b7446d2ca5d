#include "folder_report.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "date_text.h"
#include "folder_snapshot.h"
#include "item_listing.h"
#include "linked_name_counter.h"
#include "path_text.h"
#include "size_text.h"
#include "tree_totals.h"

namespace {

// The rows and totals of a folder whose tree the report's snapshot holds: `listing` is its
// own level, `nodes` its subfolders in the snapshot, in the listing's order; `links` (where
// a file with several names counts once) has taken every such name.
void FinishReport(const std::string& folderPath, const TypeNamer& typeName,
                  const ReportScanOptions& options, ItemListing& listing,
                  const std::vector<FolderSnapshot::Index>& nodes, LinkedNameCounter* links,
                  FolderReport& report) {
    FolderSnapshot& snapshot = report.snapshot;
    // The rows and the totals beneath come from the snapshot: the folder is final in it,
    // and its subfolders are in the listing's order (one that could not be read totals 0).
    const FolderSnapshot::Index folder = snapshot.Find(folderPath);
    FolderTotals beneath;
    snapshot.GetTotals(folder, beneath);
    report.nTotalBytes =
        options.bDiskUsage ? std::max<int64_t>(0, snapshot.TotalAllocated(folder)) : beneath.nSize;
    report.nFoldersBeneath = beneath.nFolders;
    report.nFilesBeneath = beneath.nFiles;
    report.folderNode = folder;
    std::unordered_map<FolderSnapshot::Index, size_t> rowOf; // a subfolder's row
    for (size_t i = 0; i < listing.folders.size(); ++i) {
        const FolderSnapshot::Index subfolder = nodes[i];
        rowOf.emplace(subfolder, report.entries.size());
        ListedItem& item = listing.folders[i];
        FolderTotals sum;
        snapshot.GetTotals(subfolder, sum);
        if (options.bDiskUsage) // one that could not be read takes nothing
            sum.nSize = std::max<int64_t>(0, snapshot.TotalAllocated(subfolder));
        std::string type =
            typeName(JoinPath(folderPath, item.name.c_str()), item.name.c_str(), true);
        report.entries.push_back({std::move(item.name), std::move(type), sum.nSize, item.tModified,
                                  sum.nFolders, sum.nFiles, true, item.nError == 0});
    }
    listing.folders = {};
    for (ListedItem& item : listing.files) {
        std::string type =
            typeName(JoinPath(folderPath, item.name.c_str()), item.name.c_str(), false);
        // Where the system told no allocation, the size is the best guess of it.
        const int64_t nBytes =
            options.bDiskUsage && item.nDiskBytes >= 0 ? item.nDiskBytes : item.nSize;
        report.entries.push_back({std::move(item.name), std::move(type), nBytes, item.tModified, 0,
                                  0, false, item.nError == 0});
    }
    listing.files = {};

    // A file with several names beneath the folder counts once, in the folder that holds its
    // first name by path: its later names come off their rows' totals and the total.
    if (links) {
        report.nCountedOnce = links->CountedOnce();
        for (const auto& [row, bytes] : links->LaterBytes()) {
            report.nTotalBytes -= bytes;
            const auto it = rowOf.find(row);
            if (row != folder && it != rowOf.end())
                report.entries[it->second].nSize -= bytes;
        }
        report.linkedNames = links->TakeNames();
    }
    if (!options.bKeepSnapshot)
        snapshot = FolderSnapshot();
    SortLargestFirst(report.entries);
}

} // namespace

bool BuildFolderReport(const std::string& folderPath, const TypeNamer& typeName, unsigned threads,
                       const TotalsProgress& progress, FolderReport& report, int& nError) {
    ReportScanOptions options;
    options.nThreads = threads;
    return BuildFolderReport(folderPath, typeName, options, progress, report, nError);
}

bool BuildFolderReport(const std::string& folderPath, const TypeNamer& typeName,
                       const ReportScanOptions& options, const TotalsProgress& progress,
                       FolderReport& report, int& nError) {
    // Counting every link needs no file's links: the export then carries none either, so
    // ncdu and gdu count every link of it too.
    const bool bLinks = !options.bCountLinks;
    ItemListing listing = ListFolderItems(folderPath, bLinks ? FileLinks::Read : FileLinks::Skip);
    nError = listing.nError;
    if (nError != 0)
        return false;

    report = FolderReport{};
    report.folderPath = folderPath;
    if (listing.bIdentity) {
        report.nDevice = listing.identity.nDevice;
        report.nOwnBytes = listing.identity.nOwnBytes;
        if (options.bKeepSnapshot || options.bDiskUsage)
            report.nOwnDiskBytes = listing.identity.nOwnDiskBytes;
    }
    WalkOptions walkOptions;
    walkOptions.bOneFileSystem = options.bOneFileSystem && listing.bIdentity;
    walkOptions.nDevice = report.nDevice;
    report.nFolders = static_cast<int>(listing.folders.size());
    report.nFiles = static_cast<int>(listing.files.size());
    report.entries.reserve(listing.folders.size() + listing.files.size());
    // A subfolder whose details could not be read is named by the walk, which cannot enter
    // it either; a file only here.
    for (const ListedItem& item : listing.files)
        if (item.nError != 0)
            report.unreadable.push_back({JoinPath(folderPath, item.name.c_str()), item.nError});

    // The folder's own level as listed goes into the snapshot first; the walk then fills in
    // each subfolder, every one in one walk, so the threads never wait for one subfolder's
    // last folder before starting on the next.
    FolderSnapshot& snapshot = report.snapshot;
    // The rows and totals come from the snapshot, and an export lists every file: it holds
    // everything the walk reads, for as long as the report takes.
    snapshot.SetMemoryCap(UINT64_MAX);
    SnapshotLevel level;
    for (const ListedItem& item : listing.files)
        level.AddFile(item.name.c_str(), item.nSize, item.tModified, item.nDiskBytes);
    level.SetOwn(report.nOwnBytes, report.nOwnDiskBytes,
                 listing.bIdentity ? listing.identity.tModified : 0);
    for (const ListedItem& item : listing.folders)
        level.AddFolder(item.name.c_str(), false, item.tModified);
    const FolderSnapshot::Index top = snapshot.RecordLevel(folderPath, level);
    level = SnapshotLevel();
    LinkedNameCounter links(snapshot, top, options.bKeepSnapshot, options.bDiskUsage);
    if (bLinks)
        walkOptions.pLinks = &links;
    for (uint32_t i = 0; bLinks && i < listing.files.size(); ++i) {
        const ListedItem& item = listing.files[i];
        if (item.nLinks > 1)
            links.Take({item.nDevice, item.nFileId, item.nLinks, item.nSize, top, i});
    }
    std::vector<std::string> subfolders;
    subfolders.reserve(listing.folders.size());
    for (const ListedItem& item : listing.folders)
        subfolders.push_back(JoinPath(folderPath, item.name.c_str()));
    std::vector<FolderTotals> totals;
    std::vector<WalkResult> results;
    size_t done = 0;
    TotalFolderTrees(
        subfolders, totals, results, nullptr, options.nThreads,
        [&](size_t index, const FolderTotals&, WalkResult) {
            if (progress)
                progress(++done, subfolders.size(), listing.folders[index].name.c_str());
        },
        [&report](const std::string& path, int nPathError) {
            report.unreadable.push_back({path, nPathError});
        },
        &snapshot, walkOptions);
    // Walking threads report in no fixed order; the messages read best by path.
    std::sort(report.unreadable.begin(), report.unreadable.end(),
              [](const UnreadablePath& a, const UnreadablePath& b) { return a.path < b.path; });

    std::vector<FolderSnapshot::Index> nodes;
    for (auto sub = snapshot.FirstSubfolder(snapshot.Find(folderPath));
         sub != FolderSnapshot::kNone; sub = snapshot.NextSubfolder(sub))
        nodes.push_back(sub);
    subfolders = {};
    FinishReport(folderPath, typeName, options, listing, nodes, bLinks ? &links : nullptr, report);
    return true;
}

bool BuildFolderReportFromSnapshot(FolderSnapshot&& snapshot, const std::string& folderPath,
                                   const std::vector<LinkedName>& linkedNames,
                                   const TypeNamer& typeName, const ReportScanOptions& options,
                                   FolderReport& report) {
    const FolderSnapshot::Index folder = snapshot.Find(folderPath);
    if (!snapshot.IsHeld(folder) || !snapshot.FilesHeld(folder))
        return false;
    report = FolderReport{};
    report.folderPath = folderPath;
    report.snapshot = std::move(snapshot);
    const FolderSnapshot& held = report.snapshot;
    report.nOwnBytes = held.OwnBytes(folder);
    if (options.bKeepSnapshot || options.bDiskUsage)
        report.nOwnDiskBytes = held.OwnAllocated(folder);
    // The folder's own level, in the order a listing of it gives.
    ItemListing listing;
    std::vector<FolderSnapshot::Index> nodes;
    for (auto sub = held.FirstSubfolder(folder); sub != FolderSnapshot::kNone;
         sub = held.NextSubfolder(sub))
        nodes.push_back(sub);
    std::stable_sort(nodes.begin(), nodes.end(),
                     [&held](FolderSnapshot::Index a, FolderSnapshot::Index b) {
                         return CompareNoCase(held.Name(a), held.Name(b)) < 0;
                     });
    for (FolderSnapshot::Index sub : nodes) {
        ListedItem item;
        item.name = held.Name(sub);
        item.tModified = held.Modified(sub);
        listing.folders.push_back(std::move(item));
    }
    for (uint32_t i = 0; i < held.OwnFileCount(folder); ++i) {
        ListedItem item;
        item.name = held.FileName(folder, i);
        item.nSize = held.FileSize(folder, i);
        item.tModified = held.FileModified(folder, i);
        item.nDiskBytes = held.FileAllocated(folder, i);
        listing.files.push_back(std::move(item));
    }
    std::stable_sort(listing.files.begin(), listing.files.end(),
                     [](const ListedItem& a, const ListedItem& b) {
                         return CompareNoCase(a.name.c_str(), b.name.c_str()) < 0;
                     });
    report.nFolders = static_cast<int>(listing.folders.size());
    report.nFiles = static_cast<int>(listing.files.size());
    const bool bLinks = !options.bCountLinks;
    LinkedNameCounter links(held, folder, options.bKeepSnapshot, options.bDiskUsage);
    for (const LinkedName& name : linkedNames)
        links.Take(name);
    FinishReport(folderPath, typeName, options, listing, nodes, bLinks ? &links : nullptr, report);
    return true;
}

void SortLargestFirst(std::vector<ReportEntry>& entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const ReportEntry& a, const ReportEntry& b) { return a.nSize > b.nSize; });
}

FolderReportRow ReportCells(const ReportEntry& entry) {
    return {entry.name,
            FormatSize(entry.nSize),
            entry.type,
            entry.bDetails ? FormatDateTime(entry.tModified) : std::string(),
            entry.bFolder ? std::to_string(entry.nFolders) : std::string(),
            entry.bFolder ? std::to_string(entry.nFiles) : std::string()};
}
