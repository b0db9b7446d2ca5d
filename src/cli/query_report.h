#pragma once
// dscp-report's answers to --top and --types, from the snapshot its walk filled: the largest
// files beneath the folder (Path, Size, Type, Date) and the totals by type (Extension, Type,
// Size, Share, Files), as fixed-width text or comma-separated values. Cells are formed as a
// line is written.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "folder_report.h"
#include "snapshot_files.h"
#include "type_totals.h"

// A file's last-write time by its full path; false when it cannot be read.
using ModifiedTimeFn = std::function<bool(const std::string& path, int64_t& seconds)>;

class LargestFilesReport {
public:
    LargestFilesReport(const FolderReport& report, size_t count, TypeNamer typeName,
                       ModifiedTimeFn modified);

    size_t Count() const { return m_files.size(); }
    std::vector<std::string> Heading() const;
    std::string Line(size_t row) const;
    static std::string CsvHeader();
    std::string CsvRow(size_t row) const;

private:
    struct Cells {
        std::string path; // beneath the folder
        int64_t bytes;
        std::string type;
        std::string modified; // empty when not known
    };
    Cells CellsOf(size_t row, bool iso) const;

    const FolderReport& m_report;
    std::vector<FileRef> m_files;
    TypeNamer m_typeName;
    ModifiedTimeFn m_modified;
};

class TypeTotalsReport {
public:
    TypeTotalsReport(const FolderReport& report, TypeNamer typeName);

    size_t Count() const { return m_types.size(); }
    std::vector<std::string> Heading() const;
    std::string Line(size_t row) const;
    static std::string CsvHeader();
    std::string CsvRow(size_t row) const;

private:
    std::string TypeName(const TypeTotal& type) const;

    const FolderReport& m_report;
    std::vector<TypeTotal> m_types;
    TypeNamer m_typeName;
};
