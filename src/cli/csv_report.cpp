#include "csv_report.h"

#include <cstdio>
#include <ctime>

#include "size_text.h"

namespace {

std::string IsoLocalTime(int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm parts{};
#ifdef _WIN32
    if (localtime_s(&parts, &t) != 0)
        return std::string();
#else
    if (!localtime_r(&t, &parts))
        return std::string();
#endif
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min);
    return text;
}

} // namespace

std::string CsvRecord(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i)
            line += ',';
        const std::string& field = fields[i];
        if (field.find_first_of(",\"\r\n") == std::string::npos) {
            line += field;
            continue;
        }
        line += '"';
        for (char c : field) {
            if (c == '"')
                line += '"';
            line += c;
        }
        line += '"';
    }
    return line + "\r\n";
}

std::string CsvHeader() {
    return CsvRecord({"Name", "Bytes", "Size", "Type", "Modified", "Folders", "Files"});
}

std::string CsvRow(const ReportEntry& entry) {
    return CsvRecord({entry.name, std::to_string(entry.nSize), FormatSize(entry.nSize), entry.type,
                      IsoLocalTime(entry.tModified),
                      entry.bFolder ? std::to_string(entry.nFolders) : std::string(),
                      entry.bFolder ? std::to_string(entry.nFiles) : std::string()});
}
