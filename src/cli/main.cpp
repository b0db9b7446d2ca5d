// dscp-report: the folder scan as a command-line tool.
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "command_line.h"
#include "folder_report.h"
#include "platform.h"
#include "status_text.h"
#include "text_columns.h"

namespace {

// "[3/20] name" on one terminal line, rewritten in place.
class ProgressLine {
public:
    void Show(size_t done, size_t count, const char* name) {
        std::string text =
            "[" + std::to_string(done) + "/" + std::to_string(count) + "] " + PrintableText(name);
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

// Where the report's lines go: standard output, or a file with CR LF line ends.
class ReportOutput {
public:
    explicit ReportOutput(const std::string& fileName) : m_fileName(fileName) {}

    bool Open() { return m_fileName.empty() || m_file.Open(m_fileName); }
    bool WriteLine(const std::string& line) {
        if (!m_fileName.empty())
            return m_file.WriteLine(line);
        return (std::fputs(line.c_str(), stdout) != EOF && std::fputc('\n', stdout) != EOF) ||
               Fail();
    }
    bool Close() {
        if (!m_fileName.empty())
            return m_file.Close() == ReportWriteResult::Written;
        return (std::fflush(stdout) == 0 && !std::ferror(stdout)) || Fail();
    }
    // Why the report could not be written, as an errno value.
    int Error() const { return m_fileName.empty() ? m_nError : m_file.Error(); }

private:
    bool Fail() {
        if (m_nError == 0)
            m_nError = errno ? errno : EIO;
        return false;
    }

    std::string m_fileName;
    ReportFileWriter m_file;
    int m_nError = 0; // standard output's first failure
};

// Writes the report a line at a time: the cells of a row are formed as it is written.
bool WriteFolderReport(const FolderReport& report, ReportOutput& output) {
    bool ok = true;
    for (const std::string& line : FolderReportHeading(report.folderPath))
        ok = ok && output.WriteLine(line);
    for (const ReportEntry& entry : report.entries)
        ok = ok && output.WriteLine(FolderReportLine(ReportCells(entry)));
    return output.Close() && ok;
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
    int nError = 0;
    const bool listed =
        BuildFolderReport(folder, ShellTypeName, options.nThreads, progress, report, nError);
    progressLine.Clear();
    if (!listed) {
        std::fprintf(stderr, "dscp-report: cannot read folder %s: %s\n",
                     PrintableText(folder).c_str(), std::strerror(nError));
        return 1;
    }
    // Like du: each part that could not be read is named, the rest is still reported.
    for (const UnreadablePath& unreadable : report.unreadable)
        std::fprintf(stderr, "dscp-report: cannot read %s: %s\n",
                     PrintableText(unreadable.path).c_str(), std::strerror(unreadable.nError));

    ReportOutput output(options.outputFile);
    if (!output.Open() || !WriteFolderReport(report, output)) {
        const std::string where = options.outputFile.empty()
                                      ? std::string("the report to standard output")
                                      : PrintableText(options.outputFile);
        std::fprintf(stderr, "dscp-report: cannot write %s: %s\n", where.c_str(),
                     std::strerror(output.Error()));
        return 1;
    }
    std::fprintf(stderr, "%s\n",
                 FormatStatusText(report.nFolders, report.nFiles, report.nTotalBytes).c_str());
    if (options.bExactTotals) {
        std::string unread;
        if (!report.unreadable.empty())
            unread = ", " + std::to_string(report.unreadable.size()) + " could not be read";
        std::fprintf(stderr, "%lld bytes, %lld folders, %lld files beneath%s\n",
                     static_cast<long long>(report.nTotalBytes),
                     static_cast<long long>(report.nFoldersBeneath),
                     static_cast<long long>(report.nFilesBeneath), unread.c_str());
    }
    return report.unreadable.empty() ? 0 : 1;
}
