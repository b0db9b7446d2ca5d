#pragma once
// The scan engine: what a folder holds directly, and how much lies beneath a folder.
// Stateless; every call reads the file system afresh.

#include <atomic>
#include <string>

#include "folder_entry.h"
#include "folder_snapshot.h"
#include "tree_totals.h"

// Lists one level of `folderPath`: subfolders and files, each list in name order
// (CompareNoCase; equal names keep the order the enumeration gave them).
FolderListing ListFolder(const char* folderPath);

// The same listing of a folder a snapshot holds (`folder`, at `folderPath`), as if read from
// the disk: subfolders (size -1) and files (those the snapshot holds) in name order.
FolderListing ListHeldFolder(const FolderSnapshot& snapshot, FolderSnapshot::Index folder,
                             const std::string& folderPath);

// Fills nSize, nFolders and nFiles of `entry` from the tree beneath entry.szPath
// (TotalFolderTree, with as many threads as the machine has cores).
// Returns false, with the three totals 0, when that folder cannot be enumerated or
// szPath is empty (a path too long for the field).
// A stopped walk leaves the entry unchanged and returns false.
bool ComputeFolderTotals(FolderEntry& entry, const std::atomic<bool>* stopRequested = nullptr);
