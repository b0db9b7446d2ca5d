#include "query_report.h"

#include <utility>

#include "csv_report.h"
#include "date_text.h"
#include "file_extension.h"
#include "largest_files.h"
#include "path_text.h"
#include "report_layout.h"
#include "size_text.h"
#include "text_columns.h"

namespace {

// "%-48s %10s %-25s %-20s"
const std::vector<ReportColumn> kLargestColumns = {{48, true}, {10, false}, {25, true}, {20, true}};
// "%-12s %-25s %10s %6s %10s"
const std::vector<ReportColumn> kTypeColumns = {
    {12, true}, {25, true}, {10, false}, {6, false}, {10, false}};

std::vector<std::string> QueryHeading(const std::string& folderPath,
                                      std::vector<std::string> titles,
                                      const std::vector<ReportColumn>& columns) {
    size_t width = columns.size() - 1;
    for (const ReportColumn& column : columns)
        width += column.nWidth;
    return {"Path: " + PrintableText(folderPath), std::string(), ReportColumnsLine(titles, columns),
            std::string(width, '=')};
}

} // namespace

LargestFilesReport::LargestFilesReport(const FolderReport& report, size_t count, TypeNamer typeName,
                                       ModifiedTimeFn modified)
    : m_report(report), m_files(LargestFiles(report.snapshot, report.folderNode, count)),
      m_typeName(std::move(typeName)), m_modified(std::move(modified)) {}

LargestFilesReport::Cells LargestFilesReport::CellsOf(size_t row, bool iso) const {
    const FolderSnapshot& s = m_report.snapshot;
    const FileRef file = m_files[row];
    Cells cells;
    cells.path = RelativePath(s, m_report.folderNode, file);
    cells.bytes = s.FileSize(file.folder, file.file);
    const std::string fullPath = JoinPath(m_report.folderPath, cells.path.c_str());
    cells.type = m_typeName(fullPath, s.FileName(file.folder, file.file), false);
    int64_t seconds = 0;
    if (m_report.bSavedScan)
        seconds = s.FileModified(file.folder, file.file); // 0: the scan holds no date
    if (m_report.bSavedScan ? seconds != 0 : m_modified(fullPath, seconds))
        cells.modified = iso ? IsoLocalTime(seconds) : FormatDateTime(seconds);
    return cells;
}

std::vector<std::string> LargestFilesReport::Heading() const {
    return QueryHeading(m_report.folderPath, {"Path", "Size", "Type", "Date"}, kLargestColumns);
}

std::string LargestFilesReport::Line(size_t row) const {
    const Cells cells = CellsOf(row, false);
    return ReportColumnsLine({cells.path, FormatSize(cells.bytes), cells.type, cells.modified},
                             kLargestColumns);
}

std::string LargestFilesReport::CsvHeader() {
    return CsvRecord({"Path", "Bytes", "Size", "Type", "Modified"});
}

std::string LargestFilesReport::CsvRow(size_t row) const {
    const Cells cells = CellsOf(row, true);
    return CsvRecord({AsUtf8(cells.path), std::to_string(cells.bytes), FormatSize(cells.bytes),
                      cells.type, cells.modified});
}

TypeTotalsReport::TypeTotalsReport(const FolderReport& report, TypeNamer typeName)
    : m_report(report), m_types(TypeTotals(report.snapshot, report.folderNode)),
      m_typeName(std::move(typeName)) {}

std::string TypeTotalsReport::TypeName(const TypeTotal& type) const {
    // The type of any file of that extension: the shell names it by the extension alone.
    const std::string name = type.key.empty() ? std::string("file") : "file." + type.key;
    return m_typeName(JoinPath(m_report.folderPath, name.c_str()), name.c_str(), false);
}

std::vector<std::string> TypeTotalsReport::Heading() const {
    return QueryHeading(m_report.folderPath, {"Extension", "Type", "Size", "Share", "Files"},
                        kTypeColumns);
}

std::string TypeTotalsReport::Line(size_t row) const {
    const TypeTotal& t = m_types[row];
    return ReportColumnsLine({ExtensionText(t.key), TypeName(t), FormatSize(t.bytes),
                              SharePercentText(t.share) + "%", std::to_string(t.files)},
                             kTypeColumns);
}

std::string TypeTotalsReport::CsvHeader() {
    return CsvRecord({"Extension", "Type", "Bytes", "Size", "Share", "Files"});
}

std::string TypeTotalsReport::CsvRow(size_t row) const {
    const TypeTotal& t = m_types[row];
    return CsvRecord({AsUtf8(ExtensionText(t.key)), TypeName(t), std::to_string(t.bytes),
                      FormatSize(t.bytes), SharePercentText(t.share), std::to_string(t.files)});
}
