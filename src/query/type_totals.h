#pragma once
// The files beneath a folder by type: per extension (see file_extension.h) their bytes (by
// `measure`) and
// number, and the share of all the files' bytes they take. Most bytes first, types of equal
// bytes by extension.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "snapshot_files.h"

struct TypeTotal {
    std::string key;       // the extension in lower case; "" for names without one
    int64_t bytes = 0;     // by the measure asked for
    int64_t sizeBytes = 0; // the files' lengths, whatever the measure: what a change compares
    uint64_t files = 0;
    double share = 0; // of all the files' bytes, from 0 to 1 (0 when they hold none)
};

// Empty when `stop` was raised before the end.
std::vector<TypeTotal> TypeTotals(const FolderSnapshot& s, const SnapshotScope& scope,
                                  const std::atomic<bool>* stop = nullptr,
                                  SizeMeasure measure = SizeMeasure::Bytes);

// The share in percent with one decimal: "12.5".
std::string SharePercentText(double share);

// Compared with an older scan's types (`then`): each of `now`'s rows' lengths then
// (sizeBytes), -1 for a type the older scan had none of.
std::vector<int64_t> TypeBytesThen(const std::vector<TypeTotal>& now,
                                   const std::vector<TypeTotal>& then);
