#include "found_duplicates.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

FoundDuplicates::FoundDuplicates(std::string folder, const SnapshotCandidates& candidates,
                                 const DuplicateSearch& search)
    : m_folder(std::move(folder)), m_bStopped(search.bStopped), m_nBytesRead(search.bytesRead) {
    for (const DuplicateGroup& found : search.groups) {
        Group group{found.size, {}};
        for (size_t candidate : found.files) {
            group.files.push_back(static_cast<uint32_t>(m_files.size()));
            m_files.push_back({candidates.files[candidate].path, candidates.files[candidate].size,
                               candidates.modified[candidate]});
        }
        m_groups.push_back(std::move(group));
    }
    for (size_t candidate : search.unreadable)
        m_unreadable.push_back(candidates.files[candidate].path);
    Order();
}

void FoundDuplicates::Order() {
    // Most waste first; of equal waste the larger files, then by the first path.
    std::stable_sort(m_groups.begin(), m_groups.end(), [this](const Group& a, const Group& b) {
        if (a.Waste() != b.Waste())
            return a.Waste() > b.Waste();
        if (a.size != b.size)
            return a.size > b.size;
        return m_files[a.files.front()].path < m_files[b.files.front()].path;
    });
    m_rows.clear();
    for (size_t g = 0; g < m_groups.size(); ++g)
        for (uint32_t file : m_groups[g].files)
            m_rows.push_back({static_cast<uint32_t>(g), file});
}

int FoundDuplicates::RowOfPath(const std::string& path) const {
    for (size_t row = 0; row < m_rows.size(); ++row)
        if (m_files[m_rows[row].file].path == path)
            return static_cast<int>(row);
    return -1;
}

int64_t FoundDuplicates::TotalWaste() const {
    int64_t total = 0;
    for (const Group& group : m_groups)
        total += group.Waste();
    return total;
}

std::vector<size_t> FoundDuplicates::GroupsWhollyIn(const std::vector<size_t>& rows) const {
    std::vector<size_t> chosen(m_groups.size(), 0);
    std::unordered_set<size_t> counted; // a row named twice counts once
    for (size_t row : rows)
        if (row < m_rows.size() && counted.insert(row).second)
            ++chosen[m_rows[row].group];
    std::vector<size_t> whole;
    for (size_t g = 0; g < m_groups.size(); ++g)
        if (chosen[g] == m_groups[g].files.size())
            whole.push_back(g);
    return whole;
}

namespace {

// `path` is one of `gone` or lies beneath one of them.
bool IsGoneOrBeneath(const std::unordered_set<std::string>& gone, const std::string& path) {
    for (size_t end = path.size(); end != std::string::npos && end > 0;
         end = path.find_last_of("\\/", end - 1))
        if (gone.count(path.substr(0, end)))
            return true;
    return false;
}

} // namespace

bool FoundDuplicates::Remove(const std::vector<std::string>& paths) {
    const std::unordered_set<std::string> gone(paths.begin(), paths.end());
    bool bChanged = false;
    for (Group& group : m_groups) {
        const auto kept =
            std::remove_if(group.files.begin(), group.files.end(), [&](uint32_t file) {
                return IsGoneOrBeneath(gone, m_files[file].path);
            });
        bChanged = bChanged || kept != group.files.end();
        group.files.erase(kept, group.files.end());
    }
    m_groups.erase(std::remove_if(m_groups.begin(), m_groups.end(),
                                  [](const Group& group) { return group.files.size() < 2; }),
                   m_groups.end());
    const auto kept =
        std::remove_if(m_unreadable.begin(), m_unreadable.end(),
                       [&](const std::string& path) { return IsGoneOrBeneath(gone, path); });
    bChanged = bChanged || kept != m_unreadable.end();
    m_unreadable.erase(kept, m_unreadable.end());
    Order();
    return bChanged;
}
