#pragma once
// A folder's report made from a saved scan instead of the disk: the same rows, dates and
// totals a walk of the folder counting every link gives.

#include "folder_report.h"
#include "saved_scan_reader.h"

// The report of the scan's root, taking the scan's snapshot. The parts the scan marks as not
// read whole are listed in `unreadable` with no error number (0). With `bDiskUsage` the rows
// and totals are the scan's bytes on disk (its dsize), where it holds them.
FolderReport SavedScanReport(SavedScan&& scan, const TypeNamer& typeName, bool bDiskUsage = false);
