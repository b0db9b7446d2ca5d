#include "report_layout.h"

#include <cstdio>
#include <sys/stat.h>

namespace {

// printf's "%-Ns" (left) and "%Ns" (right): a minimum width, never a cut.
struct ColumnFormat {
    size_t nWidth;
    bool bLeft;
};

// "%-28s %10s %-25s %-20s %10s %10s"
constexpr ColumnFormat kFolderColumns[] = {{28, true}, {10, false}, {25, true},
                                           {20, true}, {10, false}, {10, false}};
// "%-10s %10s %10s"
constexpr ColumnFormat kDriveColumns[] = {{10, true}, {10, false}, {10, false}};

template <size_t N>
std::string FormatLine(const std::array<std::string, N>& cells, const ColumnFormat (&columns)[N]) {
    std::string line;
    for (size_t i = 0; i < N; ++i) {
        if (i > 0)
            line += ' ';
        const std::string& text = cells[i];
        const size_t width = columns[i].nWidth;
        const size_t padding = text.size() < width ? width - text.size() : 0;
        if (!columns[i].bLeft)
            line.append(padding, ' ');
        line += text;
        if (columns[i].bLeft)
            line.append(padding, ' ');
    }
    return line;
}

} // namespace

std::vector<std::string> FolderReportLines(const std::string& folderPath,
                                           const std::vector<FolderReportRow>& rows) {
    std::vector<std::string> lines;
    lines.reserve(rows.size() + 4);
    lines.push_back("Path: " + folderPath);
    lines.emplace_back();
    // The fifth title is "Folder" although the list's column reads "Folders".
    lines.push_back(
        FormatLine<6>({"Name", "Size", "Type", "Date", "Folder", "Files"}, kFolderColumns));
    lines.emplace_back(108, '=');
    for (const FolderReportRow& row : rows)
        lines.push_back(FormatLine(row, kFolderColumns));
    return lines;
}

std::vector<std::string> DriveReportLines(const std::string& folderPath,
                                          const std::vector<DriveReportRow>& rows) {
    std::vector<std::string> lines;
    lines.reserve(rows.size() + 4);
    lines.push_back("Path: " + folderPath);
    lines.emplace_back();
    lines.push_back(FormatLine<3>({"Name", "Size", "Free Space"}, kDriveColumns));
    lines.emplace_back(30, '=');
    for (const DriveReportRow& row : rows)
        lines.push_back(FormatLine(row, kDriveColumns));
    return lines;
}

ReportWriteResult WriteReport(const std::string& fileName, const std::vector<std::string>& lines) {
    // Binary mode with explicit CR LF, so the file is the same on every platform.
    FILE* file = std::fopen(fileName.c_str(), "wb");
    if (!file)
        return ReportWriteResult::NotOpened;
    bool ok = true;
    for (const std::string& line : lines) {
        if (std::fwrite(line.data(), 1, line.size(), file) != line.size() ||
            std::fwrite("\r\n", 1, 2, file) != 2) {
            ok = false;
            break;
        }
    }
    if (std::fflush(file) != 0 || std::ferror(file))
        ok = false;
    if (std::fclose(file) != 0)
        ok = false;
    // Remove what was written, but only a file of our own: a failed write to a
    // device such as /dev/full must not delete the device.
    struct stat st;
    if (!ok && stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        std::remove(fileName.c_str());
    return ok ? ReportWriteResult::Written : ReportWriteResult::NotWritten;
}

bool WriteReportFile(const std::string& fileName, const std::vector<std::string>& lines) {
    return WriteReport(fileName, lines) == ReportWriteResult::Written;
}
