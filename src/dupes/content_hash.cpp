#include "content_hash.h"

#include <cstring>

namespace {

constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
constexpr uint64_t kSecond = 0xD6E8FEB86659FD93ull;

uint64_t Fold(uint64_t x) {
    x ^= x >> 32;
    x *= kSecond;
    x ^= x >> 29;
    return x;
}

} // namespace

void ContentHash::MixWord(uint64_t word) {
    m_state = Fold((m_state ^ word) * kMultiplier) + word;
}

void ContentHash::Add(const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    m_length += size;
    // Finish a word begun by an earlier piece.
    while (m_nPending != 0 && size != 0) {
        m_pending |= uint64_t{*bytes++} << (8 * m_nPending);
        --size;
        if (++m_nPending == 8) {
            MixWord(m_pending);
            m_pending = 0;
            m_nPending = 0;
        }
    }
    for (; size >= 8; bytes += 8, size -= 8) {
        uint64_t word = 0;
        for (int i = 7; i >= 0; --i) // little-endian on every machine
            word = word << 8 | bytes[i];
        MixWord(word);
    }
    for (; size != 0; --size)
        m_pending |= uint64_t{*bytes++} << (8 * m_nPending++);
}

uint64_t ContentHash::Value() const {
    uint64_t state = m_state;
    if (m_nPending != 0)
        state = Fold((state ^ m_pending) * kMultiplier) + m_pending;
    return Fold((state ^ m_length) * kMultiplier);
}

uint64_t HashBytes(const void* data, size_t size, uint64_t seed) {
    ContentHash hash(seed);
    hash.Add(data, size);
    return hash.Value();
}
