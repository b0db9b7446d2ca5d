#include "compared_scan.h"

#include <cctype>
#include <utility>

#include "saved_scan_reader.h"

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool SameChar(char a, char b) {
    if (IsSeparator(a) && IsSeparator(b))
        return true;
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
}

} // namespace

bool PathBelow(const std::string& root, const std::string& path, std::string& relative) {
    size_t rootEnd = root.size();
    while (rootEnd > 0 && IsSeparator(root[rootEnd - 1]))
        --rootEnd;
    if (path.size() < rootEnd)
        return false;
    for (size_t i = 0; i < rootEnd; ++i)
        if (!SameChar(root[i], path[i]))
            return false;
    if (path.size() > rootEnd && !IsSeparator(path[rootEnd]))
        return false; // "C:\data2" is not beneath "C:\data"
    size_t at = rootEnd;
    while (at < path.size() && IsSeparator(path[at]))
        ++at;
    relative = path.substr(at);
    return true;
}

void ComparedScan::Begin(std::shared_ptr<const SavedScan> older, const std::string& root,
                         const std::string& file) {
    m_pOlder = std::move(older);
    m_root = root;
    m_file = file;
    ClearShown();
}

void ComparedScan::End() {
    m_pOlder.reset();
    m_root.clear();
    m_file.clear();
    ClearShown();
}

std::shared_ptr<const FolderSnapshot> ComparedScan::OlderSnapshot() const {
    if (!m_pOlder)
        return nullptr;
    return std::shared_ptr<const FolderSnapshot>(m_pOlder, &m_pOlder->snapshot);
}

bool ComparedScan::Covers(const std::string& folder) const {
    std::string relative;
    return IsActive() && PathBelow(m_root, folder, relative);
}

void ComparedScan::ShowFolder(const std::string& folder, const std::vector<FolderEntry>& folders,
                              const std::vector<FolderEntry>& files) {
    std::string relative;
    m_olderShown = FolderSnapshot::kNone;
    if (IsActive() && PathBelow(m_root, folder, relative))
        m_olderShown = FindBeneath(m_pOlder->snapshot, m_pOlder->root, relative);
    m_shown = IsActive() ? CompareLevel(m_pOlder->snapshot, m_olderShown, folders, files)
                         : LevelChanges();
}

void ComparedScan::ClearShown() {
    m_olderShown = FolderSnapshot::kNone;
    m_shown = LevelChanges();
}
