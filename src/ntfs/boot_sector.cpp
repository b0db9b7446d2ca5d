#include "boot_sector.h"

#include <cstring>

#include "little_endian.h"

namespace {

bool IsPowerOfTwo(uint64_t n) {
    return n != 0 && (n & (n - 1)) == 0;
}

} // namespace

bool ReadBootSector(const uint8_t* sector, VolumeGeometry& geometry, std::string& why) {
    using ntfs::U16;
    using ntfs::U64;
    if (std::memcmp(sector + 3, "NTFS    ", 8) != 0 || U16(sector + 510) != 0xAA55) {
        why = "not an NTFS volume";
        return false;
    }
    const uint32_t sectorBytes = U16(sector + 0x0B);
    if (!IsPowerOfTwo(sectorBytes) || sectorBytes < 256 || sectorBytes > 4096) {
        why = "the boot sector gives " + std::to_string(sectorBytes) + "-byte sectors";
        return false;
    }
    // Clusters of more than 128 sectors are given as a negative power of two.
    const uint8_t perCluster = sector[0x0D];
    uint64_t clusterBytes = perCluster <= 128       ? uint64_t{perCluster} * sectorBytes
                            : 256 - perCluster < 32 ? uint64_t{sectorBytes} << (256 - perCluster)
                                                    : 0;
    if (!IsPowerOfTwo(clusterBytes) || clusterBytes > (uint64_t{2} << 20)) {
        why = "the boot sector gives an impossible cluster size";
        return false;
    }
    // A record's size is given in clusters, or, negative, as a power of two in bytes.
    const int8_t perRecord = static_cast<int8_t>(sector[0x40]);
    const uint64_t recordBytes = perRecord > 0     ? uint64_t(perRecord) * clusterBytes
                                 : perRecord > -32 ? uint64_t{1} << -perRecord
                                                   : 0;
    if (!IsPowerOfTwo(recordBytes) || recordBytes < 512 || recordBytes > 65536) {
        why = "the boot sector gives file records of an impossible size";
        return false;
    }
    const uint64_t sectors = U64(sector + 0x28);
    geometry.nSectorBytes = sectorBytes;
    geometry.nClusterBytes = static_cast<uint32_t>(clusterBytes);
    geometry.nClusters = sectors / (clusterBytes / sectorBytes);
    geometry.nTableCluster = U64(sector + 0x30);
    geometry.nRecordBytes = static_cast<uint32_t>(recordBytes);
    geometry.nSerial = U64(sector + 0x48);
    if (geometry.nClusters == 0 || geometry.nTableCluster >= geometry.nClusters) {
        why = "the boot sector places the file table outside the volume";
        return false;
    }
    return true;
}
