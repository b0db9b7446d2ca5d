#include "duplicates_report.h"

#include "csv_report.h"
#include "date_text.h"
#include "path_text.h"
#include "size_text.h"
#include "text_columns.h"

DuplicatesReport::DuplicatesReport(const FolderReport& report, DuplicateProgress* progress)
    : m_report(report) {
    // The names of a file with several come from the walk: one file, never copies of each
    // other.
    CollectDuplicateCandidates(report.snapshot, report.folderNode, DuplicateOptions().minSize,
                               m_candidates, &report.linkedNames);
    m_search = FindDuplicates(m_candidates.files, DuplicateOptions(), progress);
}

std::string DuplicatesReport::RelativeOf(size_t file) const {
    const std::string& path = m_candidates.files[file].path;
    const std::string& top = m_report.snapshot.PathOf(m_report.folderNode);
    return path.size() > top.size() + 1 && path.compare(0, top.size(), top) == 0 &&
                   IsPathSeparator(path[top.size()])
               ? path.substr(top.size() + 1)
               : path;
}

std::vector<std::string> DuplicatesReport::TextLines() const {
    std::vector<std::string> lines{"Path: " + PrintableText(m_report.folderPath)};
    for (const DuplicateGroup& group : m_search.groups) {
        lines.emplace_back();
        lines.push_back(std::to_string(group.files.size()) + " copies of " +
                        FormatSize(group.size) + ", " + FormatSize(group.Waste()) + " wasted");
        for (size_t file : group.files)
            lines.push_back("  " + PrintableText(RelativeOf(file)));
    }
    lines.emplace_back();
    lines.push_back(Summary());
    return lines;
}

std::string DuplicatesReport::CsvHeader() {
    return CsvRecord({"Group", "Bytes", "Path", "Modified"});
}

std::vector<std::string> DuplicatesReport::CsvRows() const {
    std::vector<std::string> rows;
    for (size_t g = 0; g < m_search.groups.size(); ++g)
        for (size_t file : m_search.groups[g].files) {
            const int64_t modified = m_candidates.modified[file];
            rows.push_back(CsvRecord(
                {std::to_string(g + 1), std::to_string(m_search.groups[g].size),
                 AsUtf8(RelativeOf(file)), modified ? IsoLocalTime(modified) : std::string()}));
        }
    return rows;
}

std::vector<std::string> DuplicatesReport::UnreadablePaths() const {
    std::vector<std::string> paths;
    for (size_t file : m_search.unreadable)
        paths.push_back(m_candidates.files[file].path);
    return paths;
}

std::string DuplicatesReport::Summary() const {
    size_t nFiles = 0;
    int64_t nWaste = 0;
    for (const DuplicateGroup& group : m_search.groups) {
        nFiles += group.files.size();
        nWaste += group.Waste();
    }
    const size_t nGroups = m_search.groups.size();
    return std::to_string(nGroups) + (nGroups == 1 ? " group" : " groups") + " of duplicates, " +
           std::to_string(nFiles) + (nFiles == 1 ? " file, " : " files, ") + FormatSize(nWaste) +
           " wasted";
}
