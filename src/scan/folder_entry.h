#pragma once
// One listed subfolder or file, and the listing of one folder level.

#include <cstdint>
#include <string>
#include <vector>

constexpr int kMaxPathField = 260; // 259 characters and the terminating zero

struct FolderEntry {
    char szPath[kMaxPathField]; // parent + separator + name; empty when that does not fit
    char szName[kMaxPathField]; // the name as the enumeration reports it; empty when too long
    std::string strName;        // the whole name, however long: rows, paths and menus use it
    int64_t nSize;              // bytes; a subfolder: -1 until totalled
    // Bytes on disk: a file's allocation (-1: not known); a subfolder's tree with the
    // folders' own blocks, -1 until totalled.
    int64_t nDiskSize;
    int64_t tModified; // last-write time, seconds since 1970-01-01 00:00 UTC
    int32_t nFolders;  // folders at every level beneath (subfolders only)
    int32_t nFiles;    // files at every level beneath (subfolders only)
};

struct FolderListing {
    bool bEnumerated = false;         // false: the folder could not be read; both lists are empty
    std::vector<FolderEntry> folders; // by name
    std::vector<FolderEntry> files;   // by name
};

// What a walk beneath a folder found.
struct FolderTotals {
    int64_t nSize = 0;
    int64_t nDiskSize = 0; // bytes on disk, the folders' own included; what is not known counts 0
    int32_t nFolders = 0;
    int32_t nFiles = 0;
};
