#pragma once
// The status line under the folder list: the direct counts, and the total once known.

#include <cstdint>
#include <string>

#include "background_scan.h"
#include "size_measure.h"

// "%d directory, %d files", with ", Total Size:%s" when the total is above 0 (", Size on
// Disk:%s" when the total is of bytes on disk). The words never change between singular and
// plural.
std::string FormatStatusText(int folderCount, int fileCount, int64_t totalBytes,
                             SizeMeasure measure = SizeMeasure::Bytes);

// Before the counts while what is shown comes from a saved scan, not from this computer.
constexpr char kSavedScanStatus[] = "Saved scan: ";

// While a scan file is read: "Opening scan.json: 45% (12.0 MB of 27.0 MB). Esc stops." (the
// file's name after its last separator; no share while its size is not known).
std::string FormatOpeningText(const std::string& path, uint64_t bytesRead, uint64_t fileBytes);

// What the status line adds, in parentheses, about how the shown folder's scan went: while
// the volume's file table is read, that; when it walked where the table would have been
// faster, why; nothing otherwise (a walk where no table applies, or the table used).
std::string ScanMethodNote(const ScanMethod& method);
