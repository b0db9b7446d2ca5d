#pragma once
// When a file of the snapshot was last written, where the snapshot knows it.

#include <cstdint>
#include <limits>

#include "folder_snapshot.h"

constexpr int64_t kUnknownFileTime = std::numeric_limits<int64_t>::min();

// Seconds since 1970-01-01 00:00 UTC, or kUnknownFileTime.
int64_t FileModifiedTime(const FolderSnapshot& s, FolderSnapshot::Index folder, uint32_t file);
