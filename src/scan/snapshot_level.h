#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One folder level as a walk reads it, or as a caller that listed a folder hands it over:
// its files with their sizes, times and the bytes they take on disk, and the names of its
// subfolders, names packed with their terminating zeros. Reused from folder to folder without
// new allocations. Times are seconds since 1970-01-01 00:00 UTC (0: not known); bytes on disk
// are -1 where not known.
class SnapshotLevel {
public:
    void AddFile(const char* name, int64_t bytes, int64_t modified = 0, int64_t allocated = -1);
    // The file added last has `links` names (more than one): its device and number there.
    void SetFileLinks(uint32_t links, uint64_t device, uint64_t id);
    // The folder itself, as the system reports it: its own size and bytes on disk (-1: not
    // known) and its time (0: not known).
    void SetOwn(int64_t bytes, int64_t allocated, int64_t modified) {
        m_nOwnBytes = bytes;
        m_nOwnAllocated = allocated;
        m_tOwnModified = modified;
    }
    // A link to a folder (a junction, a symbolic link) is counted but never entered.
    void AddFolder(const char* name, bool bLink = false, int64_t modified = 0);
    void Clear();

    size_t FileCount() const { return m_files.size(); }
    size_t FolderCount() const { return m_folders.size(); }
    const char* FileName(size_t i) const { return m_names.data() + m_files[i].name; }
    int64_t FileSize(size_t i) const { return m_files[i].bytes; }
    int64_t FileModified(size_t i) const { return m_files[i].modified; }
    int64_t FileAllocated(size_t i) const { return m_files[i].allocated; }
    const char* FolderName(size_t i) const { return m_names.data() + m_folders[i].name; }
    bool FolderIsLink(size_t i) const { return m_folders[i].bLink; }
    int64_t FolderModified(size_t i) const { return m_folders[i].modified; }
    // The names packed, and where each one starts among them.
    const char* NameData() const { return m_names.data(); }
    size_t NameBytes() const { return m_names.size(); }
    uint32_t FileNameOffset(size_t i) const { return m_files[i].name; }
    uint32_t FolderNameOffset(size_t i) const { return m_folders[i].name; }
    struct FileLinks {
        uint32_t file; // its position among the level's files
        uint32_t links;
        uint64_t device;
        uint64_t id;
    };
    const std::vector<FileLinks>& LinkedFiles() const { return m_links; }
    int64_t OwnBytes() const { return m_nOwnBytes; }
    int64_t OwnAllocated() const { return m_nOwnAllocated; }
    int64_t OwnModified() const { return m_tOwnModified; }

private:
    struct File {
        uint32_t name; // offset into m_names
        int64_t bytes;
        int64_t modified;
        int64_t allocated;
    };
    struct Folder {
        uint32_t name;
        bool bLink;
        int64_t modified;
    };
    std::vector<FileLinks> m_links;
    int64_t m_nOwnBytes = -1;
    int64_t m_nOwnAllocated = -1;
    int64_t m_tOwnModified = 0;
    std::string m_names;
    std::vector<File> m_files;
    std::vector<Folder> m_folders;
};
