#pragma once
// One folder level as plain items: the listing a very large folder is read into when
// only names, sizes and times are needed (a FolderEntry carries two 260-byte fields).

#include <cstdint>
#include <string>
#include <vector>

#include "dir_enum.h"

struct ListedItem {
    std::string name;
    int64_t nSize = 0;     // bytes; 0 for a folder
    int64_t tModified = 0; // seconds since 1970-01-01 00:00 UTC
    int nError = 0;        // an errno value when the details could not be read
    uint32_t nLinks = 1;   // names of the file, when links were asked for (DirItem)
    uint64_t nDevice = 0;
    uint64_t nFileId = 0;
    int64_t nDiskBytes = -1; // bytes a file takes on disk; -1: not known (DirItem)
};

struct ItemListing {
    int nError = 0;                  // why the folder could not be read (errno); 0: it was
    std::vector<ListedItem> folders; // by name
    std::vector<ListedItem> files;   // by name
    bool bIdentity = false;          // the folder's own device and size are known
    FolderIdentity identity;
};

// Lists one level of `folderPath`, each list in the order ListFolder gives.
ItemListing ListFolderItems(const std::string& folderPath, FileLinks links = FileLinks::Skip);
