#pragma once
// What the fuzz targets ask of every snapshot they end in: each folder's totals add up again
// from its own files and its subfolders' totals; a folder that holds nothing totals nothing.

#include <cstdint>
#include <cstdlib>

#include "folder_snapshot.h"

inline void CheckSnapshotSums(const FolderSnapshot& s, FolderSnapshot::Index folder) {
    FolderTotals totals;
    if (!s.GetTotals(folder, totals) || s.TotalAllocated(folder) < 0)
        std::abort(); // every folder read is final
    if (s.IsUnreadable(folder) || s.IsExcluded(folder)) {
        if (totals.nSize || totals.nFolders || totals.nFiles)
            std::abort();
        return;
    }
    int64_t bytes = 0;
    int64_t folders = 0;
    int64_t files = s.OwnFileCount(folder);
    for (uint32_t i = 0; i < s.OwnFileCount(folder); ++i)
        bytes += s.FileSize(folder, i);
    for (auto sub = s.FirstSubfolder(folder); sub != FolderSnapshot::kNone;
         sub = s.NextSubfolder(sub)) {
        CheckSnapshotSums(s, sub);
        FolderTotals below;
        s.GetTotals(sub, below);
        bytes += below.nSize;
        folders += 1 + below.nFolders;
        files += below.nFiles;
    }
    if (bytes != totals.nSize || folders != totals.nFolders || files != totals.nFiles)
        std::abort();
}
