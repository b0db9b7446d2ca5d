#pragma once
// Reads the entries of one folder, with the find interface's semantics: every entry
// is delivered, hidden ones and the pseudo-entries "." and ".." included, each with
// its folder bit, size and last-write time. One backend per platform.

#include <cstdint>
#include <memory>
#include <string>

// What tells one folder from every other within one walk: a folder met again under another
// name (a bind mount; under Wine a Unix link to a folder, which it shows as a plain folder)
// has the same key. Its number on its file system with the file system's device (POSIX), or
// with its change time (Windows: a walk never leaves its volume, as mounted volumes are
// reparse points, but under Wine one drive spans several Unix file systems whose numbers may
// meet, and the time tells those apart).
struct FolderKey {
    uint64_t nDevice = 0;
    uint64_t nId = 0; // 0: not known
    int64_t nChanged = 0;

    bool IsKnown() const { return nId != 0; }
    bool operator==(const FolderKey& o) const {
        return nDevice == o.nDevice && nId == o.nId && nChanged == o.nChanged;
    }
};

struct DirItem {
    const char* name = ""; // valid until the next call of Next()
    bool bFolder = false;
    bool bReparsePoint = false; // a junction or a link to a folder: counted, never entered
    uint64_t nSize = 0;         // bytes, full 64 bits
    int64_t tModified = 0;      // seconds since 1970-01-01 00:00 UTC
    int nError = 0; // an errno value when the entry's details could not be read (then 0)
    // A file's links and identity, when the enumerator was asked for them (FileLinks): the
    // number of names the file has, and, when that is more than one, the device (volume)
    // and the file's number on it. Otherwise nLinks is 1 and the rest 0.
    uint32_t nLinks = 1;
    uint64_t nDevice = 0;
    uint64_t nFileId = 0;
    // The bytes a file takes on disk (allocated blocks): less than its size where it is
    // sparse or compressed. -1 where the enumeration does not tell it (Windows: the find
    // functions give no allocation size, and asking costs a call per file).
    int64_t nDiskBytes = -1;
    // A subfolder's key, where the enumeration tells it at no cost (Windows); else unknown.
    FolderKey folderKey;
};

// How much an enumeration must tell about each entry.
enum class EntryDetails {
    All,           // folder bit, reparse bit, size and time of every entry
    FileSizesOnly, // a folder's time may be left 0: totalling needs only the files' sizes
};

// Whether a file's links and identity are asked for as well (DirItem::nLinks). Free on
// POSIX (the stat the details need tells them); on Windows a call per file.
enum class FileLinks { Skip, Read };

// The enumerated folder itself.
struct FolderIdentity {
    uint64_t nDevice = 0;       // the file system (volume) it lies on
    int64_t nOwnBytes = 0;      // the folder's own size, as the system reports it (0 on Windows)
    int64_t nOwnDiskBytes = -1; // the bytes it takes on disk itself; -1: not known
    int64_t tModified = 0;      // seconds since 1970-01-01 00:00 UTC
};

// An open folder its subfolders can be opened from, by name, without the system walking
// their whole paths again: what keeps a walk at depth as fast as near the top. Kept while any
// of them waits; each platform defines it (Windows has none to offer).
class FolderHandle;

class DirEnumerator {
public:
    // With `parent` (which must outlive the enumerator), the folder at `folderPath` is opened
    // by its last name from there.
    explicit DirEnumerator(const std::string& folderPath, EntryDetails details = EntryDetails::All,
                           FileLinks links = FileLinks::Skip, const FolderHandle* parent = nullptr);
    ~DirEnumerator();
    DirEnumerator(const DirEnumerator&) = delete;
    DirEnumerator& operator=(const DirEnumerator&) = delete;

    // False when the folder cannot be enumerated at all (missing, denied, not a folder).
    bool IsOpen() const;
    // Why the folder could not be enumerated, as an errno value; 0 when it is open.
    int OpenError() const;
    // The folder's device and own size (also of one that could not be opened, where the
    // system tells them); false when they are not known.
    bool GetIdentity(FolderIdentity& identity) const;
    // The opened folder's key; false when it is not known.
    bool GetKey(FolderKey& key) const;
    // The next entry; false when there is none left.
    bool Next(DirItem& item);
    // A handle its subfolders may be opened from while it lives; null where there is no
    // gain in one (a short path) or none to be had (too many kept, or no such thing here).
    std::shared_ptr<const FolderHandle> ShareHandle() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};
