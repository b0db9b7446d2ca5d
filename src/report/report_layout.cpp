#include "report_layout.h"

#include <cstdio>
#include <sys/stat.h>

namespace {

// printf's "%-Ns" and "%Ns": pad to a minimum width, never cut.
void AppendLeft(std::string& line, const std::string& text, size_t width) {
    line += text;
    if (text.size() < width)
        line.append(width - text.size(), ' ');
}

void AppendRight(std::string& line, const std::string& text, size_t width) {
    if (text.size() < width)
        line.append(width - text.size(), ' ');
    line += text;
}

// "%-28s %10s %-25s %-20s %10s %10s"
std::string FolderLine(const FolderReportRow& cells) {
    std::string line;
    AppendLeft(line, cells[0], 28);
    line += ' ';
    AppendRight(line, cells[1], 10);
    line += ' ';
    AppendLeft(line, cells[2], 25);
    line += ' ';
    AppendLeft(line, cells[3], 20);
    line += ' ';
    AppendRight(line, cells[4], 10);
    line += ' ';
    AppendRight(line, cells[5], 10);
    return line;
}

// "%-10s %10s %10s"
std::string DriveLine(const DriveReportRow& cells) {
    std::string line;
    AppendLeft(line, cells[0], 10);
    line += ' ';
    AppendRight(line, cells[1], 10);
    line += ' ';
    AppendRight(line, cells[2], 10);
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
    lines.push_back(FolderLine({"Name", "Size", "Type", "Date", "Folder", "Files"}));
    lines.emplace_back(108, '=');
    for (const FolderReportRow& row : rows)
        lines.push_back(FolderLine(row));
    return lines;
}

std::vector<std::string> DriveReportLines(const std::string& folderPath,
                                          const std::vector<DriveReportRow>& rows) {
    std::vector<std::string> lines;
    lines.reserve(rows.size() + 4);
    lines.push_back("Path: " + folderPath);
    lines.emplace_back();
    lines.push_back(DriveLine({"Name", "Size", "Free Space"}));
    lines.emplace_back(30, '=');
    for (const DriveReportRow& row : rows)
        lines.push_back(DriveLine(row));
    return lines;
}

bool WriteReportFile(const std::string& fileName, const std::vector<std::string>& lines) {
    // Binary mode with explicit CR LF, so the file is the same on every platform.
    FILE* file = std::fopen(fileName.c_str(), "wb");
    if (!file)
        return false;
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
    return ok;
}
