#pragma once
// dscp-report's command line.

#include <string>

struct ReportOptions {
    std::string folder = "."; // the folder to list
    std::string outputFile;   // empty: the report goes to standard output
    bool bHelp = false;
    bool bExactTotals = false; // also print the exact totals beneath the folder
    unsigned nThreads = 0;     // walking threads; 0: one per core
};

// Parses argv. Returns false with a one-line reason in `error` for an unknown
// option, a missing option value or too many arguments.
bool ParseCommandLine(int argc, const char* const* argv, ReportOptions& options,
                      std::string& error);

extern const char* const kUsageText;
