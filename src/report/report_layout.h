#pragma once
// The fixed-width text report: a path line, the column titles, a rule and one line
// per row of the list. Widths are minimums; a longer text is written whole and
// pushes the rest of its line to the right.

#include <array>
#include <string>
#include <vector>

using FolderReportRow = std::array<std::string, 6>; // Name, Size, Type, Date, Folders, Files
using DriveReportRow = std::array<std::string, 3>;  // Name, Size, Free Space

// The report's lines, without line ends.
std::vector<std::string> FolderReportLines(const std::string& folderPath,
                                           const std::vector<FolderReportRow>& rows);
std::vector<std::string> DriveReportLines(const std::string& folderPath,
                                          const std::vector<DriveReportRow>& rows);

// Writes the lines to `fileName`, each ended by CR LF, replacing the file. A file
// that was opened but could not be written or closed whole is removed again.
enum class ReportWriteResult { Written, NotOpened, NotWritten };
ReportWriteResult WriteReport(const std::string& fileName, const std::vector<std::string>& lines);
// The same, true only when every line was written.
bool WriteReportFile(const std::string& fileName, const std::vector<std::string>& lines);
