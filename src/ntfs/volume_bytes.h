#pragma once
// Where the master file table reader gets a volume's bytes: an image file, or a volume
// device opened on the system that has one.

#include <cstddef>
#include <cstdint>

class VolumeBytes {
public:
    virtual ~VolumeBytes() = default;
    // Reads exactly `size` bytes at `offset` into `buffer`; false when that cannot be done.
    // Offsets and sizes the reader asks for are multiples of 512.
    virtual bool ReadAt(uint64_t offset, void* buffer, size_t size) = 0;
};
