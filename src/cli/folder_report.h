#pragma once
// A folder's report as the list shows it once the background scan has finished:
// subfolders and files, every subfolder totalled, largest first.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "file_link_sink.h"
#include "folder_snapshot.h"
#include "report_layout.h"

// One row, kept as values: the cells are formed as the row is written, so a folder of
// 200,000 files never holds 200,000 rows of texts.
struct ReportEntry {
    std::string name;
    std::string type;      // the Type cell
    int64_t nSize = 0;     // bytes: a file's size, a subfolder's total
    int64_t tModified = 0; // seconds since 1970-01-01 00:00 UTC
    int32_t nFolders = 0;  // beneath a subfolder
    int32_t nFiles = 0;    // beneath a subfolder
    bool bFolder = false;
    // Its size and date could be read (not so in a folder that may be listed but not
    // entered, where the size counts as 0; nor for an entry a saved scan holds no date of):
    // otherwise the date is left empty.
    bool bDetails = true;
};

// A folder or file beneath the listed folder that could not be read, and why.
struct UnreadablePath {
    std::string path;
    int nError; // an errno value
};

// How the report's walk goes.
struct ReportScanOptions {
    unsigned nThreads = 0;       // walking threads; 0: one per core
    bool bCountLinks = false;    // count a file with several names once per name
    bool bOneFileSystem = false; // enter no folder on another file system
    // Keep the walk's snapshot, every file and folder size in it, disk usage included.
    bool bKeepSnapshot = false;
    // The rows and totals in bytes on disk (allocated blocks, the folders' own included, as
    // du counts them without -b) in place of sizes.
    bool bDiskUsage = false;
};

struct FolderReport {
    std::string folderPath;                 // for the Path line
    std::vector<ReportEntry> entries;       // in the list's order after the scan
    std::vector<UnreadablePath> unreadable; // by path; counted as holding nothing
    int nFolders = 0;                       // direct subfolders
    int nFiles = 0;                         // direct files
    // Exact sum of the rows' sizes, except that a file with several names beneath the folder
    // counts once (unless counting every link); a file row keeps its own size.
    int64_t nTotalBytes = 0;
    int64_t nFoldersBeneath = 0; // folders at every level beneath
    int64_t nFilesBeneath = 0;   // files at every level beneath
    // Files with several names beneath the folder whose bytes were counted once (unless
    // counting every link), in the folder that comes first by path.
    int64_t nCountedOnce = 0;
    // The walk's snapshot, when asked to keep it, with the folder's own device, size and
    // disk usage.
    FolderSnapshot snapshot;
    FolderSnapshot::Index folderNode = FolderSnapshot::kNone;
    uint64_t nDevice = 0;
    int64_t nOwnBytes = -1;     // -1: not known
    int64_t nOwnDiskBytes = -1; // -1: not known (or the snapshot not kept)
    // With the snapshot kept and links counted once: every name of a file that has several.
    std::vector<LinkedName> linkedNames;
    // Made from a saved scan, not the disk: every file's date comes from the snapshot.
    bool bSavedScan = false;
    int64_t nTakenAt = 0; // a saved scan's time, seconds since 1970; 0: not said
};

// Called each time a subfolder's totals are in: how many are done, out of how many,
// and the name of the one just done. Calls come one at a time, from walking threads.
using TotalsProgress = std::function<void(size_t done, size_t count, const char* name)>;

// Names the Type cell of an entry: (full path, name, is a folder).
using TypeNamer = std::function<std::string(const std::string&, const char*, bool)>;

// Lists and totals `folderPath`. Returns false when the folder itself cannot be read, with
// the errno value in `nError`.
bool BuildFolderReport(const std::string& folderPath, const TypeNamer& typeName,
                       const ReportScanOptions& options, const TotalsProgress& progress,
                       FolderReport& report, int& nError);
// The same from a snapshot that holds the folder's whole tree at `folderPath` already (read
// from its volume's file table rather than walked), with every name of a file with several
// in `linkedNames`. False when the snapshot does not hold the folder whole.
bool BuildFolderReportFromSnapshot(FolderSnapshot&& snapshot, const std::string& folderPath,
                                   const std::vector<LinkedName>& linkedNames,
                                   const TypeNamer& typeName, const ReportScanOptions& options,
                                   FolderReport& report);
// The same with every option at its default but the number of threads.
bool BuildFolderReport(const std::string& folderPath, const TypeNamer& typeName, unsigned threads,
                       const TotalsProgress& progress, FolderReport& report, int& nError);

// Orders entries by their exact size, largest first; entries of equal size keep their
// order.
void SortLargestFirst(std::vector<ReportEntry>& entries);

// The row's cells as the list shows them: Name, Size, Type, Date, Folders, Files (the
// counts blank for a file).
FolderReportRow ReportCells(const ReportEntry& entry);
