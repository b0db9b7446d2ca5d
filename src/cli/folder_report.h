#pragma once
// A folder's report as the list shows it once the background scan has finished:
// subfolders and files with their cells, every subfolder totalled, the rows sorted
// by size, largest first.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "report_layout.h"

struct FolderReport {
    std::string folderPath;            // for the Path line
    std::vector<FolderReportRow> rows; // in the list's order after the scan
    int nFolders = 0;                  // direct subfolders
    int nFiles = 0;                    // direct files
    int64_t nTotalBytes = 0;           // exact sum of the rows' sizes
    int64_t nFoldersBeneath = 0;       // folders at every level beneath
    int64_t nFilesBeneath = 0;         // files at every level beneath
};

// Called each time a subfolder's totals are in: how many are done, out of how many,
// and the name of the one just done. Calls come one at a time, from walking threads.
using TotalsProgress = std::function<void(size_t done, size_t count, const char* name)>;

// Names the Type cell of an entry: (full path, name, is a folder).
using TypeNamer = std::function<std::string(const std::string&, const char*, bool)>;

// Lists and totals `folderPath`, with `threads` walking threads (0: one per core).
// Returns false when the folder cannot be read.
bool BuildFolderReport(const std::string& folderPath, const TypeNamer& typeName, unsigned threads,
                       const TotalsProgress& progress, FolderReport& report);

// Orders rows by their Size text, largest first; rows of equal size keep their order.
void SortRowsBySize(std::vector<FolderReportRow>& rows);
