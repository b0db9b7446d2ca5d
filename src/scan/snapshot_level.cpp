#include "snapshot_level.h"

#include <cstring>

void SnapshotLevel::AddFile(const char* name, int64_t bytes, int64_t diskBytes) {
    m_fileNames.push_back(static_cast<uint32_t>(m_names.size()));
    m_names.append(name, std::strlen(name) + 1);
    m_fileSizes.push_back(bytes);
    if (diskBytes >= 0)
        m_fileDiskBytes.push_back(diskBytes);
}

void SnapshotLevel::AddFolder(const char* name, bool bLink) {
    m_folderNames.push_back(static_cast<uint32_t>(m_names.size()));
    m_names.append(name, std::strlen(name) + 1);
    m_folderLinks.push_back(bLink ? 1 : 0);
}

void SnapshotLevel::SetFileLinks(uint32_t links, uint64_t device, uint64_t id) {
    m_links.push_back({static_cast<uint32_t>(m_fileSizes.size() - 1), links, device, id});
}

void SnapshotLevel::Clear() {
    m_links.clear();
    m_nOwnBytes = -1;
    m_nOwnDiskBytes = -1;
    m_fileDiskBytes.clear();
    m_names.clear();
    m_fileNames.clear();
    m_fileSizes.clear();
    m_folderNames.clear();
    m_folderLinks.clear();
}
