#pragma once
// Storage for the folder snapshot: arrays addressed by 32-bit indexes that grow in chunks
// (an element never moves once added, and no element is a heap allocation of its own), and
// a pool of zero-terminated names.
//
// Neither ever moves what it holds, its chunk tables included: while one thread adds
// elements (under a lock of the caller's), another may write to elements it was given
// earlier (also under that lock) without taking the lock again.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

// Chunks double from 64 elements to 2^20, then stay at 2^20. Chunk pointers sit in blocks
// of 64 that are allocated as needed and never moved.
template <typename T>
class ChunkedArray {
public:
    ChunkedArray() = default;
    ChunkedArray(ChunkedArray&& other) noexcept { *this = std::move(other); }
    ChunkedArray& operator=(ChunkedArray&& other) noexcept {
        m_blocks = std::move(other.m_blocks);
        m_nSize = std::exchange(other.m_nSize, 0);
        m_nCapacity = std::exchange(other.m_nCapacity, 0);
        m_nChunks = std::exchange(other.m_nChunks, 0);
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
            const unsigned chunk = m_nChunks++;
            std::unique_ptr<std::unique_ptr<T[]>[]>& block = m_blocks[chunk / kBlock];
            if (!block)
                block.reset(new std::unique_ptr<T[]>[kBlock]);
            const uint32_t n = ChunkCapacity(chunk);
            block[chunk % kBlock].reset(new T[n]);
            m_nCapacity += n;
        }
        return first;
    }
    uint32_t Add(const T& value) {
        const uint32_t i = Grow(1);
        Locate(i) = value;
        return i;
    }

private:
    static constexpr unsigned kFirstShift = 6; // the first chunk holds 64 elements
    static constexpr unsigned kDoublings = 15; // chunks 0 to 14 double, later ones stay
    static constexpr uint32_t kLargeShift = kFirstShift + kDoublings - 1;
    static constexpr uint32_t kDoubledEnd = ((1u << kDoublings) - 1) << kFirstShift;
    static constexpr unsigned kBlock = 64;
    // Enough chunks for 2^32 elements.
    static constexpr unsigned kBlocks =
        (kDoublings + ((0xFFFFFFFFu - kDoubledEnd) >> kLargeShift) + 1) / kBlock + 1;

    static uint32_t ChunkCapacity(unsigned chunk) {
        return 1u << (kFirstShift + (chunk < kDoublings ? chunk : kDoublings - 1));
    }

    T& Locate(uint32_t i) {
        unsigned chunk;
        uint32_t offset;
        if (i < kDoubledEnd) {
            const uint32_t q = (i >> kFirstShift) + 1;
            chunk = 31u - static_cast<unsigned>(__builtin_clz(q));
            offset = i - (((1u << chunk) - 1) << kFirstShift);
        } else {
            const uint32_t j = i - kDoubledEnd;
            chunk = kDoublings + (j >> kLargeShift);
            offset = j & ((1u << kLargeShift) - 1);
        }
        return m_blocks[chunk / kBlock][chunk % kBlock][offset];
    }

    std::array<std::unique_ptr<std::unique_ptr<T[]>[]>, kBlocks> m_blocks;
    uint32_t m_nSize = 0;
    uint32_t m_nCapacity = 0;
    unsigned m_nChunks = 0;
};

// Names with their terminating zeros, in chunks of 4 KiB doubling to 16 MiB. A name is
// referred to by its chunk (high 8 bits) and its offset in it (low 24 bits); a name, or a
// block reserved at once, never spans two chunks.
class NamePool {
public:
    static constexpr uint32_t kNoName = 0xFFFFFFFFu;
    static constexpr size_t kLargestBlock = size_t{1} << 24;

    NamePool() = default;
    NamePool(NamePool&& other) noexcept { *this = std::move(other); }
    NamePool& operator=(NamePool&& other) noexcept {
        for (size_t i = 0; i < m_chunks.size(); ++i)
            m_chunks[i] = std::move(other.m_chunks[i]);
        m_nChunks = std::exchange(other.m_nChunks, 0);
        m_nChunkSize = std::exchange(other.m_nChunkSize, 0);
        m_nUsed = std::exchange(other.m_nUsed, 0);
        m_nBytes = std::exchange(other.m_nBytes, 0);
        return *this;
    }

    const char* Get(uint32_t ref) const { return m_chunks[ref >> 24].get() + (ref & 0xFFFFFF); }
    char* Data(uint32_t ref) { return m_chunks[ref >> 24].get() + (ref & 0xFFFFFF); }

    // Room for `bytes` in one piece, to be written through Data. kNoName when the pool is
    // full (4 GiB) or the block is larger than a chunk.
    uint32_t Reserve(size_t bytes) {
        if (m_nChunks == 0 || m_nUsed + bytes > m_nChunkSize) {
            if (m_nChunks == m_chunks.size() || bytes > kLargestBlock)
                return kNoName;
            m_nChunkSize = m_nChunks < 12 ? size_t{4096} << m_nChunks : kLargestBlock;
            while (m_nChunkSize < bytes)
                m_nChunkSize *= 2;
            m_chunks[m_nChunks++].reset(new char[m_nChunkSize]);
            m_nUsed = 0;
        }
        const uint32_t ref = static_cast<uint32_t>((m_nChunks - 1) << 24 | m_nUsed);
        m_nUsed += bytes;
        m_nBytes += bytes;
        return ref;
    }

    uint32_t Add(const char* name, size_t length) {
        const uint32_t ref = Reserve(length + 1);
        if (ref != kNoName) {
            std::memcpy(Data(ref), name, length);
            Data(ref)[length] = '\0';
        }
        return ref;
    }
    uint32_t Add(const char* name) { return Add(name, std::strlen(name)); }

    // Bytes the names take, terminators included.
    uint64_t Bytes() const { return m_nBytes; }

private:
    std::array<std::unique_ptr<char[]>, 256> m_chunks;
    unsigned m_nChunks = 0;
    size_t m_nChunkSize = 0; // of the last chunk
    size_t m_nUsed = 0;      // in the last chunk
    uint64_t m_nBytes = 0;
};
