#pragma once
// The largest files beneath a folder by `measure`, largest first, files of equal size by their
// paths beneath it. A partial selection: the answer's size decides the cost, not a sort of every
// file.

#include <atomic>
#include <cstddef>
#include <vector>

#include "snapshot_files.h"

// At most `count` files; empty when `stop` was raised before the end.
std::vector<FileRef> LargestFiles(const FolderSnapshot& s, const SnapshotScope& scope, size_t count,
                                  const std::atomic<bool>* stop = nullptr,
                                  SizeMeasure measure = SizeMeasure::Bytes);
