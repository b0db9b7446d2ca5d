#include "file_table.h"

#include <algorithm>
#include <memory>

#include "data_runs.h"
#include "file_record.h"
#include "little_endian.h"

namespace {

constexpr size_t kChunkBytes = size_t{1} << 20; // the table is read this much at a time
constexpr uint64_t kMostListBytes = uint64_t{4} << 20;
// Records the table's own runs may continue in: each one maps the runs again.
constexpr size_t kMostContinuations = 4096;
// Records read again after the pass, at most; more damaged ones fail the reading at once.
constexpr size_t kMostRereads = 1024;

int64_t UnixSeconds(int64_t ntTime) {
    // Whole seconds first (rounded down), so that no time overflows; then from 1601 to 1970.
    constexpr int64_t kTicks = 10000000;
    constexpr int64_t kEpochGap = 11644473600LL;
    const int64_t seconds = ntTime / kTicks - (ntTime % kTicks < 0 ? 1 : 0);
    return seconds - kEpochGap;
}

} // namespace

// The runs of the table's data stream found in one record, kept until all are known.
struct FileTable::Piece {
    uint64_t nFirst;
    uint64_t nLast;
    std::vector<uint8_t> runs;
};

bool FileTable::Read(VolumeBytes& volume, std::string& why) {
    return Locate(volume, why) && ReadRecords(volume, why);
}

bool FileTable::Locate(VolumeBytes& volume, std::string& why) {
    m_entries.clear();
    m_names.clear();
    m_text.clear();
    m_table.clear();
    m_cursor = Cursor();
    uint8_t boot[512];
    if (!volume.ReadAt(0, boot, sizeof boot)) {
        why = "cannot read the volume's first sector";
        return false;
    }
    return ReadBootSector(boot, m_geometry, why) && LocateTable(volume, why);
}

bool FileTable::ReadTableBytes(VolumeBytes& volume, uint64_t offset, uint8_t* buffer, size_t size) {
    const uint64_t clusterBytes = m_geometry.nClusterBytes;
    // The table is read front to back: each read starts from the extent the last one ended
    // in, so a table in many extents is not searched from its start for every megabyte.
    if (m_cursor.nExtent >= m_table.size() || offset < m_cursor.nStart)
        m_cursor = Cursor();
    for (; m_cursor.nExtent < m_table.size(); ++m_cursor.nExtent) {
        const Extent& extent = m_table[m_cursor.nExtent];
        const uint64_t start = m_cursor.nStart;
        const uint64_t length = extent.nCount * clusterBytes;
        while (size > 0 && offset >= start && offset < start + length) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(size, start + length - offset));
            if (!volume.ReadAt(extent.nCluster * clusterBytes + (offset - start), buffer, n))
                return false;
            buffer += n;
            offset += n;
            size -= n;
        }
        if (size == 0)
            return true;
        m_cursor.nStart += length;
    }
    return size == 0;
}

bool FileTable::LocateTable(VolumeBytes& volume, std::string& why) {
    const VolumeGeometry& g = m_geometry;
    const uint32_t recordBytes = g.nRecordBytes;
    std::vector<uint8_t> record(recordBytes);
    FileRecordInfo info;
    if (!volume.ReadAt(g.nTableCluster * g.nClusterBytes, record.data(), recordBytes)) {
        why = "cannot read the file table's first record";
        return false;
    }
    ParseFileRecord(record.data(), recordBytes, info, true);
    if (info.state != FileRecordInfo::State::InUse || info.dataRuns.empty() || !info.bData) {
        why = "the file table's own record is damaged" +
              (info.why.empty() ? std::string() : ": " + info.why);
        return false;
    }
    int64_t allocated = info.nDataAllocated;
    int64_t used = std::min(info.nDataBytes, info.nDataInitialized);
    std::vector<Piece> pieces;
    auto keep = [&pieces](const uint8_t* bytes, const FileRecordInfo& from) {
        for (const RunsPiece& p : from.dataRuns)
            pieces.push_back(
                {p.nFirstCluster, p.nLastCluster,
                 std::vector<uint8_t>(bytes + p.nOffset, bytes + p.nOffset + p.nSize)});
    };
    keep(record.data(), info);
    // Maps what the pieces known so far cover, from the table's start on.
    auto map = [&]() -> bool {
        std::sort(pieces.begin(), pieces.end(),
                  [](const Piece& a, const Piece& b) { return a.nFirst < b.nFirst; });
        m_table.clear();
        m_cursor = Cursor();
        uint64_t next = 0;
        for (const Piece& p : pieces) {
            if (p.nFirst != next)
                break;
            if (p.nLast < p.nFirst || p.nLast - p.nFirst >= g.nClusters) {
                why = "the file table's runs reach past the end of the volume";
                return false;
            }
            std::vector<::Extent> extents;
            if (!DecodeDataRuns(p.runs.data(), p.runs.size(), p.nLast - p.nFirst + 1, g.nClusters,
                                extents, why)) {
                why = "the file table's runs: " + why;
                return false;
            }
            for (const ::Extent& e : extents) {
                if (e.nCluster == ::Extent::kSparse) {
                    why = "the file table has a hole";
                    return false;
                }
                m_table.push_back({e.nCluster, e.nCount});
            }
            next = p.nLast + 1;
        }
        return true;
    };
    if (!map())
        return false;

    if (info.bAttributeList) {
        // The table is spread over several records: the list names the others, which lie
        // in the part already mapped.
        std::vector<uint8_t> list;
        if (info.bListResident) {
            list.assign(record.begin() + info.nListOffset,
                        record.begin() + info.nListOffset + info.nListSize);
        } else {
            std::vector<::Extent> extents;
            const RunsPiece& p = info.listRuns;
            if (info.nListSize > kMostListBytes || p.nLastCluster < p.nFirstCluster ||
                p.nLastCluster - p.nFirstCluster >= kMostListBytes / g.nClusterBytes + 1 ||
                !DecodeDataRuns(record.data() + p.nOffset, p.nSize,
                                p.nLastCluster - p.nFirstCluster + 1, g.nClusters, extents, why)) {
                why = "the file table's attribute list is malformed";
                return false;
            }
            for (const ::Extent& e : extents) {
                if (e.nCluster == ::Extent::kSparse) {
                    why = "the file table's attribute list has a hole";
                    return false;
                }
                const size_t at = list.size();
                list.resize(at + e.nCount * g.nClusterBytes);
                if (!volume.ReadAt(e.nCluster * g.nClusterBytes, list.data() + at,
                                   e.nCount * g.nClusterBytes)) {
                    why = "cannot read the file table's attribute list";
                    return false;
                }
            }
            if (list.size() < info.nListSize) {
                why = "the file table's attribute list is malformed";
                return false;
            }
            list.resize(info.nListSize);
        }
        std::vector<std::pair<uint64_t, uint64_t>> continued; // first cluster, record
        for (size_t at = 0; at + 0x1A <= list.size();) {
            const uint8_t* e = list.data() + at;
            const size_t length = ntfs::U16(e + 4);
            if (length < 0x1A || length > list.size() - at) {
                why = "the file table's attribute list is malformed";
                return false;
            }
            const uint64_t number = RecordNumber(ntfs::U64(e + 0x10));
            if (ntfs::U32(e) == 0x80 && e[6] == 0 && number != 0)
                continued.push_back({ntfs::U64(e + 8), number});
            at += length;
        }
        std::sort(continued.begin(), continued.end());
        continued.erase(
            std::unique(continued.begin(), continued.end(),
                        [](const auto& a, const auto& b) { return a.second == b.second; }),
            continued.end());
        if (continued.size() > kMostContinuations) {
            why = "the file table continues in too many records";
            return false;
        }
        std::vector<uint8_t> more(recordBytes);
        for (const auto& c : continued) {
            FileRecordInfo part;
            if (c.second > UINT64_MAX / recordBytes ||
                !ReadTableBytes(volume, c.second * recordBytes, more.data(), recordBytes)) {
                why = "the file table continues in a record it does not map";
                return false;
            }
            ParseFileRecord(more.data(), recordBytes, part, true);
            if (part.state != FileRecordInfo::State::InUse || RecordNumber(part.nBase) != 0) {
                why = "the file table continues in a damaged record";
                return false;
            }
            if (part.bData) {
                allocated = part.nDataAllocated;
                used = std::min(part.nDataBytes, part.nDataInitialized);
            }
            keep(more.data(), part);
            if (!map())
                return false;
        }
    }

    uint64_t mapped = 0;
    for (const Extent& e : m_table)
        mapped += e.nCount;
    if (allocated <= 0 || used < 0 || used > allocated ||
        mapped != static_cast<uint64_t>(allocated) / g.nClusterBytes) {
        why = "the file table's runs do not cover its size";
        return false;
    }
    // Runs that cover the same clusters twice would make the table read some of itself again.
    std::vector<Extent> sorted = m_table;
    std::sort(sorted.begin(), sorted.end(),
              [](const Extent& a, const Extent& b) { return a.nCluster < b.nCluster; });
    for (size_t i = 1; i < sorted.size(); ++i)
        if (sorted[i - 1].nCluster + sorted[i - 1].nCount > sorted[i].nCluster) {
            why = "the file table's runs overlap";
            return false;
        }
    m_nTableBytes = static_cast<uint64_t>(used) / recordBytes * recordBytes;
    if (m_nTableBytes / recordBytes >= 0xFFFFFFFFull) {
        why = "the file table has too many records";
        return false;
    }
    return true;
}

bool FileTable::TakeRecord(uint32_t number, const FileRecordInfo& info, std::string& why) {
    if (info.state != FileRecordInfo::State::InUse)
        return true;
    uint32_t owner = number;
    if (info.nBase != 0) {
        const uint64_t base = RecordNumber(info.nBase);
        if (base >= m_entries.size()) {
            why = "record " + std::to_string(number) + " continues one past the table";
            return false;
        }
        owner = static_cast<uint32_t>(base);
        m_continuations.push_back({number, info.nBase});
    } else {
        Entry& e = m_entries[number];
        e.flags |= kInUse;
        if (info.bFolder)
            e.flags |= kFolder;
        if (info.IsReparsePoint())
            e.flags |= kReparsePoint;
        e.nSequence = info.nSequence;
        e.tModified = UnixSeconds(info.nModified);
    }
    Entry& e = m_entries[owner];
    if (info.nIndexBytes >= 0) {
        e.nBytes = info.nIndexBytes;
        e.nAllocated = info.nIndexAllocated;
    }
    if (info.bData) {
        e.nBytes = info.nDataBytes;
        e.nAllocated = info.nDataAllocated;
    }
    for (const FileRecordInfo::Name& name : info.nameList) {
        if (m_text.size() + name.nLength >= UINT32_MAX) {
            why = "the volume's names take more than 4 GiB";
            return false;
        }
        m_names.push_back(
            {name.nParent, owner, static_cast<uint32_t>(m_text.size()), name.nLength});
        m_text.append(info.names, name.nOffset, name.nLength);
        e.nLinks += 1;
    }
    return true;
}

bool FileTable::ReadRecords(VolumeBytes& volume, std::string& why) {
    const uint32_t recordBytes = m_geometry.nRecordBytes;
    const uint32_t count = static_cast<uint32_t>(m_nTableBytes / recordBytes);
    m_entries.assign(count, Entry());
    m_continuations.clear();
    const size_t chunkBytes = static_cast<size_t>(std::min<uint64_t>(kChunkBytes, m_nTableBytes));
    std::unique_ptr<uint8_t[]> chunk(new uint8_t[chunkBytes]);
    FileRecordInfo info;
    // A record written while the table is read (a volume in use) can read torn: each one is
    // read once more after the pass, and only one that is damaged still fails the reading.
    std::vector<uint32_t> torn;
    for (uint64_t start = 0; start < m_nTableBytes; start += chunkBytes) {
        const size_t size =
            static_cast<size_t>(std::min<uint64_t>(chunkBytes, m_nTableBytes - start));
        if (!ReadTableBytes(volume, start, chunk.get(), size)) {
            why = "cannot read the file table at byte " + std::to_string(start);
            return false;
        }
        for (size_t at = 0; at < size; at += recordBytes) {
            const uint32_t number = static_cast<uint32_t>((start + at) / recordBytes);
            ParseFileRecord(chunk.get() + at, recordBytes, info);
            if (info.state == FileRecordInfo::State::Damaged) {
                if (torn.size() == kMostRereads) {
                    why = "more than " + std::to_string(kMostRereads) +
                          " file records damaged, the first " + std::to_string(torn[0]);
                    return false;
                }
                torn.push_back(number);
                continue;
            }
            if (!TakeRecord(number, info, why))
                return false;
        }
    }
    for (uint32_t number : torn) {
        if (!ReadTableBytes(volume, uint64_t{number} * recordBytes, chunk.get(), recordBytes)) {
            why = "cannot read the file table at record " + std::to_string(number);
            return false;
        }
        ParseFileRecord(chunk.get(), recordBytes, info);
        if (info.state == FileRecordInfo::State::Damaged) {
            why = "file record " + std::to_string(number) + " is damaged: " + info.why;
            return false;
        }
        if (!TakeRecord(number, info, why))
            return false;
    }
    for (const auto& [number, base] : m_continuations) {
        const Entry& e = m_entries[RecordNumber(base)];
        if (!(e.flags & kInUse) || e.nSequence != RecordSequence(base)) {
            why = "record " + std::to_string(number) + " continues a record no longer there";
            return false;
        }
    }
    return true;
}
