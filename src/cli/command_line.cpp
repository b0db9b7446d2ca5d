#include "command_line.h"

#include <cstdint>
#include <cstring>

const char* const kUsageText =
    "usage: dscp-report [--json | --csv] [--top N | --types] [-o FILE] [--exact]\n"
    "                   [--count-links] [--disk-usage] [-x] [--threads N] [FOLDER]\n"
    "       dscp-report [--json | --csv] [--top N | --types] [-o FILE] [--exact]\n"
    "                   [--disk-usage] --from SCAN.json\n"
    "       dscp-report [--csv] [-o FILE] [--exact] [-x] [--threads N]\n"
    "                   --compare OLD.json [FOLDER | NEW.json]\n"
    "       dscp-report [--csv] [-o FILE] [--exact] [-x] [--threads N] --duplicates\n"
    "                   [FOLDER]\n"
    "\n"
    "Lists FOLDER (default: the current folder) with the size of every subfolder and\n"
    "file, largest first, as a fixed-width report; the counts and the total size follow\n"
    "on standard error.\n"
    "\n"
    "  --from SCAN.json\n"
    "                 report the folder a saved scan holds instead of walking one: a\n"
    "                 scan in ncdu's JSON export format, as --json, ncdu -o and gdu -o\n"
    "                 write it. Every link counts, as with --count-links; a part the\n"
    "                 scan could not read is named and the exit status is 1\n"
    "  --compare OLD.json\n"
    "                 compare a saved scan with FOLDER (walked, every link counted) or\n"
    "                 with a newer saved scan: the rows with a Change column (+28.0 MB,\n"
    "                 -1.5 MB, new, gone: matched by name, a rename is one gone and one\n"
    "                 new), largest growth first, then the total then and now; with\n"
    "                 --csv the columns Change (signed bytes) and Status (grown, shrunk,\n"
    "                 same, new, gone) are added\n"
    "  --top N        list the N largest files anywhere beneath FOLDER instead, largest\n"
    "                 first, files of equal size by path: Path (beneath FOLDER), Size,\n"
    "                 Type, Date; with --csv Path,Bytes,Size,Type,Modified\n"
    "  --types        list the files beneath FOLDER by type instead, most bytes first:\n"
    "                 Extension, Type, Size, Share (of the files' bytes), Files; with\n"
    "                 --csv Extension,Type,Bytes,Size,Share,Files (Share in percent).\n"
    "                 The extension is the text after the name's last dot, in lower\n"
    "                 case; a name without one, or whose only dot comes first, is (none)\n"
    "  --duplicates   list the files beneath FOLDER whose bytes are the same instead:\n"
    "                 groups most waste first (size times copies but one), a blank line\n"
    "                 between groups; with --csv Group,Bytes,Path,Modified, Group\n"
    "                 numbering the groups from 1. Empty files and the other names of a\n"
    "                 hard-linked file are left out; files are compared byte for byte.\n"
    "                 A file that cannot be read is named and the exit status is 1;\n"
    "                 with --exact the bytes read to compare are told on standard error\n"
    "  --json         write the whole tree beneath FOLDER in ncdu's JSON export format\n"
    "                 (version 1.2), which ncdu -f and gdu -f open\n"
    "  --csv          write the report's rows as comma-separated values (RFC 4180)\n"
    "  -o FILE        write to FILE instead of standard output (\"-\": standard output);\n"
    "                 the text report gets CR LF line ends there\n"
    "  --exact        after the status line, print the exact bytes, folders and files\n"
    "                 beneath FOLDER on standard error\n"
    "  --disk-usage   the sizes and totals in bytes on disk (allocated blocks, folders'\n"
    "                 own included), as du counts without -b; with --from, the scan's\n"
    "                 dsize. Only for the folder's rows (not --top, --types, --json or\n"
    "                 --compare)\n"
    "  --count-links  count a file with several hard links once per link (default:\n"
    "                 once, in the folder of its first path in name order)\n"
    "  -x, --one-file-system\n"
    "                 do not enter folders on other file systems (mount points)\n"
    "  --threads N    walk with N threads (default: one per core; 1: one thread)\n"
    "  -h, --help     show this text\n"
    "  --version      show the program's version\n";

namespace {

// A whole number of at least 1.
bool ParseCount(const char* text, size_t& count) {
    size_t value = 0;
    if (!*text)
        return false;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9' || value > (SIZE_MAX - 9) / 10)
            return false;
        value = value * 10 + static_cast<size_t>(*p - '0');
    }
    if (value < 1)
        return false;
    count = value;
    return true;
}

bool ParseThreadCount(const char* text, unsigned& count) {
    unsigned value = 0;
    if (!*text)
        return false;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9' || value > 64)
            return false;
        value = value * 10 + static_cast<unsigned>(*p - '0');
    }
    if (value < 1 || value > 64)
        return false;
    count = value;
    return true;
}

} // namespace

bool ParseCommandLine(int argc, const char* const* argv, ReportOptions& options,
                      std::string& error) {
    bool haveFolder = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!optionsEnded && arg[0] == '-' && arg[1] != '\0') {
            if (std::strcmp(arg, "--") == 0) {
                optionsEnded = true;
            } else if (std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "--help") == 0) {
                options.bHelp = true;
            } else if (std::strcmp(arg, "--version") == 0) {
                options.bVersion = true;
            } else if (std::strcmp(arg, "--json") == 0 || std::strcmp(arg, "--csv") == 0) {
                const ReportFormat format = arg[2] == 'j' ? ReportFormat::Json : ReportFormat::Csv;
                if (options.format != ReportFormat::Text && options.format != format) {
                    error = "--json and --csv exclude each other";
                    return false;
                }
                options.format = format;
            } else if (std::strcmp(arg, "--top") == 0 || std::strcmp(arg, "--types") == 0 ||
                       std::strcmp(arg, "--duplicates") == 0) {
                const ReportQuery query = std::strcmp(arg, "--top") == 0 ? ReportQuery::Largest
                                          : std::strcmp(arg, "--types") == 0
                                              ? ReportQuery::Types
                                              : ReportQuery::Duplicates;
                if (options.query != ReportQuery::Listing && options.query != query) {
                    error = "--top, --types and --duplicates exclude each other";
                    return false;
                }
                options.query = query;
                if (query == ReportQuery::Largest) {
                    if (i + 1 >= argc || !ParseCount(argv[i + 1], options.nLargest)) {
                        error = "option --top needs a number of at least 1";
                        return false;
                    }
                    ++i;
                }
            } else if (std::strcmp(arg, "--count-links") == 0) {
                options.bCountLinks = true;
            } else if (std::strcmp(arg, "-x") == 0 || std::strcmp(arg, "--one-file-system") == 0) {
                options.bOneFileSystem = true;
            } else if (std::strcmp(arg, "--exact") == 0) {
                options.bExactTotals = true;
            } else if (std::strcmp(arg, "--disk-usage") == 0) {
                options.bDiskUsage = true;
            } else if (std::strcmp(arg, "--threads") == 0) {
                if (i + 1 >= argc || !ParseThreadCount(argv[i + 1], options.nThreads)) {
                    error = "option --threads needs a number from 1 to 64";
                    return false;
                }
                ++i;
            } else if (std::strcmp(arg, "--from") == 0 || std::strcmp(arg, "--compare") == 0) {
                if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                    error = std::string("option ") + arg + " needs a file name";
                    return false;
                }
                (arg[2] == 'f' ? options.fromFile : options.compareFile) = argv[++i];
            } else if (std::strcmp(arg, "-o") == 0) {
                if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                    error = "option -o needs a file name";
                    return false;
                }
                options.outputFile = argv[++i];
            } else {
                error = std::string("unknown option ") + arg;
                return false;
            }
            continue;
        }
        if (haveFolder) {
            error = std::string("unexpected argument ") + arg;
            return false;
        }
        options.folder = arg;
        haveFolder = true;
    }
    if (options.query != ReportQuery::Listing && options.format == ReportFormat::Json) {
        error = "--json writes the whole tree: not with --top, --types or --duplicates";
        return false;
    }
    if (options.query == ReportQuery::Duplicates && !options.fromFile.empty()) {
        error = "--duplicates reads the files: not with --from";
        return false;
    }
    if (options.bDiskUsage &&
        (options.query != ReportQuery::Listing || options.format == ReportFormat::Json ||
         !options.compareFile.empty())) {
        error = "--disk-usage lists the folder's rows: not with --top, --types, --duplicates, "
                "--json or --compare";
        return false;
    }
    if (!options.fromFile.empty()) {
        if (haveFolder) {
            error = "--from reports the scan's own folder: no FOLDER with it";
            return false;
        }
        if (options.bOneFileSystem || options.nThreads) {
            error = "-x and --threads are for a walk: not with --from";
            return false;
        }
    }
    if (!options.compareFile.empty()) {
        if (!options.fromFile.empty()) {
            error = "--compare takes the newer scan in place of FOLDER: not with --from";
            return false;
        }
        if (options.query != ReportQuery::Listing || options.format == ReportFormat::Json) {
            error = "--compare lists the folder's rows: not with --top, --types, --duplicates or "
                    "--json";
            return false;
        }
    }
    if (options.folder.empty()) {
        error = "the folder name is empty";
        return false;
    }
    return true;
}
