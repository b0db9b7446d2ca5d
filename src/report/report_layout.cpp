#include "report_layout.h"

#include <cerrno>
#include <cstdio>

#include "text_columns.h"

namespace {

// "%-28s %10s %-25s %-20s %10s %10s"
constexpr ReportColumn kFolderColumns[] = {{28, true}, {10, false}, {25, true},
                                           {20, true}, {10, false}, {10, false}};
// "%-10s %10s %10s"
constexpr ReportColumn kDriveColumns[] = {{10, true}, {10, false}, {10, false}};

void AppendCell(std::string& line, const std::string& cell, const ReportColumn& column) {
    const std::string text = PrintableText(cell);
    // Padded by display columns, not bytes: a Greek or Chinese name must not shift
    // the columns after it in a monospaced viewer.
    const size_t shown = DisplayWidth(text);
    const size_t padding = shown < column.nWidth ? column.nWidth - shown : 0;
    if (!column.bLeft)
        line.append(padding, ' ');
    line += text;
    if (column.bLeft)
        line.append(padding, ' ');
}

template <size_t N>
std::string FormatLine(const std::array<std::string, N>& cells, const ReportColumn (&columns)[N]) {
    std::string line;
    for (size_t i = 0; i < N; ++i) {
        if (i > 0)
            line += ' ';
        AppendCell(line, cells[i], columns[i]);
    }
    return line;
}

} // namespace

std::string ReportColumnsLine(const std::vector<std::string>& cells,
                              const std::vector<ReportColumn>& columns) {
    std::string line;
    for (size_t i = 0; i < cells.size() && i < columns.size(); ++i) {
        if (i > 0)
            line += ' ';
        AppendCell(line, cells[i], columns[i]);
    }
    return line;
}

std::vector<std::string> FolderReportHeading(const std::string& folderPath) {
    // The fifth title is "Folder" although the list's column reads "Folders".
    return {"Path: " + PrintableText(folderPath), std::string(),
            FormatLine<6>({"Name", "Size", "Type", "Date", "Folder", "Files"}, kFolderColumns),
            std::string(108, '=')};
}

std::string FolderReportLine(const FolderReportRow& row) {
    return FormatLine(row, kFolderColumns);
}

std::vector<std::string> FolderReportLines(const std::string& folderPath,
                                           const std::vector<FolderReportRow>& rows) {
    std::vector<std::string> lines = FolderReportHeading(folderPath);
    lines.reserve(rows.size() + lines.size());
    for (const FolderReportRow& row : rows)
        lines.push_back(FolderReportLine(row));
    return lines;
}

std::vector<std::string> DriveReportLines(const std::string& folderPath,
                                          const std::vector<DriveReportRow>& rows) {
    std::vector<std::string> lines;
    lines.reserve(rows.size() + 4);
    lines.push_back("Path: " + PrintableText(folderPath));
    lines.emplace_back();
    lines.push_back(FormatLine<3>({"Name", "Size", "Free Space"}, kDriveColumns));
    lines.emplace_back(30, '=');
    for (const DriveReportRow& row : rows)
        lines.push_back(FormatLine(row, kDriveColumns));
    return lines;
}

bool ReportFileWriter::Open(const std::string& fileName) {
    // Binary mode with explicit CR LF, so the file is the same on every platform.
    m_nError = 0;
    return m_file.Open(fileName);
}

bool ReportFileWriter::Fail() {
    if (m_nError == 0)
        m_nError = errno ? errno : EIO;
    return false;
}

bool ReportFileWriter::WriteLine(const std::string& line) {
    std::FILE* file = m_file.Stream();
    if (!file || m_nError != 0)
        return false;
    errno = 0;
    if (std::fwrite(line.data(), 1, line.size(), file) != line.size() ||
        std::fwrite("\r\n", 1, 2, file) != 2)
        return Fail();
    return true;
}

ReportWriteResult ReportFileWriter::Close() {
    if (!m_file.Stream())
        return ReportWriteResult::NotOpened;
    if (m_nError != 0) {
        m_file.Discard();
        return ReportWriteResult::NotWritten;
    }
    return m_file.Commit() ? ReportWriteResult::Written : ReportWriteResult::NotWritten;
}

ReportWriteResult WriteReport(const std::string& fileName, const std::vector<std::string>& lines) {
    ReportFileWriter writer;
    if (!writer.Open(fileName))
        return ReportWriteResult::NotOpened;
    for (const std::string& line : lines)
        if (!writer.WriteLine(line))
            break;
    return writer.Close();
}

bool WriteReportFile(const std::string& fileName, const std::vector<std::string>& lines) {
    return WriteReport(fileName, lines) == ReportWriteResult::Written;
}
