#pragma once
// The report's rows as comma-separated values (RFC 4180): a header line, then one record
// per row in the report's order, each line ended by CR LF.

#include <cstdint>
#include <string>
#include <vector>

#include "folder_report.h"

// One record: fields holding a comma, a quote or a line break are quoted, quotes doubled.
std::string CsvRecord(const std::vector<std::string>& fields);

// The text as UTF-8: each byte that begins no valid sequence becomes U+FFFD.
std::string AsUtf8(const std::string& text);

// Seconds since 1970 as local time in ISO 8601 to the minute ("2006-05-29T16:05").
std::string IsoLocalTime(int64_t seconds);

// The header record, and its column titles.
std::string CsvHeader();
std::vector<std::string> CsvColumns();

// A row: name (as UTF-8: a byte that begins no UTF-8 sequence becomes U+FFFD), size in bytes,
// the size text, type, last write in local time as ISO 8601 ("2006-05-29T16:05"; empty where
// it could not be read), and for a folder the folders and files beneath it.
std::string CsvRow(const ReportEntry& entry);
// Its fields.
std::vector<std::string> CsvFields(const ReportEntry& entry);
