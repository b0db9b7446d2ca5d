// libFuzzer target: any bytes given to the saved-scan reader end in a snapshot whose totals
// add up, or in an error with a reason and a place; never a crash, a hang or a leak.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "saved_scan_reader.h"

namespace {

// The folder's totals, summed again from its own files and its subfolders' totals.
void CheckSums(const FolderSnapshot& s, FolderSnapshot::Index folder) {
    FolderTotals totals;
    if (!s.GetTotals(folder, totals))
        std::abort(); // every folder read is final
    if (s.IsUnreadable(folder) || s.IsExcluded(folder)) {
        if (totals.nSize || totals.nFolders || totals.nFiles)
            std::abort();
        return;
    }
    int64_t bytes = 0;
    int64_t folders = 0;
    int64_t files = s.OwnFileCount(folder);
    for (uint32_t i = 0; i < s.OwnFileCount(folder); ++i)
        bytes += s.FileSize(folder, i);
    for (auto sub = s.FirstSubfolder(folder); sub != FolderSnapshot::kNone;
         sub = s.NextSubfolder(sub)) {
        CheckSums(s, sub);
        FolderTotals below;
        s.GetTotals(sub, below);
        bytes += below.nSize;
        folders += 1 + below.nFolders;
        files += below.nFiles;
    }
    if (bytes != totals.nSize || folders != totals.nFolders || files != totals.nFiles)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size_t offset = 0;
    // Small blocks, so that every token is also met split between two of them.
    ReadBytes read = [&](char* buffer, size_t room) -> int64_t {
        const size_t n = std::min<size_t>({room, size - offset, 7});
        std::memcpy(buffer, data + offset, n);
        offset += n;
        return static_cast<int64_t>(n);
    };
    SavedScan scan;
    scan.snapshot.SetMemoryCap(64 << 20);
    SavedScanError error;
    if (ReadSavedScan(read, scan, error)) {
        CheckSums(scan.snapshot, scan.root);
    } else if (error.reason.empty() || error.position.line == 0 || error.position.byte == 0) {
        std::abort();
    }
    return 0;
}
