#include "command_line.h"

#include <cstring>

const char* const kUsageText =
    "usage: dscp-report [-o FILE] [--exact] [--threads N] [FOLDER]\n"
    "\n"
    "Lists FOLDER (default: the current folder) with the size of every subfolder and\n"
    "file, largest first, as a fixed-width report; the counts and the total size follow\n"
    "on standard error.\n"
    "\n"
    "  -o FILE     write the report to FILE (CR LF line ends) instead of standard output\n"
    "  --exact     after the status line, print the exact bytes, folders and files beneath\n"
    "              FOLDER on standard error\n"
    "  --threads N walk with N threads (default: one per core; 1: one thread)\n"
    "  -h, --help  show this text\n";

namespace {

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
            } else if (std::strcmp(arg, "--exact") == 0) {
                options.bExactTotals = true;
            } else if (std::strcmp(arg, "--threads") == 0) {
                if (i + 1 >= argc || !ParseThreadCount(argv[i + 1], options.nThreads)) {
                    error = "option --threads needs a number from 1 to 64";
                    return false;
                }
                ++i;
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
    if (options.folder.empty()) {
        error = "the folder name is empty";
        return false;
    }
    return true;
}
