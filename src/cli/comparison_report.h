#pragma once
// dscp-report --compare: the rows of the newer report and the entries gone since the older
// one, each with its change (largest growth first), and the total then and now; as
// fixed-width text or comma-separated values. Both reports keep their snapshots.

#include <string>
#include <vector>

#include "folder_report.h"
#include "scan_comparison.h"

class ComparisonReport {
public:
    ComparisonReport(const FolderReport& before, const FolderReport& after);

    size_t Count() const { return m_rows.size(); }
    std::vector<std::string> Heading() const;
    // A gone entry's row shows it as the older scan had it.
    std::string Line(size_t row) const;
    // "Total: +28.0 MB (1.2 GB then, 1.5 GB now)"
    std::string TotalLine() const;
    static std::string CsvHeader();
    std::string CsvRow(size_t row) const;

private:
    struct Row {
        const ReportEntry* entry;
        EntryChange change;
    };
    std::vector<Row> m_rows;
    std::string m_folderPath;
    int64_t m_nBefore = 0;
    int64_t m_nAfter = 0;
};
