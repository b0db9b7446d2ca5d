#pragma once
// The files beneath a folder that grew most since an older scan of it: a file's growth is
// its bytes now less its bytes then (all it holds, when the older scan had no file of that
// path). Folders are matched by their path below the two tops. Largest growth first, equal
// growth by path.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "snapshot_files.h"

struct FileGrowth {
    FileRef file;
    int64_t nBytesThen; // -1: new since
};

// At most `count` files of `scope` in `s`, against `olderTop` of `older` (kNone: all new);
// empty when `stop` was raised before the end.
std::vector<FileGrowth> LargestGrowth(const FolderSnapshot& s, const SnapshotScope& scope,
                                      const FolderSnapshot& older, FolderSnapshot::Index olderTop,
                                      size_t count, const std::atomic<bool>* stop = nullptr);

// The bytes then of each of `files` (of `s`, beneath `top`) in `older` beneath `olderTop`;
// -1 for a file the older scan did not have.
std::vector<int64_t> FilesBytesThen(const FolderSnapshot& s, FolderSnapshot::Index top,
                                    const FolderSnapshot& older, FolderSnapshot::Index olderTop,
                                    const std::vector<FileRef>& files);
