// libFuzzer target: any bytes given to the saved-scan reader end in a snapshot whose totals
// add up, or in an error with a reason and a place; never a crash, a hang or a leak.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "saved_scan_reader.h"
#include "snapshot_sums.h"

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
        CheckSnapshotSums(scan.snapshot, scan.root);
    } else if (error.reason.empty() || error.position.line == 0 || error.position.byte == 0) {
        std::abort();
    }
    return 0;
}
