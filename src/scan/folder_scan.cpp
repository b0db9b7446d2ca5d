#include "folder_scan.h"

#include <algorithm>
#include <numeric>
#include <utility>
#include <vector>

#include "dir_enum.h"
#include "path_text.h"

namespace {

FolderEntry MakeEntry(const std::string& folderPath, const char* name, int64_t nSize,
                      int64_t tModified, int64_t nDiskSize) {
    FolderEntry entry;
    // A path or name too long for its field leaves the field empty; callers that need
    // the path join the folder path and strName themselves.
    CopyToField(entry.szPath, sizeof entry.szPath, JoinPath(folderPath, name));
    CopyToField(entry.szName, sizeof entry.szName, name);
    entry.strName = name;
    entry.nSize = nSize;
    entry.nDiskSize = nDiskSize;
    entry.tModified = tModified;
    entry.nFolders = 0;
    entry.nFiles = 0;
    return entry;
}

FolderEntry MakeEntry(const std::string& folderPath, const DirItem& item) {
    return MakeEntry(folderPath, item.name, item.bFolder ? -1 : static_cast<int64_t>(item.nSize),
                     item.tModified, item.bFolder ? -1 : item.nDiskBytes);
}

// Name order, with equal names kept in enumeration order. Sorting indices keeps
// the large records from being moved around during the sort.
void SortByName(std::vector<FolderEntry>& entries) {
    std::vector<size_t> order(entries.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&entries](size_t a, size_t b) {
        return CompareNoCase(entries[a].strName.c_str(), entries[b].strName.c_str()) < 0;
    });
    std::vector<FolderEntry> sorted;
    sorted.reserve(entries.size());
    for (size_t i : order)
        sorted.push_back(std::move(entries[i]));
    entries.swap(sorted);
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

FolderListing ListHeldFolder(const FolderSnapshot& snapshot, FolderSnapshot::Index folder,
                             const std::string& folderPath) {
    FolderListing listing;
    if (folder == FolderSnapshot::kNone || !snapshot.IsRead(folder))
        return listing;
    listing.bEnumerated = true;
    for (FolderSnapshot::Index sub = snapshot.FirstSubfolder(folder); sub != FolderSnapshot::kNone;
         sub = snapshot.NextSubfolder(sub))
        listing.folders.push_back(
            MakeEntry(folderPath, snapshot.Name(sub), -1, snapshot.Modified(sub), -1));
    if (snapshot.FilesHeld(folder)) {
        const uint32_t count = snapshot.OwnFileCount(folder);
        for (uint32_t i = 0; i < count; ++i)
            listing.files.push_back(
                MakeEntry(folderPath, snapshot.FileName(folder, i), snapshot.FileSize(folder, i),
                          snapshot.FileModified(folder, i), snapshot.FileAllocated(folder, i)));
    }
    SortByName(listing.folders);
    SortByName(listing.files);
    return listing;
}

bool ComputeFolderTotals(FolderEntry& entry, const std::atomic<bool>* stopRequested) {
    // An empty szPath is a path too long for its field, never a folder to walk: on
    // Windows "" would stand for the current drive's root.
    if (!entry.szPath[0]) {
        entry.nSize = 0;
        entry.nDiskSize = 0;
        entry.nFolders = 0;
        entry.nFiles = 0;
        return false;
    }
    FolderTotals totals;
    const WalkResult result = TotalFolderTree(entry.szPath, totals, stopRequested);
    if (result == WalkResult::Stopped)
        return false;
    entry.nSize = totals.nSize;
    entry.nDiskSize = totals.nDiskSize;
    entry.nFolders = totals.nFolders;
    entry.nFiles = totals.nFiles;
    return result == WalkResult::Complete;
}
