#pragma once
// Storage for the folder snapshot: arrays addressed by 32-bit indexes that grow in chunks
// (an element never moves once added, and no element is a heap allocation of its own), and
// a pool of zero-terminated names.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

// Chunks double from 64 elements to 65,536, then stay at 65,536: a small snapshot takes
// little, a large one wastes at most one chunk's unused tail.
template <typename T>
class ChunkedArray {
public:
    ChunkedArray() = default;
    ChunkedArray(ChunkedArray&& other) noexcept { *this = std::move(other); }
    ChunkedArray& operator=(ChunkedArray&& other) noexcept {
        m_chunks = std::move(other.m_chunks);
        m_nSize = std::exchange(other.m_nSize, 0);
        m_nCapacity = std::exchange(other.m_nCapacity, 0);
        other.m_chunks.clear();
        return *this;
    }

    uint32_t Size() const { return m_nSize; }
    T& operator[](uint32_t i) { return Locate(i); }
    const T& operator[](uint32_t i) const { return const_cast<ChunkedArray*>(this)->Locate(i); }

    // Adds `count` elements with consecutive indexes; returns the first index.
    uint32_t Grow(uint32_t count) {
        const uint32_t first = m_nSize;
        m_nSize += count;
        while (m_nCapacity < m_nSize) {
            const uint32_t n = ChunkCapacity(static_cast<unsigned>(m_chunks.size()));
            m_chunks.emplace_back(new T[n]);
            m_nCapacity += n;
        }
        return first;
    }
    uint32_t Add(const T& value) {
        const uint32_t i = Grow(1);
        Locate(i) = value;
        return i;
    }
    // Drops the last `count` elements.
    void Shrink(uint32_t count) { m_nSize -= count; }
    void Clear() {
        m_chunks.clear();
        m_nSize = m_nCapacity = 0;
    }

private:
    static constexpr unsigned kFirstShift = 6; // the first chunk holds 64 elements
    static constexpr unsigned kDoublings = 11; // chunks 0 to 10 double, later ones stay
    static constexpr uint32_t kLargeShift = kFirstShift + kDoublings - 1;
    static constexpr uint32_t kDoubledEnd = ((1u << kDoublings) - 1) << kFirstShift;

    static uint32_t ChunkCapacity(unsigned chunk) {
        return 1u << (kFirstShift + (chunk < kDoublings ? chunk : kDoublings - 1));
    }

    T& Locate(uint32_t i) {
        if (i < kDoubledEnd) {
            const uint32_t q = (i >> kFirstShift) + 1;
            const unsigned chunk = 31u - static_cast<unsigned>(__builtin_clz(q));
            return m_chunks[chunk][i - (((1u << chunk) - 1) << kFirstShift)];
        }
        const uint32_t j = i - kDoubledEnd;
        return m_chunks[kDoublings + (j >> kLargeShift)][j & ((1u << kLargeShift) - 1)];
    }

    std::vector<std::unique_ptr<T[]>> m_chunks;
    uint32_t m_nSize = 0;
    uint32_t m_nCapacity = 0;
};

// Names with their terminating zeros, in chunks of 4 KiB doubling to 16 MiB. A name is
// referred to by its chunk (high 8 bits) and its offset in it (low 24 bits); a name never
// spans two chunks.
class NamePool {
public:
    static constexpr uint32_t kNoName = 0xFFFFFFFFu;

    NamePool() = default;
    NamePool(NamePool&& other) noexcept { *this = std::move(other); }
    NamePool& operator=(NamePool&& other) noexcept {
        m_chunks = std::move(other.m_chunks);
        m_nChunkSize = std::exchange(other.m_nChunkSize, 0);
        m_nUsed = std::exchange(other.m_nUsed, 0);
        m_nBytes = std::exchange(other.m_nBytes, 0);
        other.m_chunks.clear();
        return *this;
    }

    const char* Get(uint32_t ref) const { return m_chunks[ref >> 24].get() + (ref & 0xFFFFFF); }

    // kNoName when the pool is full (4 GiB of names) or the name is longer than a chunk.
    uint32_t Add(const char* name, size_t length) {
        const size_t need = length + 1;
        if (m_chunks.empty() || m_nUsed + need > m_nChunkSize) {
            const unsigned chunk = static_cast<unsigned>(m_chunks.size());
            if (chunk == 256 || need > kLargestChunk)
                return kNoName;
            m_nChunkSize = chunk < 12 ? size_t{4096} << chunk : kLargestChunk;
            m_chunks.emplace_back(new char[m_nChunkSize]);
            m_nUsed = 0;
        }
        char* at = m_chunks.back().get() + m_nUsed;
        std::memcpy(at, name, length);
        at[length] = '\0';
        const uint32_t ref = static_cast<uint32_t>((m_chunks.size() - 1) << 24 | m_nUsed);
        m_nUsed += need;
        m_nBytes += need;
        return ref;
    }
    uint32_t Add(const char* name) { return Add(name, std::strlen(name)); }

    // Bytes the names take, terminators included.
    uint64_t Bytes() const { return m_nBytes; }
    void Clear() {
        m_chunks.clear();
        m_nChunkSize = m_nUsed = 0;
        m_nBytes = 0;
    }

private:
    static constexpr size_t kLargestChunk = size_t{1} << 24;

    std::vector<std::unique_ptr<char[]>> m_chunks;
    size_t m_nChunkSize = 0; // of the last chunk
    size_t m_nUsed = 0;      // in the last chunk
    uint64_t m_nBytes = 0;
};
