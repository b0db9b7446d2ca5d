#pragma once
// A search of the snapshot beneath a folder (never of the disk): the files whose name matches
// a pattern (name_pattern.h), of at least a size, modified within a time. The answer is in
// the order the files were met; a list sorts it as it shows it.

#include <atomic>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "snapshot_files.h"

struct SearchCriteria {
    static constexpr int64_t kNoTime = std::numeric_limits<int64_t>::min();

    std::string pattern;
    bool bRegex = false;
    int64_t nMinBytes = 0;
    SizeMeasure measure = SizeMeasure::Bytes; // of nMinBytes and of the result's bytes
    // Seconds since 1970-01-01 00:00 UTC: modified at or after `tAfter`, before `tBefore`.
    // A bound rules out a file whose time the snapshot does not know.
    int64_t tAfter = kNoTime;
    int64_t tBefore = kNoTime;
};

struct SearchProgress {
    std::atomic<uint64_t> done{0};  // files looked at so far
    std::atomic<uint64_t> total{0}; // files to look at, set before the first
};

struct SearchResult {
    bool bValid = false; // false: the pattern is no regular expression, see `error`
    std::string error;
    std::vector<FileRef> files;
    int64_t nBytes = 0; // of the files found
};

// False when `stop` was raised before the end (the result is then incomplete) or the
// criteria are not valid.
bool SearchFiles(const FolderSnapshot& s, const SnapshotScope& scope,
                 const SearchCriteria& criteria, SearchResult& result,
                 const std::atomic<bool>* stop = nullptr, SearchProgress* progress = nullptr);
