// dscp-report: the folder scan as a command-line tool.
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>

#include <ctime>

#include "command_line.h"
#include "comparison_report.h"
#include "csv_report.h"
#include "duplicates_report.h"
#include "dscp_version.h"
#include "folder_report.h"
#include "folder_volume.h"
#include "ncdu_export.h"
#include "query_report.h"
#include "saved_scan_report.h"
#include "platform.h"
#include "replacing_file.h"
#include "status_text.h"
#include "table_scan.h"
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

// Writes the answer to --top or --types a line at a time.
template <typename QueryReport>
bool WriteQueryReport(const QueryReport& query, ReportOutput& output) {
    bool ok = true;
    for (const std::string& line : query.Heading())
        ok = ok && output.WriteLine(line);
    for (size_t row = 0; row < query.Count(); ++row)
        ok = ok && output.WriteLine(query.Line(row));
    return output.Close() && ok;
}

template <typename QueryReport> bool WriteQueryCsv(const QueryReport& query, std::FILE* out) {
    bool ok = std::fputs(QueryReport::CsvHeader().c_str(), out) != EOF;
    for (size_t row = 0; row < query.Count(); ++row)
        ok = ok && std::fputs(query.CsvRow(row).c_str(), out) != EOF;
    return ok;
}

// The report asked for, as text.
bool WriteTextReport(const ReportOptions& options, const FolderReport& report,
                     const ComparisonReport* comparison, ReportOutput& output) {
    if (comparison) {
        bool ok = true;
        for (const std::string& line : comparison->Heading())
            ok = ok && output.WriteLine(line);
        for (size_t row = 0; row < comparison->Count(); ++row)
            ok = ok && output.WriteLine(comparison->Line(row));
        ok = ok && output.WriteLine(std::string()) && output.WriteLine(comparison->TotalLine());
        return output.Close() && ok;
    }
    switch (options.query) {
    case ReportQuery::Largest:
        return WriteQueryReport(
            LargestFilesReport(report, options.nLargest, ShellTypeName, FileModifiedTime), output);
    case ReportQuery::Types:
        return WriteQueryReport(TypeTotalsReport(report, ShellTypeName), output);
    case ReportQuery::Duplicates:
        break; // written by WriteDuplicates
    case ReportQuery::Listing:
        break;
    }
    return WriteFolderReport(report, output);
}

// Writes the duplicates as text or CSV; false when writing failed. Each file that could not
// be read is named on standard error, and `unreadable` set.
bool WriteDuplicates(const ReportOptions& options, const FolderReport& report, ReportOutput* text,
                     std::FILE* csv, bool& unreadable) {
    const DuplicatesReport duplicates(report, nullptr);
    for (const std::string& path : duplicates.UnreadablePaths())
        std::fprintf(stderr, "dscp-report: cannot read %s\n", PrintableText(path).c_str());
    unreadable = !duplicates.UnreadablePaths().empty();
    if (options.bExactTotals)
        std::fprintf(stderr, "%lld bytes read to compare\n",
                     static_cast<long long>(duplicates.BytesRead()));
    bool ok = true;
    if (options.format == ReportFormat::Csv) {
        ok = std::fputs(DuplicatesReport::CsvHeader().c_str(), csv) != EOF;
        for (const std::string& row : duplicates.CsvRows())
            ok = ok && std::fputs(row.c_str(), csv) != EOF;
        return ok;
    }
    for (const std::string& line : duplicates.TextLines())
        ok = ok && text->WriteLine(line);
    return text->Close() && ok;
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
    return ", " + std::to_string(files) +
           (files == 1 ? " hard-linked file" : " hard-linked files") + " counted once";
}

// How the options have the folder scanned.
ReportScanOptions ScanOptionsOf(const ReportOptions& options) {
    ReportScanOptions scan;
    scan.nThreads = options.nThreads;
    // A comparison with a saved scan counts as the saved scan does: every link.
    // Duplicates need every file's links, so that two names of one file are not copies.
    scan.bCountLinks = (options.bCountLinks || !options.compareFile.empty()) &&
                       options.query != ReportQuery::Duplicates;
    scan.bOneFileSystem = options.bOneFileSystem;
    scan.bDiskUsage = options.bDiskUsage;
    // An export, the queries and a comparison read every file from the walk's snapshot.
    scan.bKeepSnapshot = options.format == ReportFormat::Json ||
                         options.query != ReportQuery::Listing || !options.compareFile.empty();
    return scan;
}

// Reads the folder's tree from its NTFS volume's file table into `report`, where the
// volume may be read; false, after saying why where it is on NTFS, when the folder is to
// be walked.
bool ReadFromVolumeTable(const ReportOptions& options, const std::string& folder,
                         FolderReport& report) {
    FolderVolume volume;
    std::string why;
    const VolumeAccess access = OpenFolderVolume(folder, volume, why);
    if (access == VolumeAccess::NotNtfs)
        return false;
    TableScan scan;
    TableScanOptions table;
    table.folderPath = folder;
    table.beneath = volume.beneath;
    // As the Windows walk, which is not told a folder's own size.
    table.bFolderOwnSizes = false;
    if (access == VolumeAccess::Opened && ScanFolderTable(*volume.bytes, table, scan, why) &&
        BuildFolderReportFromSnapshot(std::move(scan.snapshot), folder, scan.linkedNames,
                                      ShellTypeName, ScanOptionsOf(options), report)) {
        std::fprintf(stderr, "Read from the file table of %s\n", volume.device.c_str());
        return true;
    }
    std::fprintf(stderr, "Walking the folder, as its volume's file table cannot be read: %s\n",
                 PrintableText(why.empty() ? "the folder is not in it" : why).c_str());
    return false;
}

// Walks the folder the options name into `report`; false, saying why, when the folder
// itself cannot be read. Each part that could not be read is named, as du names it. A
// folder on an NTFS volume this process may read is read from the volume's table instead.
bool WalkFolder(const ReportOptions& options, FolderReport& report) {
    const std::string folder = AbsoluteFolderPath(options.folder);
    if (ReadFromVolumeTable(options, folder, report))
        return true;
    ProgressLine progressLine;
    TotalsProgress progress;
    if (StandardErrorIsTerminal())
        progress = [&progressLine](size_t done, size_t count, const char* name) {
            progressLine.Show(done, count, name);
        };

    int nError = 0;
    const bool listed =
        BuildFolderReport(folder, ShellTypeName, ScanOptionsOf(options), progress, report, nError);
    progressLine.Clear();
    if (!listed) {
        std::fprintf(stderr, "dscp-report: cannot read folder %s: %s\n",
                     PrintableText(folder).c_str(), std::strerror(nError));
        return false;
    }
    // Like du: each part that could not be read is named, the rest is still reported.
    for (const UnreadablePath& unreadable : report.unreadable)
        std::fprintf(stderr, "dscp-report: cannot read %s: %s\n",
                     PrintableText(unreadable.path).c_str(), std::strerror(unreadable.nError));
    return true;
}

// Whether `path` names a file (a saved scan) rather than a folder.
bool IsFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Reads a saved scan into `report`; false, saying why, when it cannot be read. Each part the
// scan could not read is named.
bool ReadScanFile(const std::string& fileName, bool bDiskUsage, FolderReport& report) {
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (!file) {
        std::fprintf(stderr, "dscp-report: cannot open %s: %s\n", PrintableText(fileName).c_str(),
                     std::strerror(errno));
        return false;
    }
    SavedScan scan;
    SavedScanError error;
    const bool read = ReadSavedScan(file, scan, error);
    std::fclose(file);
    if (!read) {
        std::fprintf(stderr, "dscp-report: %s is not a scan this reads: %s\n",
                     PrintableText(fileName).c_str(), PrintableText(error.Text()).c_str());
        return false;
    }
    report = SavedScanReport(std::move(scan), ShellTypeName, bDiskUsage);
    for (const UnreadablePath& unreadable : report.unreadable)
        std::fprintf(stderr, "dscp-report: %s was not read whole when the scan was taken\n",
                     PrintableText(unreadable.path).c_str());
    return true;
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

    FolderReport report;
    FolderReport before; // the older scan, with --compare
    std::unique_ptr<ComparisonReport> comparison;
    if (!options.compareFile.empty() && !ReadScanFile(options.compareFile, false, before))
        return 1;
    const std::string& scanFile = !options.fromFile.empty() ? options.fromFile
                                  : !options.compareFile.empty() && IsFile(options.folder)
                                      ? options.folder
                                      : std::string();
    if (!scanFile.empty() ? !ReadScanFile(scanFile, options.bDiskUsage, report)
                          : !WalkFolder(options, report))
        return 1;
    if (!options.compareFile.empty())
        comparison = std::make_unique<ComparisonReport>(before, report);

    bool unreadableFiles = false; // --duplicates: a file could not be read
    const bool toStandardOutput = options.outputFile.empty() || options.outputFile == "-";
    bool written = false;
    int nWriteError = 0;
    if (options.format == ReportFormat::Text) {
        ReportOutput output(toStandardOutput ? std::string() : options.outputFile);
        written = output.Open() &&
                  (options.query == ReportQuery::Duplicates
                       ? WriteDuplicates(options, report, &output, nullptr, unreadableFiles)
                       : WriteTextReport(options, report, comparison.get(), output));
        nWriteError = output.Error();
    } else {
        // Both formats are bytes as they are: no line-end translation anywhere.
        ReplacingFile file;
        std::FILE* out = stdout;
        if (toStandardOutput)
            MakeBinary(stdout);
        else if (file.Open(options.outputFile))
            out = file.Stream();
        else
            out = nullptr;
        if (out) {
            errno = 0;
            if (options.format == ReportFormat::Csv) {
                if (comparison)
                    written = WriteQueryCsv(*comparison, out);
                else if (options.query == ReportQuery::Duplicates)
                    written = WriteDuplicates(options, report, nullptr, out, unreadableFiles);
                else if (options.query == ReportQuery::Largest)
                    written = WriteQueryCsv(LargestFilesReport(report, options.nLargest,
                                                               ShellTypeName, FileModifiedTime),
                                            out);
                else if (options.query == ReportQuery::Types)
                    written = WriteQueryCsv(TypeTotalsReport(report, ShellTypeName), out);
                else
                    written = WriteCsvReport(report, out);
            } else {
                NcduExportInfo info = ReportExportInfo(report);
                info.progver = DSCP_VERSION_TEXT;
                // A saved scan written again keeps the time it was taken.
                info.timestamp =
                    report.bSavedScan ? report.nTakenAt : static_cast<int64_t>(std::time(nullptr));
                written = WriteNcduExport(report.snapshot, report.folderNode, info, out);
            }
            nWriteError = errno ? errno : EIO;
            if (toStandardOutput) {
                written = std::fflush(out) == 0 && written;
                if (!written && errno)
                    nWriteError = errno;
            } else if (!written) {
                file.Discard();
            } else if (!file.Commit()) {
                written = false;
                nWriteError = file.Error();
            }
        } else {
            nWriteError = file.Error();
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
    return report.unreadable.empty() && before.unreadable.empty() && !unreadableFiles ? 0 : 1;
}
