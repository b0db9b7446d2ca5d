#pragma once
// Inside the folder snapshot: the node every folder is, the record every file is, and the
// sums a folder carries up. Only the snapshot's own files include this.

#include <cstdint>

#include "folder_snapshot.h"

namespace snapshot_encoding {

inline constexpr uint32_t kUnknown32 = 0xFFFFFFFFu;

// Bytes on disk in allocation units, rounded up; `unknown` for -1.
inline uint64_t ToUnits(int64_t bytes, uint64_t unknown) {
    if (bytes < 0)
        return unknown;
    const uint64_t units = (static_cast<uint64_t>(bytes) + FolderSnapshot::kAllocationUnit - 1) /
                           FolderSnapshot::kAllocationUnit;
    return units < unknown ? units : unknown - 1;
}

inline int64_t FromUnits(uint64_t units, uint64_t unknown) {
    return units == unknown ? -1 : static_cast<int64_t>(units) * FolderSnapshot::kAllocationUnit;
}

} // namespace snapshot_encoding

// Every read folder keeps its sums as "its own level plus its final subfolders":
// bytes and files of its own files and of every final subfolder's tree, folders counting
// each subfolder entry and every final subfolder's folders, allocation units of its own
// files, of itself and of every final subfolder's tree; `pending` counts the subfolders
// that are not final. A read folder is final when nothing is pending, and its sums are then
// its totals. A change of a folder's state is carried up (Propagate) for as long as it
// changes what the folder above holds.
struct FolderSnapshot::Node {
    uint32_t name = 0;         // in m_names
    Index parent = kNone;      // kNone for the top
    Index firstChild = kNone;  // kNone: no subfolders
    Index nextSibling = kNone; // kNone: the last subfolder
    uint32_t firstFile = 0;    // in m_files, when its files are held
    uint32_t ownFiles = 0;     // files directly in it
    uint32_t flags = 0;
    uint32_t pending = 0; // subfolders that are not final
    uint32_t folders = 0;
    uint32_t files = 0;
    int64_t bytes = 0;
    int64_t allocated = 0;                                 // units; what is not known counts 0
    int64_t modified = 0;                                  // seconds since 1970; 0: not known
    uint32_t ownBytes = snapshot_encoding::kUnknown32;     // saturated at kUnknown32 - 1
    uint32_t ownAllocated = snapshot_encoding::kUnknown32; // units

    static Node Named(uint32_t name, Index parent, Index nextSibling = kNone, uint32_t flags = 0) {
        Node n;
        n.name = name;
        n.parent = parent;
        n.nextSibling = nextSibling;
        n.flags = flags;
        return n;
    }
    int64_t OwnAllocationUnits() const {
        return ownAllocated == snapshot_encoding::kUnknown32 ? 0 : ownAllocated;
    }
};

// A file held: its size and name as they are; its time (seconds, 40 bits with their sign:
// 17,000 years either side of 1970) and its bytes on disk (allocation units, 56 bits, all
// ones where not known) packed in the other 12 bytes.
struct FolderSnapshot::FileRecord {
    int64_t bytes;
    uint32_t name;
    uint32_t allocatedLow;
    uint64_t modifiedAndAllocatedHigh;

    static constexpr uint64_t kUnknownUnits = (uint64_t{1} << 56) - 1;
    static constexpr int64_t kTimeLimit = (int64_t{1} << 39) - 1;

    static FileRecord Make(uint32_t name, int64_t bytes, int64_t modified, int64_t allocated) {
        const uint64_t units = snapshot_encoding::ToUnits(allocated, kUnknownUnits);
        const int64_t time = modified > kTimeLimit    ? kTimeLimit
                             : modified < -kTimeLimit ? -kTimeLimit
                                                      : modified;
        return {bytes, name, static_cast<uint32_t>(units),
                (static_cast<uint64_t>(time) & ((uint64_t{1} << 40) - 1)) | (units >> 32) << 40};
    }
    int64_t Modified() const {
        // Sign-extend the low 40 bits.
        return static_cast<int64_t>(modifiedAndAllocatedHigh << 24) >> 24;
    }
    uint64_t AllocatedUnits() const {
        return (modifiedAndAllocatedHigh >> 40) << 32 | allocatedLow;
    }
    int64_t Allocated() const {
        return snapshot_encoding::FromUnits(AllocatedUnits(), kUnknownUnits);
    }
    // What it adds to its folder's sum of units.
    int64_t CountedUnits() const {
        const uint64_t units = AllocatedUnits();
        return units == kUnknownUnits ? 0 : static_cast<int64_t>(units);
    }
};

namespace snapshot_flags {
inline constexpr uint32_t kRead = 1;
inline constexpr uint32_t kFilesHeld = 2;
inline constexpr uint32_t kUnreadable = 4;
inline constexpr uint32_t kLink = 8;
inline constexpr uint32_t kExcluded = 16;
} // namespace snapshot_flags

struct FolderSnapshot::State {
    bool bFinal = false;
    int64_t bytes = 0;
    int64_t allocated = 0;
    uint32_t folders = 0;
    uint32_t files = 0;

    bool operator==(const State& o) const {
        return bFinal == o.bFinal && bytes == o.bytes && allocated == o.allocated &&
               folders == o.folders && files == o.files;
    }
    // What a subfolder in this state adds to the folder above: its sums once final, one
    // pending subfolder before.
    void AddTo(Node& above, int sign) const {
        if (!bFinal) {
            above.pending += static_cast<uint32_t>(sign);
            return;
        }
        above.bytes += sign * bytes;
        above.allocated += sign * allocated;
        above.folders += static_cast<uint32_t>(sign) * folders;
        above.files += static_cast<uint32_t>(sign) * files;
    }
};
