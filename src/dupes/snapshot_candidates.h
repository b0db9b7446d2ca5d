#pragma once
// The candidates of a search for duplicates, taken from a scan's snapshot: the files beneath
// a folder of at least the least size whose size another file there shares (a size of its
// own has no copy, and is never read). Paths are formed only for those.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "duplicate_finder.h"
#include "file_link_sink.h"
#include "folder_snapshot.h"

struct SnapshotCandidates {
    std::vector<DuplicateCandidate> files;
    std::vector<int64_t> modified; // beside files: seconds since 1970, 0 where not known
};

// `links`, where the walk kept them, names the files with several names: each candidate of
// those carries its identity. False when stopped.
bool CollectDuplicateCandidates(const FolderSnapshot& s, FolderSnapshot::Index top, int64_t minSize,
                                SnapshotCandidates& candidates,
                                const std::vector<LinkedName>* links = nullptr,
                                const std::atomic<bool>* stop = nullptr);
