#pragma once
// What a question asked of a snapshot reads beneath a folder: everything the snapshot holds
// there, or, while the folder's scan still runs, only what is final so far: the folder's own
// files and the trees of the subfolders whose scan has finished. The rest is being written
// by the scan meanwhile and is not read at all.

#include <vector>

#include "folder_snapshot.h"

struct SnapshotScope {
    FolderSnapshot::Index top = FolderSnapshot::kNone;
    bool bFinalOnly = false;
    std::vector<FolderSnapshot::Index> finalSubfolders; // with bFinalOnly: the trees read

    SnapshotScope() = default;
    // Everything beneath `folder`.
    SnapshotScope(FolderSnapshot::Index folder) : top(folder) {} // NOLINT: a folder is a scope
};
