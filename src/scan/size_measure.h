#pragma once
// Which size the program shows: what the files hold (their length, as the list shows by
// default) or what they take on disk (allocated clusters: more for small files, less for
// sparse and compressed ones). One choice for every size shown at once.

#include <cstdint>

#include "folder_entry.h"

enum class SizeMeasure : uint8_t {
    Bytes,  // the files' lengths
    OnDisk, // the bytes allocated to them
};

// The entry's size by `measure`: -1 where it is not known (a subfolder not totalled yet, a
// file whose allocation the enumeration did not tell).
inline int64_t MeasuredSize(const FolderEntry& entry, SizeMeasure measure) {
    return measure == SizeMeasure::OnDisk ? entry.nDiskSize : entry.nSize;
}

inline int64_t MeasuredSize(const FolderTotals& totals, SizeMeasure measure) {
    return measure == SizeMeasure::OnDisk ? totals.nDiskSize : totals.nSize;
}
