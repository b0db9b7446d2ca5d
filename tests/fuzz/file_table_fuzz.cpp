// libFuzzer target: any bytes given as a volume's file table end in a snapshot whose totals
// add up, or in a reason to walk instead; never a crash, a hang or a leak.
//
// Input: the cluster the table starts at (8 bytes), the volume's clusters (8 bytes, kept
// small), then the table's bytes as they lie there. The boot sector is made here, so that
// every input reaches the records.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "file_table.h"
#include "little_endian.h"
#include "snapshot_sums.h"
#include "table_snapshot.h"

namespace {

constexpr uint32_t kClusterBytes = 4096;
constexpr uint64_t kMostClusters = 64;

class FuzzVolume : public VolumeBytes {
public:
    FuzzVolume(const uint8_t* table, size_t size, uint64_t tableCluster, uint64_t clusters)
        : m_table(table), m_size(size), m_start(tableCluster * kClusterBytes) {
        std::memset(m_boot, 0, sizeof m_boot);
        std::memcpy(m_boot + 3, "NTFS    ", 8);
        m_boot[0x0B] = 0x00; // 512-byte sectors
        m_boot[0x0C] = 0x02;
        m_boot[0x0D] = 8;
        const uint64_t sectors = clusters * 8;
        std::memcpy(m_boot + 0x28, &sectors, 8);
        std::memcpy(m_boot + 0x30, &tableCluster, 8);
        m_boot[0x40] = 0xF6; // 1024-byte records
        m_boot[510] = 0x55;
        m_boot[511] = 0xAA;
    }

    bool ReadAt(uint64_t offset, void* buffer, size_t size) override {
        uint8_t* out = static_cast<uint8_t*>(buffer);
        std::memset(out, 0, size);
        if (offset < sizeof m_boot)
            std::memcpy(out, m_boot + offset, std::min<size_t>(size, sizeof m_boot - offset));
        // The table's bytes where they lie, zeros elsewhere.
        const uint64_t from = std::max(offset, m_start);
        const uint64_t to = std::min(offset + size, m_start + m_size);
        if (from < to)
            std::memcpy(out + (from - offset), m_table + (from - m_start), to - from);
        return true;
    }

private:
    uint8_t m_boot[512];
    const uint8_t* m_table;
    size_t m_size;
    uint64_t m_start;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 16)
        return 0;
    const uint64_t clusters = ntfs::U64(data + 8) % kMostClusters + 1;
    FuzzVolume volume(data + 16, size - 16, ntfs::U64(data) % clusters, clusters);
    FileTable table;
    std::string why;
    if (!table.Read(volume, why)) {
        if (why.empty())
            std::abort();
        return 0;
    }
    FolderSnapshot snapshot;
    snapshot.SetMemoryCap(64 << 20);
    TableScanOptions options;
    options.folderPath = "/v";
    if (FillSnapshotFromTable(table, options, snapshot, why))
        CheckSnapshotSums(snapshot, snapshot.Find("/v"));
    else if (why.empty())
        std::abort();
    return 0;
}
