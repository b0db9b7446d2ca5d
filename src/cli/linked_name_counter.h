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
    // `snapshot` is the one the names are recorded in, `top` the listed folder in it. With
    // `bKeepEveryName` every name taken is kept as well (an export marks each). With
    // `bDiskBytes` a later name takes its file's bytes on disk off, not its size.
    LinkedNameCounter(const FolderSnapshot& snapshot, FolderSnapshot::Index top,
                      bool bKeepEveryName, bool bDiskBytes = false);

    void Take(const LinkedName& name) override;

    // Files with a later name: their bytes were counted once.
    int64_t CountedOnce() const { return m_nCountedOnce; }
    // The bytes of the later names, by the row holding them: the subfolder of the top they
    // lie beneath, or the top itself for its own files.
    const std::unordered_map<FolderSnapshot::Index, int64_t>& LaterBytes() const {
        return m_laterBytes;
    }
    std::vector<LinkedName> TakeNames() { return std::move(m_names); }
    size_t FileCount() const { return m_nFiles; } // files with several names taken

private:
    // 16 bytes a file: its number, and where its first name by path lies so far. A free
    // slot has folder kNone.
    struct Slot {
        uint64_t id;
        FolderSnapshot::Index folder;
        uint32_t file; // kLater set: a later name was seen
    };
    static constexpr uint32_t kLater = 0x80000000u;
    // Open addressing in 256 parts, each grown by a quarter when fifteen sixteenths are
    // taken: no moment holds two copies of more than one part.
    struct Part {
        std::vector<Slot> slots;
        size_t used = 0;
    };
    static constexpr size_t kParts = 256;
    using Table = std::vector<Part>; // kParts long, one table a device

    Slot& Find(Part& part, uint64_t hash, uint64_t id);
    void Grow(Part& part);
    Table& TableOf(uint64_t device);
    FolderSnapshot::Index RowOf(FolderSnapshot::Index folder);

    const FolderSnapshot& m_snapshot;
    const FolderSnapshot::Index m_top;
    const bool m_bKeepEveryName;
    const bool m_bDiskBytes;
    std::vector<uint64_t> m_devices; // seldom more than one
    std::vector<Table> m_tables;     // by device, as in m_devices
    size_t m_nFiles = 0;
    std::unordered_map<FolderSnapshot::Index, int64_t> m_laterBytes;
    FolderSnapshot::Index m_lastFolder = FolderSnapshot::kNone; // the row found last
    FolderSnapshot::Index m_lastRow = FolderSnapshot::kNone;
    int64_t m_nCountedOnce = 0;
    std::vector<LinkedName> m_names;
};

// Whether file `fileA` of `folderA` comes before file `fileB` of `folderB` when their whole
// paths are compared as text. A file whose folder's files are not held goes by its position.
bool ComesFirstByPath(const FolderSnapshot& snapshot, FolderSnapshot::Index folderA, uint32_t fileA,
                      FolderSnapshot::Index folderB, uint32_t fileB);
