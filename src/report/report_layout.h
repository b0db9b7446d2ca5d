#pragma once
// The fixed-width text report: a path line, the column titles, a rule and one line
// per row of the list. Widths are minimums; a longer text is written whole and
// pushes the rest of its line to the right.

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "replacing_file.h"

using FolderReportRow = std::array<std::string, 6>; // Name, Size, Type, Date, Folders, Files
using DriveReportRow = std::array<std::string, 3>;  // Name, Size, Free Space

// A folder report's first four lines (Path, a blank line, the titles, the rule) and the
// line of one row, for writing a long report line by line.
std::vector<std::string> FolderReportHeading(const std::string& folderPath);
std::string FolderReportLine(const FolderReportRow& row);

// The report's lines, without line ends.
std::vector<std::string> FolderReportLines(const std::string& folderPath,
                                           const std::vector<FolderReportRow>& rows);
std::vector<std::string> DriveReportLines(const std::string& folderPath,
                                          const std::vector<DriveReportRow>& rows);

// printf's "%-Ns" (left) and "%Ns" (right): a minimum width in display columns, never a cut.
struct ReportColumn {
    size_t nWidth;
    bool bLeft;
};

// One line of cells in those columns, separated by a space.
std::string ReportColumnsLine(const std::vector<std::string>& cells,
                              const std::vector<ReportColumn>& columns);

enum class ReportWriteResult { Written, NotOpened, NotWritten };

// Writes a report file line by line, each line ended by CR LF. The file at that name is
// replaced only once the whole report is written (ReplacingFile): a failure leaves it as it
// was.
class ReportFileWriter {
public:
    bool Open(const std::string& fileName);
    // False once any write has failed; later lines are not written.
    bool WriteLine(const std::string& line);
    // Closes the file: Written, or NotWritten with nothing changed at the name.
    ReportWriteResult Close();
    // Why opening, writing or closing failed, as an errno value.
    int Error() const { return m_nError ? m_nError : m_file.Error(); }

private:
    bool Fail();

    ReplacingFile m_file;
    int m_nError = 0; // of the first failed write; 0 while none
};

// Writes the lines to `fileName` through a ReportFileWriter.
ReportWriteResult WriteReport(const std::string& fileName, const std::vector<std::string>& lines);
// The same, true only when every line was written.
bool WriteReportFile(const std::string& fileName, const std::vector<std::string>& lines);
