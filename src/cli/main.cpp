// dscp-report: the folder scan as a command-line tool.
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include <ctime>

#include "command_line.h"
#include "csv_report.h"
#include "dscp_version.h"
#include "folder_report.h"
#include "ncdu_export.h"
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

// Writes the rows as comma-separated values.
bool WriteCsvReport(const FolderReport& report, std::FILE* out) {
    bool ok = std::fputs(CsvHeader().c_str(), out) != EOF;
    for (const ReportEntry& entry : report.entries)
        ok = ok && std::fputs(CsvRow(entry).c_str(), out) != EOF;
    return ok;
}

// ", 2 hard-linked files counted once", or nothing.
std::string CountedOnceText(int64_t files) {
    if (files == 0)
        return std::string();
    return ", " + std::to_string(files) + (files == 1 ? " hard-linked file" : " hard-linked files") +
           " counted once";
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
    if (options.bVersion) {
        std::fputs("dscp-report " DSCP_VERSION_TEXT "\n", stdout);
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
    ReportScanOptions scan;
    scan.nThreads = options.nThreads;
    scan.bCountLinks = options.bCountLinks;
    scan.bOneFileSystem = options.bOneFileSystem;
    scan.bKeepSnapshot = options.format == ReportFormat::Json;
    const bool listed = BuildFolderReport(folder, ShellTypeName, scan, progress, report, nError);
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

    const bool toStandardOutput = options.outputFile.empty() || options.outputFile == "-";
    bool written = false;
    int nWriteError = 0;
    if (options.format == ReportFormat::Text) {
        ReportOutput output(toStandardOutput ? std::string() : options.outputFile);
        written = output.Open() && WriteFolderReport(report, output);
        nWriteError = output.Error();
    } else {
        // Both formats are bytes as they are: no line-end translation anywhere.
        std::FILE* out = stdout;
        if (toStandardOutput)
            MakeBinary(stdout);
        else
            out = std::fopen(options.outputFile.c_str(), "wb");
        errno = 0;
        if (out) {
            if (options.format == ReportFormat::Csv) {
                written = WriteCsvReport(report, out);
            } else {
                NcduExportInfo info;
                info.rootName = folder;
                info.progver = DSCP_VERSION_TEXT;
                info.timestamp = static_cast<int64_t>(std::time(nullptr));
                info.nDevice = report.nDevice;
                info.nOwnBytes = report.nOwnBytes;
                info.nOwnDiskBytes = report.nOwnDiskBytes;
                info.pLinkedNames = &report.linkedNames;
                written = WriteNcduExport(report.snapshot, report.folderNode, info, out);
            }
            nWriteError = errno ? errno : EIO;
            written = (out == stdout ? std::fflush(out) == 0 : std::fclose(out) == 0) && written;
            if (!written && errno)
                nWriteError = errno;
        } else {
            nWriteError = errno ? errno : EIO;
        }
    }
    if (!written) {
        const std::string where = toStandardOutput ? std::string("the report to standard output")
                                                   : PrintableText(options.outputFile);
        std::fprintf(stderr, "dscp-report: cannot write %s: %s\n", where.c_str(),
                     std::strerror(nWriteError));
        return 1;
    }
    const std::string countedOnce = CountedOnceText(report.nCountedOnce);
    std::fprintf(stderr, "%s%s\n",
                 FormatStatusText(report.nFolders, report.nFiles, report.nTotalBytes).c_str(),
                 countedOnce.c_str());
    if (options.bExactTotals) {
        std::string unread;
        if (!report.unreadable.empty())
            unread = ", " + std::to_string(report.unreadable.size()) + " could not be read";
        std::fprintf(stderr, "%lld bytes, %lld folders, %lld files beneath%s%s\n",
                     static_cast<long long>(report.nTotalBytes),
                     static_cast<long long>(report.nFoldersBeneath),
                     static_cast<long long>(report.nFilesBeneath), countedOnce.c_str(),
                     unread.c_str());
    }
    return report.unreadable.empty() ? 0 : 1;
}
