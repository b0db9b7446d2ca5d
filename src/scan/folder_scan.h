#pragma once
// The scan engine: what a folder holds directly, and how much lies beneath a folder.
// Stateless; every call reads the file system afresh.

#include <atomic>
#include <string>

#include "folder_entry.h"

// Lists one level of `folderPath`: subfolders and files, each list in name order
// (CompareNoCase; equal names keep the order the enumeration gave them).
FolderListing ListFolder(const char* folderPath);

enum class WalkResult {
    Complete,   // every readable folder beneath was read
    Unreadable, // the folder itself could not be enumerated; the totals are 0
    Stopped,    // the stop flag was raised; the totals are partial
};

// Totals of the whole tree beneath `folderPath`: bytes of every file, and the numbers
// of folders and files at every level. A folder that cannot be read counts as one
// folder holding nothing; reparse points count as folders but are not entered.
// The walk checks `stopRequested` (when given) between entries.
WalkResult TotalFolderTree(const std::string& folderPath, FolderTotals& totals,
                           const std::atomic<bool>* stopRequested = nullptr);

// Fills nSize, nFolders and nFiles of `entry` from the tree beneath entry.szPath.
// Returns false, with the three totals 0, when that folder cannot be enumerated.
// A stopped walk leaves the entry unchanged and returns false.
bool ComputeFolderTotals(FolderEntry& entry, const std::atomic<bool>* stopRequested = nullptr);
