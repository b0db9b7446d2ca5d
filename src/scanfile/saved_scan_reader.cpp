#include "saved_scan_reader.h"

#include <cstring>

#include "path_text.h"
#include "snapshot_builder.h"
#include "snapshot_level.h"

namespace {

constexpr size_t kMaxName = size_t{1} << 17;     // a Windows path of 32,767 characters fits
constexpr size_t kMaxDepth = 4096;               // folders nested
constexpr unsigned kMaxValueDepth = 64;          // nesting inside a value this does not read
constexpr size_t kMaxKey = 32;                   // longer keys are none this reads
constexpr int64_t kTimeLimit = int64_t{1} << 39; // 17,000 years either side of 1970

// The keys of an entry's object this reads; every other one is skipped.
enum class Key {
    Other,
    Name,
    Bytes,
    DiskBytes,
    Modified,
    Device,
    Id,
    Links,
    Linked,
    ReadError,
    Excluded
};

Key KeyOf(const std::string& key) {
    static const struct {
        const char* text;
        Key key;
    } kKeys[] = {{"name", Key::Name},        {"asize", Key::Bytes},  {"dsize", Key::DiskBytes},
                 {"mtime", Key::Modified},   {"dev", Key::Device},   {"ino", Key::Id},
                 {"nlink", Key::Links},      {"hlnkc", Key::Linked}, {"read_error", Key::ReadError},
                 {"excluded", Key::Excluded}};
    for (const auto& known : kKeys)
        if (key.size() == std::strlen(known.text) &&
            std::memcmp(key.data(), known.text, key.size()) == 0)
            return known.key;
    return Key::Other;
}

// What an entry's object says of it.
struct EntryInfo {
    std::string name;
    int64_t bytes = -1;
    int64_t diskBytes = -1;
    int64_t modified = 0;
    bool bDevice = false;
    uint64_t device = 0;
    bool bId = false;
    uint64_t id = 0;
    uint32_t links = 0;
    bool bLinked = false;
    bool bReadError = false;
    bool bExcluded = false;

    // Back to nothing known, keeping the name's buffer for the next entry.
    void Clear() {
        std::string kept = std::move(name);
        *this = EntryInfo();
        name = std::move(kept);
        name.clear();
    }
};

class SavedScanReader {
public:
    SavedScanReader(const ReadBytes& read, SavedScan& scan)
        : m_in(read), m_scan(scan), m_builder(scan.snapshot) {}

    void Read();

private:
    struct OpenFolder {
        FolderSnapshot::Index folder = FolderSnapshot::kNone;
        SnapshotLevel level; // its files so far, and the folder itself
        uint64_t device = 0;
        size_t pathLength = 0; // of the path of the folder above
        bool bContent = false;
        bool bReadError = false;
        bool bExcluded = false;
    };

    void ReadHeader();
    void ReadInfo(EntryInfo& info);
    void CheckName(const TextPosition& where, const std::string& name, bool bRoot);
    int64_t Size(const TextPosition& where);
    void OpenFolderOf(const EntryInfo& info, const TextPosition& where);
    void CloseFolder(const TextPosition& where);
    void AddFile(const EntryInfo& info, const TextPosition& where);
    void AddExcluded(const EntryInfo& info, const TextPosition& where);
    void CountBytes(const EntryInfo& info, const TextPosition& where);
    // Fails unless `bytes` more fit in the snapshot's cap with the open folders' files.
    void RoomFor(uint64_t bytes, const TextPosition& where);
    [[noreturn]] void TooLarge(const TextPosition& where);
    std::string PathOf(const std::string& name) const;

    JsonInput m_in;
    SavedScan& m_scan;
    SnapshotBuilder m_builder;
    std::vector<OpenFolder> m_open; // a pool: the first m_nDepth are open
    size_t m_nDepth = 0;
    std::string m_path; // of the folder open innermost
    std::string m_key;
    uint64_t m_nPending = 0; // bytes the open folders' files will take in the snapshot
    uint64_t m_nBytes = 0;   // every size read so far, and every size on disk
    uint64_t m_nDiskBytes = 0;
};

void SavedScanReader::Read() {
    ReadHeader();
    EntryInfo info;
    TextPosition where = m_in.Here();
    m_in.Expect('[', "the scanned folder (an array)");
    ReadInfo(info);
    OpenFolderOf(info, where);
    while (m_nDepth) {
        where = m_in.Here();
        if (m_in.Take(']')) {
            CloseFolder(where);
            continue;
        }
        m_in.Expect(',', "a comma or ]");
        where = m_in.Here();
        if (m_in.Take('[')) {
            ReadInfo(info);
            OpenFolderOf(info, where);
        } else if (m_in.Peek() == '{') {
            ReadInfo(info);
            if (info.bExcluded)
                AddExcluded(info, where);
            else
                AddFile(info, where);
        } else {
            m_in.Expect('{', "a file ({) or a folder ([)");
        }
    }
    m_in.Expect(']', "the end of the scan (])");
    if (m_in.Peek() >= 0)
        m_in.Fail(m_in.Here(), "more text after the end of the scan");
}

void SavedScanReader::ReadHeader() {
    const TextPosition start = m_in.Here();
    const int first = m_in.Peek();
    if (first != '[') {
        // Say what the file is where it is something people save scans as.
        const char* what = first < 0       ? "an empty file, not a saved scan"
                           : first == 0x1f ? "a compressed file (gzip): decompress it first"
                           : first == 0x28 ? "a compressed file (Zstandard): decompress it first"
                           : first == 0xbf ? "ncdu's binary export: export the scan with ncdu -o "
                                             "(JSON) instead"
                                           : "not a scan in ncdu's JSON export format";
        m_in.Fail(start, what);
    }
    m_in.Expect('[', "[");
    bool negative = false;
    TextPosition where = m_in.Here();
    const uint64_t major = m_in.Integer(negative);
    if (major != 1 || negative)
        m_in.Fail(where, "version " + std::string(negative ? "-" : "") + std::to_string(major) +
                             " of ncdu's export format; version 1 is read");
    m_in.Expect(',', "a comma");
    where = m_in.Here();
    m_in.Integer(negative); // a later minor version only adds what this skips
    if (negative)
        m_in.Fail(where, "a negative minor version");
    m_in.Expect(',', "a comma");
    m_in.Expect('{', "the scan's details (an object)");
    if (!m_in.Take('}')) {
        do {
            m_in.String(m_key, kMaxKey, true);
            m_in.Expect(':', "a colon");
            where = m_in.Here();
            if (m_key == "progname") {
                m_in.String(m_scan.program, 256, true);
            } else if (m_key == "progver") {
                m_in.String(m_scan.programVersion, 256, true);
            } else if (m_key == "timestamp") {
                const uint64_t seconds = m_in.Integer(negative);
                if (negative || seconds >= static_cast<uint64_t>(kTimeLimit))
                    m_in.Fail(where, "a time out of range");
                m_scan.timestamp = static_cast<int64_t>(seconds);
            } else {
                m_in.Skip(kMaxValueDepth);
            }
        } while (m_in.Take(','));
        m_in.Expect('}', "a comma or }");
    }
    m_in.Expect(',', "a comma");
}

int64_t SavedScanReader::Size(const TextPosition& where) {
    bool negative = false;
    const uint64_t value = m_in.Integer(negative);
    if (negative && value)
        m_in.Fail(where, "a negative size");
    if (value > static_cast<uint64_t>(INT64_MAX))
        m_in.Fail(where, "a size beyond 8 EiB");
    return static_cast<int64_t>(value);
}

void SavedScanReader::ReadInfo(EntryInfo& info) {
    info.Clear();
    const TextPosition start = m_in.Here();
    m_in.Expect('{', "an entry (an object)");
    bool bNamed = false;
    bool negative = false;
    if (!m_in.Take('}')) {
        do {
            m_in.String(m_key, kMaxKey, true);
            m_in.Expect(':', "a colon");
            const TextPosition where = m_in.Here();
            const Key key = KeyOf(m_key);
            switch (key) {
            case Key::Name:
                m_in.String(info.name, kMaxName);
                bNamed = true;
                break;
            case Key::Bytes:
                info.bytes = Size(where);
                break;
            case Key::DiskBytes:
                info.diskBytes = Size(where);
                break;
            case Key::Modified: {
                const uint64_t value = m_in.Integer(negative);
                if (value >= static_cast<uint64_t>(kTimeLimit))
                    m_in.Fail(where, "a time out of range");
                info.modified =
                    negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
                break;
            }
            case Key::Device:
                info.device = m_in.Integer(negative);
                info.bDevice = true;
                break;
            case Key::Id:
                info.id = m_in.Integer(negative);
                info.bId = true;
                break;
            case Key::Links: {
                const uint64_t links = m_in.Integer(negative);
                info.links = links > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(links);
                break;
            }
            case Key::Linked:
                info.bLinked = m_in.Boolean();
                break;
            case Key::ReadError:
                info.bReadError = m_in.Boolean();
                break;
            case Key::Excluded:
                // A string naming why ("pattern", "otherfs", "kernfs", "frmlnk").
                if (m_in.Peek() == '"') {
                    std::string why;
                    m_in.String(why, 0, true);
                    info.bExcluded = true;
                } else {
                    info.bExcluded = m_in.Boolean();
                }
                break;
            case Key::Other:
                m_in.Skip(kMaxValueDepth); // notreg, uid, gid, mode and what later versions add
                break;
            }
            if (negative && key != Key::Modified)
                m_in.Fail(where, "a negative number where none can be");
            negative = false;
        } while (m_in.Take(','));
        m_in.Expect('}', "a comma or }");
    }
    if (!bNamed)
        m_in.Fail(start, "an entry without a name");
    CheckName(start, info.name, m_nDepth == 0);
}

void SavedScanReader::CheckName(const TextPosition& where, const std::string& name, bool bRoot) {
    if (name.empty())
        m_in.Fail(where, "an entry with an empty name");
    if (name.find('\0') != std::string::npos)
        m_in.Fail(where, "a name holding a NUL character");
    if (bRoot)
        return; // the root is named by its path
    for (char c : name)
        if (c == '/' || IsPathSeparator(c))
            m_in.Fail(where, "a name holding a path separator");
    if (IsDotEntry(name.c_str()))
        m_in.Fail(where, "an entry named . or ..");
}

std::string SavedScanReader::PathOf(const std::string& name) const {
    return JoinPath(m_path, name.c_str());
}

void SavedScanReader::RoomFor(uint64_t bytes, const TextPosition& where) {
    const FolderSnapshot& s = m_scan.snapshot;
    if (s.MemoryHeld() + m_nPending + bytes > s.MemoryCap())
        TooLarge(where);
}

void SavedScanReader::TooLarge(const TextPosition& where) {
    m_in.Fail(where, "a scan larger than the " + std::to_string(m_scan.snapshot.MemoryCap() >> 20) +
                         " MiB this program holds");
}

// Sizes add up into folders' totals: their sum stays within 64 bits.
void SavedScanReader::CountBytes(const EntryInfo& info, const TextPosition& where) {
    const uint64_t limit = static_cast<uint64_t>(INT64_MAX);
    const uint64_t bytes = info.bytes < 0 ? 0 : static_cast<uint64_t>(info.bytes);
    const uint64_t disk = info.diskBytes < 0 ? bytes : static_cast<uint64_t>(info.diskBytes);
    if (bytes > limit - m_nBytes || disk > limit - m_nDiskBytes)
        m_in.Fail(where, "sizes that add up to more than 8 EiB");
    m_nBytes += bytes;
    m_nDiskBytes += disk;
}

void SavedScanReader::OpenFolderOf(const EntryInfo& info, const TextPosition& where) {
    if (m_nDepth == kMaxDepth)
        m_in.Fail(where, "folders nested more than " + std::to_string(kMaxDepth) + " deep");
    CountBytes(info, where);
    RoomFor(FolderSnapshot::kFolderBytes + info.name.size() + 1, where);
    const FolderSnapshot::Index folder = m_builder.Open(info.name.c_str());
    if (folder == FolderSnapshot::kNone)
        TooLarge(where);
    if (m_nDepth == m_open.size())
        m_open.emplace_back();
    OpenFolder& open = m_open[m_nDepth];
    open.folder = folder;
    const OpenFolder* above = m_nDepth ? &m_open[m_nDepth - 1] : nullptr;
    open.level.Clear();
    open.level.SetOwn(info.bytes, info.diskBytes, info.modified);
    open.device = info.bDevice || !above ? info.device : above->device;
    open.pathLength = m_path.size();
    open.bContent = false;
    open.bReadError = info.bReadError;
    open.bExcluded = info.bExcluded;
    if (above) {
        m_open[m_nDepth - 1].bContent = true;
        m_path = PathOf(info.name);
    } else {
        m_scan.root = folder;
        m_scan.rootPath = m_path = info.name;
        m_scan.nDevice = open.device;
    }
    ++m_nDepth;
}

void SavedScanReader::CloseFolder(const TextPosition& where) {
    OpenFolder& open = m_open[m_nDepth - 1];
    if (open.bReadError)
        m_scan.readErrors.push_back(m_path);
    if (open.bExcluded && !open.bContent) {
        m_builder.CloseExcluded(open.level);
    } else if (open.bReadError && !open.bContent) {
        m_builder.CloseUnreadable(open.level);
    } else {
        m_nPending -= open.level.FileCount() * FolderSnapshot::kFileBytes + open.level.NameBytes();
        if (!m_builder.Close(open.level))
            TooLarge(where);
    }
    m_path.resize(open.pathLength);
    --m_nDepth;
}

void SavedScanReader::AddExcluded(const EntryInfo& info, const TextPosition& where) {
    RoomFor(FolderSnapshot::kFolderBytes + info.name.size() + 1, where);
    if (m_builder.Open(info.name.c_str()) == FolderSnapshot::kNone)
        TooLarge(where);
    SnapshotLevel own;
    own.SetOwn(-1, -1, info.modified);
    m_builder.CloseExcluded(own);
    m_open[m_nDepth - 1].bContent = true;
}

void SavedScanReader::AddFile(const EntryInfo& info, const TextPosition& where) {
    CountBytes(info, where);
    const uint64_t bytes = FolderSnapshot::kFileBytes + info.name.size() + 1;
    RoomFor(bytes, where);
    m_nPending += bytes;
    OpenFolder& open = m_open[m_nDepth - 1];
    if (open.level.FileCount() >= UINT32_MAX - 1)
        m_in.Fail(where, "more files in one folder than this program holds");
    const uint32_t position = static_cast<uint32_t>(open.level.FileCount());
    open.level.AddFile(info.name.c_str(), info.bytes < 0 ? 0 : info.bytes, info.modified,
                       info.diskBytes);
    open.bContent = true;
    if (info.bReadError)
        m_scan.readErrors.push_back(PathOf(info.name));
    if (info.bId && (info.bLinked || info.links > 1)) {
        const uint64_t device = info.bDevice ? info.device : open.device;
        m_scan.linkedNames.push_back({device, info.id, info.links > 1 ? info.links : 2,
                                      info.bytes < 0 ? 0 : info.bytes, open.folder, position});
    }
}

} // namespace

std::string SavedScanError::Text() const {
    return "line " + std::to_string(position.line) + ", byte " + std::to_string(position.byte) +
           ": " + reason;
}

bool ReadSavedScan(const ReadBytes& read, SavedScan& scan, SavedScanError& error) {
    try {
        SavedScanReader(read, scan).Read();
        return true;
    } catch (const JsonInputError& failure) {
        error.position = failure.position;
        error.reason = failure.what();
        return false;
    }
}

bool ReadSavedScan(std::FILE* file, SavedScan& scan, SavedScanError& error) {
    return ReadSavedScan(
        [file](char* buffer, size_t size) -> int64_t {
            const size_t got = std::fread(buffer, 1, size, file);
            return got == 0 && std::ferror(file) ? -1 : static_cast<int64_t>(got);
        },
        scan, error);
}
