#pragma once
// A volume's master file table read whole: every file's names, sizes and times, kept
// compactly, the records spread over several joined to their base record.
//
// Cost: the table is read in one pass, 1 MiB at a time, in the order it lies on the volume
// (one read per megabyte, about 1 KiB per file). Kept: 32 bytes per record of the table
// (used or not), 24 bytes per name besides its UTF-8 text.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "boot_sector.h"
#include "file_record.h"
#include "volume_bytes.h"

class FileTable {
public:
    static constexpr uint32_t kRoot = 5; // the record of the volume's root folder
    // Records below this one describe the volume itself, not files it shows.
    static constexpr uint32_t kFirstUserRecord = 16;

    struct Entry {
        int64_t nBytes = 0;     // a file's data; a folder's index (where in clusters)
        int64_t nAllocated = 0; // bytes on disk of the same
        int64_t tModified = 0;  // seconds since 1970-01-01 00:00 UTC
        uint32_t nLinks = 0;    // names (DOS short names not counted)
        uint16_t nSequence = 0;
        uint8_t flags = 0;
    };
    static constexpr uint8_t kInUse = 1;
    static constexpr uint8_t kFolder = 2;
    static constexpr uint8_t kReparsePoint = 4; // a junction, link or mount: not entered

    struct Name {
        uint64_t nParent; // reference to the folder holding it
        uint32_t nRecord; // the file's (base) record
        uint32_t nText;   // offset into the names' text
        uint32_t nLength; // bytes of UTF-8 text
    };

    // Reads the table of the volume. False, with the reason in `why`, when anything does not
    // add up: no NTFS volume, the table's own runs malformed or past the volume, a record in
    // use that is damaged (read twice, so that one written meanwhile is not taken for
    // damaged), a continuation whose base record is not there.
    bool Read(VolumeBytes& volume, std::string& why);
    // Read in two steps, so that the table's size is known before it is read: the boot
    // sector and the table's runs, then every record.
    bool Locate(VolumeBytes& volume, std::string& why);
    bool ReadRecords(VolumeBytes& volume, std::string& why);
    // The records the located table has room for, used or not: what reading it costs.
    uint64_t TableRecords() const {
        return m_geometry.nRecordBytes ? m_nTableBytes / m_geometry.nRecordBytes : 0;
    }

    const VolumeGeometry& Geometry() const { return m_geometry; }
    uint32_t RecordCount() const { return static_cast<uint32_t>(m_entries.size()); }
    const Entry& At(uint32_t record) const { return m_entries[record]; }
    const std::vector<Name>& Names() const { return m_names; }
    const char* Text(const Name& name) const { return m_text.data() + name.nText; }
    // Where the table lies on the volume, in its own order (clusters).
    struct Extent {
        uint64_t nCluster;
        uint64_t nCount;
    };
    const std::vector<Extent>& Extents() const { return m_table; }
    uint64_t TableBytes() const { return m_nTableBytes; }

private:
    struct Piece;
    bool LocateTable(VolumeBytes& volume, std::string& why);
    bool ReadTableBytes(VolumeBytes& volume, uint64_t offset, uint8_t* buffer, size_t size);
    // What an intact record tells, into its entry (or its base record's).
    bool TakeRecord(uint32_t number, const FileRecordInfo& info, std::string& why);

    VolumeGeometry m_geometry;
    std::vector<Extent> m_table;
    struct Cursor {
        size_t nExtent = 0;
        uint64_t nStart = 0; // of that extent, in the table
    };
    Cursor m_cursor; // where the last read of the table ended
    uint64_t m_nTableBytes = 0;
    std::vector<Entry> m_entries;
    std::vector<Name> m_names;
    std::vector<std::pair<uint32_t, uint64_t>> m_continuations; // record, its base reference
    std::string m_text;
};
