#pragma once
// One record of the master file table: its update sequence undone, and what it tells of
// its file (names, times, sizes), read with every bound checked. Works on any bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A reference to a record: its number (48 bits) and the sequence number it had when the
// reference was made (16 bits), which tells a reused record from the one meant.
inline uint64_t RecordNumber(uint64_t reference) {
    return reference & 0xFFFFFFFFFFFFull;
}
inline uint16_t RecordSequence(uint64_t reference) {
    return static_cast<uint16_t>(reference >> 48);
}

// The runs of one piece of a non-resident attribute, within the record's bytes.
struct RunsPiece {
    uint64_t nFirstCluster = 0; // of the attribute's, its lowest one here
    uint64_t nLastCluster = 0;
    size_t nOffset = 0; // of the packed runs in the record
    size_t nSize = 0;
};

struct FileRecordInfo {
    enum class State {
        Free,    // not in use: deleted, or never used
        InUse,   // in use; the fields below are filled
        Damaged, // its bytes do not add up (`why` says how): never to be trusted
    };
    State state = State::Free;
    std::string why;

    uint16_t nSequence = 0;
    bool bFolder = false;
    uint64_t nBase = 0; // the base record's reference, for a record that continues one; 0
    // From the standard information (not in a record that continues another).
    bool bStandard = false;
    int64_t nModified = 0;    // 100-nanosecond intervals since 1601-01-01 UTC
    uint32_t nAttributes = 0; // the file's attribute bits
    // Its names other than DOS short names, UTF-8, each with the folder holding it.
    struct Name {
        uint64_t nParent;
        uint32_t nOffset; // into names
        uint32_t nLength;
    };
    std::vector<Name> nameList;
    std::string names;
    // The unnamed data stream, where its first piece is in this record.
    bool bData = false;
    int64_t nDataBytes = 0;
    int64_t nDataAllocated = 0; // clusters it takes (sparse and compressed ones excluded)
    // The part of a folder's index that lies in clusters, where it has one (a small index
    // lies in the record alone, and takes no room of its own).
    int64_t nIndexBytes = -1;
    int64_t nIndexAllocated = -1;
    // Only where asked (ParseFileRecord's `runs`): every piece of the unnamed data stream's
    // runs here, and the attribute list (its bytes in the record when resident, else runs).
    std::vector<RunsPiece> dataRuns;
    int64_t nDataInitialized = 0; // bytes of the stream written, from its first piece
    bool bAttributeList = false;
    bool bListResident = false;
    size_t nListOffset = 0;
    size_t nListSize = 0; // resident: bytes; non-resident: bytes of the list itself
    RunsPiece listRuns;

    bool IsReparsePoint() const { return (nAttributes & 0x400) != 0; }
};

// Reads the record in `record` (`size` bytes, a multiple of 512, as on the volume). Its
// update sequence is undone in place first: the last two bytes of each 512 were replaced by
// a check number when it was written, and are put back; a check number that does not match
// (a torn or damaged record) makes an in-use record Damaged. With `bRuns`, also tells where
// the data stream's and the attribute list's runs are.
void ParseFileRecord(uint8_t* record, size_t size, FileRecordInfo& info, bool bRuns = false);

// The name in `units` UTF-16 code units at `text` (little-endian), appended as UTF-8 to
// `out`; a lone surrogate becomes U+FFFD.
void AppendUtf8(const uint8_t* text, size_t units, std::string& out);
