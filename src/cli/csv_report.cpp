#include "csv_report.h"

#include <cstdint>
#include <cstdio>
#include <ctime>

#include "size_text.h"

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

namespace {

// Length of the UTF-8 sequence at `p` (at most `left` bytes), or 0 when it is not one.
size_t Utf8Length(const unsigned char* p, size_t left) {
    size_t length;
    uint32_t min;
    if (p[0] < 0x80)
        return 1;
    if ((p[0] & 0xE0) == 0xC0) {
        length = 2;
        min = 0x80;
    } else if ((p[0] & 0xF0) == 0xE0) {
        length = 3;
        min = 0x800;
    } else if ((p[0] & 0xF8) == 0xF0) {
        length = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    uint32_t code = p[0] & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (p[i] & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

std::string AsUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
    size_t left = text.size();
    while (left) {
        const size_t length = Utf8Length(p, left);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++p;
            --left;
        } else {
            out.append(reinterpret_cast<const char*>(p), length);
            p += length;
            left -= length;
        }
    }
    return out;
}

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

std::vector<std::string> CsvColumns() {
    return {"Name", "Bytes", "Size", "Type", "Modified", "Folders", "Files"};
}

std::string CsvHeader() {
    return CsvRecord(CsvColumns());
}

std::vector<std::string> CsvFields(const ReportEntry& entry) {
    return {AsUtf8(entry.name),
            std::to_string(entry.nSize),
            FormatSize(entry.nSize),
            entry.type,
            entry.bDetails ? IsoLocalTime(entry.tModified) : std::string(),
            entry.bFolder ? std::to_string(entry.nFolders) : std::string(),
            entry.bFolder ? std::to_string(entry.nFiles) : std::string()};
}

std::string CsvRow(const ReportEntry& entry) {
    return CsvRecord(CsvFields(entry));
}
