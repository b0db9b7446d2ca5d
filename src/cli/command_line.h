#pragma once
// dscp-report's command line.

#include <cstddef>
#include <string>

enum class ReportFormat {
    Text, // the fixed-width report
    Csv,  // the report's rows as comma-separated values
    Json, // the whole tree in ncdu's export format
};

// What is reported of the folder.
enum class ReportQuery {
    Listing,    // its subfolders and files
    Largest,    // the largest files beneath it
    Types,      // the totals by file type beneath it
    Duplicates, // the files beneath it whose bytes are the same
};

struct ReportOptions {
    std::string folder = "."; // the folder to list
    std::string outputFile;   // empty or "-": the report goes to standard output
    std::string fromFile;     // a saved scan (ncdu's JSON export) to report instead of a walk
    // An older saved scan to compare with: FOLDER (walked) or, when it names a file, a newer
    // saved scan.
    std::string compareFile;
    ReportFormat format = ReportFormat::Text;
    ReportQuery query = ReportQuery::Listing;
    size_t nLargest = 0; // with ReportQuery::Largest: how many files
    bool bHelp = false;
    bool bVersion = false;
    bool bCountLinks = false;    // a file with several names counts once per name
    bool bOneFileSystem = false; // do not cross into other mounted file systems
    bool bExactTotals = false;   // also print the exact totals beneath the folder
    bool bDiskUsage = false;     // bytes on disk in place of sizes, as du without -b
    unsigned nThreads = 0;       // walking threads; 0: one per core
};

// Parses argv. Returns false with a one-line reason in `error` for an unknown
// option, a missing or invalid option value, options that exclude each other or too many
// arguments.
bool ParseCommandLine(int argc, const char* const* argv, ReportOptions& options,
                      std::string& error);

extern const char* const kUsageText;
