#pragma once
// dscp-report --duplicates: the files beneath the folder whose bytes are the same, found from
// the walk's snapshot (sizes first) and read from the disk. Text: a line per group (how many
// copies of what size, and what all but one waste) with its files beneath, most waste first,
// a blank line between groups; CSV: one row per file, Group numbering the groups from 1 in
// that order.

#include <string>
#include <vector>

#include "duplicate_finder.h"
#include "folder_report.h"
#include "snapshot_candidates.h"

class DuplicatesReport {
public:
    // Reads what must be read; `progress` may be watched from another thread meanwhile.
    DuplicatesReport(const FolderReport& report, DuplicateProgress* progress);

    std::vector<std::string> TextLines() const;
    static std::string CsvHeader();
    std::vector<std::string> CsvRows() const;
    // The files that could not be read whole, as full paths.
    std::vector<std::string> UnreadablePaths() const;
    // "3 groups of duplicates, 7 files, 2.4 MB wasted".
    std::string Summary() const;
    // The bytes the search read to compare.
    int64_t BytesRead() const { return m_search.bytesRead; }

private:
    std::string RelativeOf(size_t file) const;

    const FolderReport& m_report;
    SnapshotCandidates m_candidates;
    DuplicateSearch m_search;
};
