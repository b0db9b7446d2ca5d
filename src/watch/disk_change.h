#pragma once
// A change on disk made ready on the watcher's thread (every file looked at, every new
// folder walked) for the snapshot's thread, which only applies it.

#include <cstdint>
#include <memory>
#include <string>

#include "folder_snapshot.h"

struct DiskChange {
    enum class Kind {
        File,        // written or created: `path` has these sizes now
        Folder,      // created: `*walked` holds it with everything beneath
        Removed,     // `path` is gone, a file or a folder with everything beneath
        Renamed,     // `path` is now at `to` (`bFolder`: a folder; a file has these sizes)
        Rescanned,   // what was told was not enough: `*walked` holds `path` afresh
        WatchFailed, // the watch on `path` has ended; nothing more is heard from it
        Gone,        // the watched folder `path` itself is gone: the watch has ended
    };
    Kind kind = Kind::File;
    std::string path;
    std::string to;
    bool bFolder = false;
    int64_t bytes = 0;
    int64_t modified = 0;
    int64_t allocated = -1;
    // Only for a walked folder: a snapshot takes room of its own even when empty, and
    // thousands of changes a second are files.
    std::unique_ptr<FolderSnapshot> walked;
};
