#include "folder_scan.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "dir_enum.h"
#include "path_text.h"

namespace {

FolderEntry MakeEntry(const std::string& folderPath, const DirItem& item) {
    FolderEntry entry;
    // A path too long for the field leaves szPath empty; callers that need it
    // join the folder path and szName themselves.
    CopyToField(entry.szPath, sizeof entry.szPath, JoinPath(folderPath, item.name));
    CopyToField(entry.szName, sizeof entry.szName, item.name);
    entry.nSize = item.bFolder ? -1 : static_cast<int64_t>(item.nSize);
    entry.tModified = item.tModified;
    entry.nFolders = 0;
    entry.nFiles = 0;
    return entry;
}

// Name order, with equal names kept in enumeration order. Sorting indices keeps
// the large records from being moved around during the sort.
void SortByName(std::vector<FolderEntry>& entries) {
    std::vector<size_t> order(entries.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&entries](size_t a, size_t b) {
        return CompareNoCase(entries[a].szName, entries[b].szName) < 0;
    });
    std::vector<FolderEntry> sorted;
    sorted.reserve(entries.size());
    for (size_t i : order)
        sorted.push_back(entries[i]);
    entries.swap(sorted);
}

bool StopRaised(const std::atomic<bool>* stopRequested) {
    return stopRequested && stopRequested->load(std::memory_order_relaxed);
}

// Adds one folder's direct entries to the totals and queues its subfolders.
// Returns false when stopped.
bool AddFolderLevel(DirEnumerator& dir, const std::string& folderPath, FolderTotals& totals,
                    std::vector<std::string>& pending, const std::atomic<bool>* stopRequested) {
    DirItem item;
    while (dir.Next(item)) {
        if (StopRaised(stopRequested))
            return false;
        if (IsDotEntry(item.name))
            continue;
        if (item.bFolder) {
            ++totals.nFolders;
            if (!item.bReparsePoint)
                pending.push_back(JoinPath(folderPath, item.name));
        } else {
            totals.nSize += static_cast<int64_t>(item.nSize);
            ++totals.nFiles;
        }
    }
    return true;
}

} // namespace

FolderListing ListFolder(const char* folderPath) {
    FolderListing listing;
    if (!folderPath || !*folderPath)
        return listing;
    const std::string folder(folderPath);
    DirEnumerator dir(folder);
    if (!dir.IsOpen())
        return listing;
    listing.bEnumerated = true;
    DirItem item;
    while (dir.Next(item)) {
        if (IsDotEntry(item.name))
            continue;
        (item.bFolder ? listing.folders : listing.files).push_back(MakeEntry(folder, item));
    }
    SortByName(listing.folders);
    SortByName(listing.files);
    return listing;
}

WalkResult TotalFolderTree(const std::string& folderPath, FolderTotals& totals,
                           const std::atomic<bool>* stopRequested) {
    totals = FolderTotals{};
    // Folders still to read. Totals do not depend on the order, so a plain stack
    // does: no recursion, and only one folder handle open at a time.
    std::vector<std::string> pending;
    {
        DirEnumerator dir(folderPath);
        if (!dir.IsOpen())
            return WalkResult::Unreadable;
        if (!AddFolderLevel(dir, folderPath, totals, pending, stopRequested))
            return WalkResult::Stopped;
    }
    while (!pending.empty()) {
        if (StopRaised(stopRequested))
            return WalkResult::Stopped;
        const std::string path = std::move(pending.back());
        pending.pop_back();
        DirEnumerator dir(path);
        if (!dir.IsOpen())
            continue; // already counted as a folder; it holds nothing we can see
        if (!AddFolderLevel(dir, path, totals, pending, stopRequested))
            return WalkResult::Stopped;
    }
    return WalkResult::Complete;
}

bool ComputeFolderTotals(FolderEntry& entry, const std::atomic<bool>* stopRequested) {
    FolderTotals totals;
    const WalkResult result = TotalFolderTree(entry.szPath, totals, stopRequested);
    if (result == WalkResult::Stopped)
        return false;
    entry.nSize = totals.nSize;
    entry.nFolders = totals.nFolders;
    entry.nFiles = totals.nFiles;
    return result == WalkResult::Complete;
}
