#pragma once
// Inside the folder snapshot: the node every folder is, and the sums it carries up. Only the
// snapshot's own files include this.

#include <cstdint>

#include "folder_snapshot.h"

// Every read folder keeps its sums as "its own level plus its final subfolders":
// bytes and files of its own files and of every final subfolder's tree, folders counting
// each subfolder entry and every final subfolder's folders; `pending` counts the subfolders
// that are not final. A read folder is final when nothing is pending, and its sums are then
// its totals. A change of a folder's state is carried up (Propagate) for as long as it
// changes what the folder above holds.
struct FolderSnapshot::Node {
    uint32_t name;      // in m_names
    Index parent;       // kNone for the top
    Index firstChild;   // kNone: no subfolders
    Index nextSibling;  // kNone: the last subfolder
    uint32_t firstFile; // in m_fileSizes and m_fileNames, when its files are held
    uint32_t ownFiles;  // files directly in it
    uint32_t flags;
    uint32_t pending; // subfolders that are not final
    uint32_t folders;
    uint32_t files;
    int64_t bytes;
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
    uint32_t folders = 0;
    uint32_t files = 0;

    bool operator==(const State& o) const {
        return bFinal == o.bFinal && bytes == o.bytes && folders == o.folders && files == o.files;
    }
    // What a subfolder in this state adds to the folder above: its sums once final, one
    // pending subfolder before.
    void AddTo(Node& above, int sign) const {
        if (!bFinal) {
            above.pending += static_cast<uint32_t>(sign);
            return;
        }
        above.bytes += sign * bytes;
        above.folders += static_cast<uint32_t>(sign) * folders;
        above.files += static_cast<uint32_t>(sign) * files;
    }
};
