#include "comparison_report.h"

#include <unordered_map>

#include "csv_report.h"
#include "report_layout.h"
#include "size_text.h"
#include "text_columns.h"

namespace {

const ReportColumn kChangeColumn = {10, false};

std::string KeyOf(const std::string& name, bool bFolder) {
    return (bFolder ? "d" : "f") + name;
}

} // namespace

ComparisonReport::ComparisonReport(const FolderReport& before, const FolderReport& after)
    : m_folderPath(after.folderPath) {
    const FolderComparison comparison =
        CompareFolder(before.snapshot, before.folderNode, after.snapshot, after.folderNode);
    m_nBefore = before.nTotalBytes;
    m_nAfter = after.nTotalBytes;
    std::unordered_map<std::string, const ReportEntry*> now, then;
    for (const ReportEntry& entry : after.entries)
        now.emplace(KeyOf(entry.name, entry.bFolder), &entry);
    for (const ReportEntry& entry : before.entries)
        then.emplace(KeyOf(entry.name, entry.bFolder), &entry);
    for (const EntryChange& change : comparison.entries) {
        const auto& rows = change.status == ChangeStatus::Gone ? then : now;
        const auto it = rows.find(KeyOf(change.name, change.bFolder));
        if (it != rows.end())
            m_rows.push_back({it->second, change});
    }
}

std::vector<std::string> ComparisonReport::Heading() const {
    std::vector<std::string> lines = FolderReportHeading(m_folderPath);
    lines[2] += " " + ReportColumnsLine({"Change"}, {kChangeColumn});
    lines[3] += std::string(1 + kChangeColumn.nWidth, '=');
    return lines;
}

std::string ComparisonReport::Line(size_t row) const {
    const Row& r = m_rows[row];
    return FolderReportLine(ReportCells(*r.entry)) + " " +
           ReportColumnsLine({ChangeText(r.change)}, {kChangeColumn});
}

std::string ComparisonReport::TotalLine() const {
    return "Total: " + ChangeTotalText(m_nBefore, m_nAfter);
}

std::string ComparisonReport::CsvHeader() {
    std::vector<std::string> columns = CsvColumns();
    columns.push_back("Change");
    columns.push_back("Status");
    return CsvRecord(columns);
}

std::string ComparisonReport::CsvRow(size_t row) const {
    const Row& r = m_rows[row];
    std::vector<std::string> fields = CsvFields(*r.entry);
    fields.push_back(std::to_string(r.change.Change()));
    fields.push_back(StatusName(r.change.status));
    return CsvRecord(fields);
}
