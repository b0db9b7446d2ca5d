// dscp-report: the folder scan as a command-line tool.
#include <clocale>
#include <cstdio>
#include <string>

#include "command_line.h"
#include "folder_report.h"
#include "platform.h"
#include "status_text.h"

namespace {

// "[3/20] name" on one terminal line, rewritten in place.
class ProgressLine {
public:
    void Show(size_t done, size_t count, const char* name) {
        std::string text = "[" + std::to_string(done) + "/" + std::to_string(count) + "] " + name;
        const size_t length = text.size();
        if (length < m_nShown)
            text.append(m_nShown - length, ' ');
        std::fprintf(stderr, "\r%s", text.c_str());
        std::fflush(stderr);
        m_nShown = length;
    }
    void Clear() {
        if (m_nShown)
            std::fprintf(stderr, "\r%s\r", std::string(m_nShown, ' ').c_str());
        m_nShown = 0;
    }

private:
    size_t m_nShown = 0;
};

bool PrintLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        if (std::fputs(line.c_str(), stdout) == EOF || std::fputc('\n', stdout) == EOF)
            return false;
    return std::fflush(stdout) == 0;
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_TIME, "");
    PrepareConsole();

    ReportOptions options;
    std::string error;
    if (!ParseCommandLine(argc, argv, options, error)) {
        std::fprintf(stderr, "dscp-report: %s\n%s", error.c_str(), kUsageText);
        return 2;
    }
    if (options.bHelp) {
        std::fputs(kUsageText, stdout);
        return 0;
    }

    const std::string folder = AbsoluteFolderPath(options.folder);
    ProgressLine progressLine;
    TotalsProgress progress;
    if (StandardErrorIsTerminal())
        progress = [&progressLine](size_t done, size_t count, const char* name) {
            progressLine.Show(done, count, name);
        };

    FolderReport report;
    const bool listed =
        BuildFolderReport(folder, ShellTypeName, options.nThreads, progress, report);
    progressLine.Clear();
    if (!listed) {
        std::fprintf(stderr, "dscp-report: cannot read folder %s\n", folder.c_str());
        return 1;
    }

    const std::vector<std::string> lines = FolderReportLines(report.folderPath, report.rows);
    if (options.outputFile.empty()) {
        if (!PrintLines(lines)) {
            std::fprintf(stderr, "dscp-report: cannot write the report to standard output\n");
            return 1;
        }
    } else if (!WriteReportFile(options.outputFile, lines)) {
        std::fprintf(stderr, "dscp-report: cannot write %s\n", options.outputFile.c_str());
        return 1;
    }
    std::fprintf(stderr, "%s\n",
                 FormatStatusText(report.nFolders, report.nFiles, report.nTotalBytes).c_str());
    if (options.bExactTotals)
        std::fprintf(stderr, "%lld bytes, %lld folders, %lld files beneath\n",
                     static_cast<long long>(report.nTotalBytes),
                     static_cast<long long>(report.nFoldersBeneath),
                     static_cast<long long>(report.nFilesBeneath));
    return 0;
}
