#include "snapshot_level.h"

#include <cstring>

void SnapshotLevel::AddFile(const char* name, int64_t bytes, int64_t modified, int64_t allocated) {
    m_files.push_back({static_cast<uint32_t>(m_names.size()), bytes, modified, allocated});
    m_names.append(name, std::strlen(name) + 1);
}

void SnapshotLevel::AddFolder(const char* name, bool bLink, int64_t modified) {
    m_folders.push_back({static_cast<uint32_t>(m_names.size()), bLink, modified});
    m_names.append(name, std::strlen(name) + 1);
}

void SnapshotLevel::SetFileLinks(uint32_t links, uint64_t device, uint64_t id) {
    m_links.push_back({static_cast<uint32_t>(m_files.size() - 1), links, device, id});
}

void SnapshotLevel::Clear() {
    m_links.clear();
    SetOwn(-1, -1, 0);
    m_names.clear();
    m_files.clear();
    m_folders.clear();
}
