#include "file_record.h"

#include <cstring>

#include "little_endian.h"

using ntfs::U16;
using ntfs::U32;
using ntfs::U64;

namespace {

constexpr uint32_t kStandardInformation = 0x10;
constexpr uint32_t kAttributeList = 0x20;
constexpr uint32_t kFileName = 0x30;
constexpr uint32_t kData = 0x80;
constexpr uint32_t kIndexAllocation = 0xA0;
constexpr uint32_t kEnd = 0xFFFFFFFF;
constexpr uint8_t kDosNames = 2; // the name space of short names alone
constexpr uint16_t kCompressedOrSparse = 0x0001 | 0x8000;
constexpr size_t kStride = 512; // the update sequence protects every 512 bytes

void Damage(FileRecordInfo& info, const char* why) {
    info.state = FileRecordInfo::State::Damaged;
    info.why = why;
}

bool UndoFixups(uint8_t* record, size_t size, FileRecordInfo& info) {
    const size_t offset = U16(record + 0x04);
    const size_t count = U16(record + 0x06);
    if (count != size / kStride + 1 || offset % 2 != 0 || offset < 0x28 ||
        offset + 2 * count > kStride - 2) {
        Damage(info, "its update sequence lies outside it");
        return false;
    }
    const uint8_t* check = record + offset;
    for (size_t i = 1; i < count; ++i) {
        uint8_t* end = record + i * kStride - 2;
        if (std::memcmp(end, check, 2) != 0) {
            Damage(info, "its update sequence does not match (a torn write)");
            return false;
        }
        std::memcpy(end, check + 2 * i, 2);
    }
    return true;
}

// Whether the attribute at `a` (`length` bytes) has the name `name` (ASCII, 4 letters).
bool IsNamed(const uint8_t* a, uint32_t length, const char* name) {
    const size_t units = a[0x09];
    const size_t at = U16(a + 0x0A);
    if (units != std::strlen(name) || at + 2 * units > length)
        return false;
    for (size_t i = 0; i < units; ++i)
        if (U16(a + at + 2 * i) != static_cast<uint8_t>(name[i]))
            return false;
    return true;
}

bool ReadRunsPiece(const uint8_t* a, uint32_t length, size_t attributeAt, RunsPiece& piece) {
    const size_t runs = U16(a + 0x20);
    if (runs < 0x40 || runs > length)
        return false;
    piece.nFirstCluster = U64(a + 0x10);
    piece.nLastCluster = U64(a + 0x18);
    piece.nOffset = attributeAt + runs;
    piece.nSize = length - runs;
    return true;
}

// One attribute; false (the record damaged) where its fields do not fit it.
bool ReadAttribute(const uint8_t* record, size_t at, uint32_t type, uint32_t length,
                   FileRecordInfo& info, bool bRuns) {
    const uint8_t* a = record + at;
    const bool bResident = a[0x08] == 0;
    const bool bNamed = a[0x09] != 0;
    const uint32_t valueLength = bResident ? U32(a + 0x10) : 0;
    const size_t valueAt = bResident ? U16(a + 0x14) : 0;
    if (bResident ? length < 0x18 || valueAt > length || valueLength > length - valueAt
                  : length < 0x40)
        return false;
    const uint8_t* value = a + valueAt;
    switch (type) {
    case kStandardInformation:
        if (!bResident || valueLength < 0x24)
            return false;
        info.bStandard = true;
        info.nModified = static_cast<int64_t>(U64(value + 0x08));
        info.nAttributes = U32(value + 0x20);
        return true;
    case kFileName: {
        if (!bResident || valueLength < 0x42)
            return false;
        const size_t units = value[0x40];
        if (0x42 + 2 * units > valueLength)
            return false;
        if (value[0x41] == kDosNames)
            return true;
        const size_t start = info.names.size();
        AppendUtf8(value + 0x42, units, info.names);
        info.nameList.push_back({U64(value), static_cast<uint32_t>(start),
                                 static_cast<uint32_t>(info.names.size() - start)});
        return true;
    }
    case kData:
        if (bNamed)
            return true; // an alternate stream: not the file's size
        if (bResident) {
            info.bData = true;
            info.nDataBytes = valueLength;
            // Held in the record, rounded to its 8-byte alignment.
            info.nDataAllocated = (int64_t{valueLength} + 7) & ~int64_t{7};
            info.nDataInitialized = valueLength;
            return true;
        }
        if (bRuns) {
            RunsPiece piece;
            if (!ReadRunsPiece(a, length, at, piece))
                return false;
            info.dataRuns.push_back(piece);
        }
        if (U64(a + 0x10) == 0) {
            const uint16_t flags = U16(a + 0x0C);
            const bool bPacked = (flags & kCompressedOrSparse) != 0;
            if (bPacked && length < 0x48)
                return false;
            info.bData = true;
            info.nDataBytes = static_cast<int64_t>(U64(a + 0x30));
            info.nDataAllocated = static_cast<int64_t>(U64(a + (bPacked ? 0x40 : 0x28)));
            info.nDataInitialized = static_cast<int64_t>(U64(a + 0x38));
            if (info.nDataBytes < 0 || info.nDataAllocated < 0)
                return false;
        }
        return true;
    case kIndexAllocation:
        if (!bResident && U64(a + 0x10) == 0 && IsNamed(a, length, "$I30")) {
            info.nIndexBytes = static_cast<int64_t>(U64(a + 0x30));
            info.nIndexAllocated = static_cast<int64_t>(U64(a + 0x28));
            if (info.nIndexBytes < 0 || info.nIndexAllocated < 0)
                return false;
        }
        return true;
    case kAttributeList:
        info.bAttributeList = true;
        info.bListResident = bResident;
        if (bResident) {
            info.nListOffset = at + valueAt;
            info.nListSize = valueLength;
        } else if (bRuns) {
            if (!ReadRunsPiece(a, length, at, info.listRuns) || U64(a + 0x10) != 0)
                return false;
            info.nListSize = U64(a + 0x30);
        }
        return true;
    default:
        return true;
    }
}

} // namespace

void ParseFileRecord(uint8_t* record, size_t size, FileRecordInfo& info, bool bRuns) {
    info.state = FileRecordInfo::State::Free;
    info.why.clear();
    info.nameList.clear();
    info.names.clear();
    info.dataRuns.clear();
    info.bStandard = info.bData = info.bAttributeList = false;
    info.nModified = info.nDataBytes = info.nDataAllocated = info.nDataInitialized = 0;
    info.nAttributes = 0;
    info.nIndexBytes = info.nIndexAllocated = -1;
    if (size < kStride || size % kStride != 0)
        return Damage(info, "it has an impossible size");
    if (std::memcmp(record, "FILE", 4) != 0) {
        static const uint8_t kNothing[4] = {0, 0, 0, 0};
        if (std::memcmp(record, kNothing, 4) != 0)
            Damage(info, "it is marked bad, or is no file record");
        return; // never written: free
    }
    const uint16_t flags = U16(record + 0x16);
    if ((flags & 0x01) == 0)
        return; // deleted, or never used
    if (!UndoFixups(record, size, info))
        return;
    info.nSequence = U16(record + 0x10);
    info.bFolder = (flags & 0x02) != 0;
    info.nBase = U64(record + 0x20);
    const size_t used = U32(record + 0x18);
    if (U32(record + 0x1C) != size || used > size || used < 0x30)
        return Damage(info, "its sizes do not match the volume's record size");
    size_t at = U16(record + 0x14);
    if (at < 0x2A || at % 8 != 0)
        return Damage(info, "its first attribute lies outside it");
    for (;;) {
        if (at + 4 > used)
            return Damage(info, "its attributes run past its end");
        const uint32_t type = U32(record + at);
        if (type == kEnd)
            break;
        if (at + 16 > used)
            return Damage(info, "its attributes run past its end");
        const uint32_t length = U32(record + at + 4);
        if (length < 16 || length % 8 != 0 || length > used - at)
            return Damage(info, "an attribute has an impossible length");
        if (!ReadAttribute(record, at, type, length, info, bRuns))
            return Damage(info, "an attribute's fields lie outside it");
        at += length;
    }
    info.state = FileRecordInfo::State::InUse;
}

void AppendUtf8(const uint8_t* text, size_t units, std::string& out) {
    for (size_t i = 0; i < units; ++i) {
        uint32_t c = U16(text + 2 * i);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units) {
            const uint32_t low = U16(text + 2 * i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (c >= 0xD800 && c < 0xE000)
            c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}
