#pragma once
// The first sector of an NTFS volume: its geometry and where its file table starts.

#include <cstdint>
#include <string>

struct VolumeGeometry {
    uint32_t nSectorBytes = 0;
    uint32_t nClusterBytes = 0;
    uint64_t nClusters = 0;     // on the volume
    uint64_t nTableCluster = 0; // where the file table's first record lies
    uint32_t nRecordBytes = 0;  // one file record
    uint64_t nSerial = 0;       // the volume's serial number
};

// Reads the 512 bytes at the volume's start. False, with the reason in `why`, when they are
// not an NTFS boot sector or describe no volume this reader can walk.
bool ReadBootSector(const uint8_t* sector, VolumeGeometry& geometry, std::string& why);
