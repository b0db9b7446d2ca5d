#pragma once
// Numbers as the volume stores them: little-endian, at any alignment.

#include <cstdint>
#include <cstring>

namespace ntfs {

inline uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
inline uint32_t U32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
inline uint64_t U64(const uint8_t* p) {
    return uint64_t{U32(p)} | uint64_t{U32(p + 4)} << 32;
}

} // namespace ntfs
