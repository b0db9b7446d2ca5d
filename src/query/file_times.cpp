#include "file_times.h"

int64_t FileModifiedTime(const FolderSnapshot& s, FolderSnapshot::Index folder, uint32_t file) {
    const int64_t seconds = s.FileModified(folder, file);
    return seconds == 0 ? kUnknownFileTime : seconds; // the snapshot's 0: not known
}
