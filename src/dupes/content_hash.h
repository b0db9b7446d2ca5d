#pragma once
// A small, fast 64-bit hash of bytes, for telling files apart before their bytes are
// compared: it only narrows the candidates (nothing is called a duplicate on its word), so
// it needs speed and an even spread, not strength. Eight bytes at a time, each word mixed
// by a multiply and a fold of its high half into its low; the length goes in last, so
// "a" and "a\0" differ.

#include <cstddef>
#include <cstdint>

class ContentHash {
public:
    explicit ContentHash(uint64_t seed = 0) : m_state(seed ^ kStart) {}

    // Takes in the next bytes; any split of a text into pieces gives the same hash.
    void Add(const void* data, size_t size);
    uint64_t Value() const;

private:
    static constexpr uint64_t kStart = 0x6A09E667F3BCC909ull;
    void MixWord(uint64_t word);

    uint64_t m_state;
    uint64_t m_length = 0;
    uint64_t m_pending = 0;  // bytes of an unfinished word, lowest first
    unsigned m_nPending = 0; // how many
};

// The hash of one piece of bytes.
uint64_t HashBytes(const void* data, size_t size, uint64_t seed = 0);
