#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One folder level as a walk reads it, or as a caller that listed a folder hands it over:
// its files with their sizes and the names of its subfolders, names packed with their
// terminating zeros. Reused from folder to folder without new allocations.
class SnapshotLevel {
public:
    // `diskBytes`, the bytes it takes on disk, is given for every file of a level or for none.
    void AddFile(const char* name, int64_t bytes, int64_t diskBytes = -1);
    // The file added last has `links` names (more than one): its device and number there.
    void SetFileLinks(uint32_t links, uint64_t device, uint64_t id);
    // The folder's own size (its entry in its parent, as the system reports it).
    void SetOwnBytes(int64_t bytes, int64_t diskBytes = -1) {
        m_nOwnBytes = bytes;
        m_nOwnDiskBytes = diskBytes;
    }
    // A link to a folder (a junction, a symbolic link) is counted but never entered.
    void AddFolder(const char* name, bool bLink = false);
    void Clear();

    size_t FileCount() const { return m_fileSizes.size(); }
    size_t FolderCount() const { return m_folderNames.size(); }
    const char* FileName(size_t i) const { return m_names.data() + m_fileNames[i]; }
    int64_t FileSize(size_t i) const { return m_fileSizes[i]; }
    const char* FolderName(size_t i) const { return m_names.data() + m_folderNames[i]; }
    bool FolderIsLink(size_t i) const { return m_folderLinks[i] != 0; }
    // The names packed, and where each one starts among them.
    const char* NameData() const { return m_names.data(); }
    size_t NameBytes() const { return m_names.size(); }
    uint32_t FileNameOffset(size_t i) const { return m_fileNames[i]; }
    uint32_t FolderNameOffset(size_t i) const { return m_folderNames[i]; }
    struct FileLinks {
        uint32_t file; // its position among the level's files
        uint32_t links;
        uint64_t device;
        uint64_t id;
    };
    const std::vector<FileLinks>& LinkedFiles() const { return m_links; }
    int64_t OwnBytes() const { return m_nOwnBytes; }         // -1: not known
    int64_t OwnDiskBytes() const { return m_nOwnDiskBytes; } // -1: not known
    bool HasDiskBytes() const { return !m_fileDiskBytes.empty(); }
    int64_t FileDiskBytes(size_t i) const { return m_fileDiskBytes[i]; } // when HasDiskBytes()

private:
    std::vector<FileLinks> m_links;
    int64_t m_nOwnBytes = -1;
    int64_t m_nOwnDiskBytes = -1;
    std::vector<int64_t> m_fileDiskBytes; // empty where the level's caller gave none
    std::string m_names;
    std::vector<uint32_t> m_fileNames; // offsets into m_names
    std::vector<int64_t> m_fileSizes;
    std::vector<uint32_t> m_folderNames;
    std::vector<uint8_t> m_folderLinks;
};
