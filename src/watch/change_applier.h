#pragma once
// Applies the changes a watcher made ready to the snapshot, on the snapshot's thread, and
// logs each one. Cheap: every file was looked at and every new folder walked before.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "change_log.h"
#include "disk_change.h"
#include "folder_snapshot.h"

struct AppliedChanges {
    // Folders whose level the snapshot no longer knows exactly: to be walked afresh.
    std::vector<std::string> toWalk;
    // The folders whose own entries changed (a file or subfolder added, removed, renamed,
    // a file's size), each once.
    std::vector<std::string> touched;
    bool bRescanned = false;   // a folder was walked afresh after an overflow or request
    bool bWatchFailed = false; // the watch ended
    bool bGone = false;        // ... because the watched folder itself is gone
};

// Applies `changes` in order from `next` on (the walked pieces are merged, so moved from);
// `now` stamps what is logged. Each change is applied whole, every total above it
// following; after each, `enough` (when given) may end the call: `next` is left at the
// first change not applied.
AppliedChanges ApplyDiskChanges(FolderSnapshot& snapshot, std::vector<DiskChange>& changes,
                                size_t& next, ChangeLog& log, int64_t now,
                                const std::function<bool()>& enough = nullptr);
