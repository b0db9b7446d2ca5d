#pragma once
// Counting a file with several names once: of its names beneath the listed folder, the first
// by path carries its bytes, and each later one comes off the totals of the folder holding
// it. Kept per file (device and number, and where its first name lies so far), not per name:
// a path is never formed, two names are compared in the snapshot, component by component.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "file_link_sink.h"
#include "folder_snapshot.h"

class LinkedNameCounter : public FileLinkSink {
public:
    // `snapshot` is the one the names are recorded in. With `bKeepEveryName` every name
    // taken is kept as well (an export marks each).
    LinkedNameCounter(const FolderSnapshot& snapshot, bool bKeepEveryName);

    void Take(const LinkedName& name) override;

    // Files with a later name: their bytes were counted once.
    int64_t CountedOnce() const { return m_nCountedOnce; }
    // The bytes of the later names, by the folder holding them.
    const std::unordered_map<FolderSnapshot::Index, int64_t>& LaterBytes() const {
        return m_laterBytes;
    }
    std::vector<LinkedName> TakeNames() { return std::move(m_names); }
    size_t FileCount() const { return m_nFiles; } // files with several names taken

private:
    // 24 bytes a file. A free slot has folder kNone.
    struct Slot {
        uint64_t id;
        uint32_t device; // its position in m_devices
        FolderSnapshot::Index folder;
        uint32_t file;
        uint32_t bLater;
    };
    uint32_t DeviceNumber(uint64_t device);
    Slot& Find(uint64_t id, uint32_t device);
    void Grow();

    const FolderSnapshot& m_snapshot;
    const bool m_bKeepEveryName;
    std::vector<Slot> m_slots; // open addressing, a power of two long
    size_t m_nFiles = 0;
    std::vector<uint64_t> m_devices; // seldom more than one
    std::unordered_map<FolderSnapshot::Index, int64_t> m_laterBytes;
    int64_t m_nCountedOnce = 0;
    std::vector<LinkedName> m_names;
};

// Whether file `fileA` of `folderA` comes before file `fileB` of `folderB` when their whole
// paths are compared as text. A file whose folder's files are not held goes by its position.
bool ComesFirstByPath(const FolderSnapshot& snapshot, FolderSnapshot::Index folderA, uint32_t fileA,
                      FolderSnapshot::Index folderB, uint32_t fileB);
