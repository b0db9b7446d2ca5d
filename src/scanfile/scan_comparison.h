#pragma once
// What changed in one folder between two scans of it: every entry of either scan, matched by
// name and kind (a rename is one entry gone and one new; a file that became a folder too),
// with its bytes then and now. A folder's bytes are its totals, so its change is everything
// that changed beneath it.

#include <cstdint>
#include <string>
#include <vector>

#include "folder_snapshot.h"

enum class ChangeStatus { Grown, Shrunk, Same, New, Gone };

struct EntryChange {
    std::string name;
    bool bFolder = false;
    int64_t nBefore = 0; // bytes in the older scan; 0 when new
    int64_t nAfter = 0;  // bytes in the newer scan; 0 when gone
    ChangeStatus status = ChangeStatus::Same;

    int64_t Change() const { return nAfter - nBefore; }
};

struct FolderComparison {
    std::vector<EntryChange> entries; // largest growth first; equal changes by name
    int64_t nBefore = 0;              // the folder's total bytes then
    int64_t nAfter = 0;               // and now
};

// Compares `beforeFolder` of `before` with `afterFolder` of `after`, both final.
FolderComparison CompareFolder(const FolderSnapshot& before, FolderSnapshot::Index beforeFolder,
                               const FolderSnapshot& after, FolderSnapshot::Index afterFolder);

// The change as the Change column shows it: "+28.0 MB", "-300.0 MB", "0 KB", "new", "gone".
std::string ChangeText(const EntryChange& change);
// "+28.0 MB", "-300.0 MB", "0 KB".
std::string SignedSizeText(int64_t bytes);
// The same for an entry by its bytes then and now, -1 where it was not: "new", "gone".
std::string ChangeText(int64_t nBytesThen, int64_t nBytesNow);
// "+28.0 MB (1.2 GB then, 1.5 GB now)"
std::string ChangeTotalText(int64_t nBytesThen, int64_t nBytesNow);
// "grown", "shrunk", "same", "new", "gone".
const char* StatusName(ChangeStatus status);
