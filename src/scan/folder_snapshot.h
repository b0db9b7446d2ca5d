#pragma once
// What the walks read, kept: a tree of the folders beneath the paths walked, each with its
// own files and its totals, so a folder that was walked once can be shown again without
// walking it.
//
// Shape. One node per folder, 72 bytes, in one chunked array; one record per file, 24 bytes
// (size, time, bytes on disk, name), in another; every name once, zero-terminated, in one
// pool. Nodes refer to
// each other by 32-bit indexes. The tree starts at a nameless top node whose children are the
// file systems' roots ("/" on POSIX; "C:\" or "\\server\share\" on Windows); a path is found
// from there, name by name. Folders above the walked ones are placeholders: known by name
// only, so that walks of different folders at different times merge under their common
// parents.
//
// What a node knows. A folder is *read* when its own level is known: its files (their number
// and bytes; the files themselves while the memory cap allows, see FilesHeld) and every
// subfolder, each a child node (links to folders and folders that cannot be read included).
// It is *final* when its totals are: it is read and every child is final, or it is a folder
// that cannot be read or a link to a folder (counted as one folder holding nothing, as the
// walk counts them). A walk that is stopped leaves what it did not finish not final: a folder
// read but with something beneath it unfinished, and a subfolder never read, which is known
// by name only. Totals are offered only for final folders.
//
// Threads. A snapshot belongs to one thread at a time and has no lock. A walk fills the one
// it is given (its threads take turns under the walk's own lock) and hands it back when it
// returns; the program's long-lived snapshot lives on the user-interface thread, which merges
// each scan's snapshot into it (Merge) once the scan's thread has ended. Indexes stay valid
// until the snapshot is next changed.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "folder_entry.h"
#include "snapshot_arena.h"
#include "snapshot_level.h"

class FolderSnapshot {
public:
    using Index = uint32_t;
    static constexpr Index kNone = 0xFFFFFFFFu;
    static constexpr Index kTop = 0; // the nameless node above the file systems' roots
    // The bound on everything a snapshot takes: lower where the address space is 2 GiB.
    static constexpr uint64_t kDefaultMemoryCap =
        sizeof(void*) < 8 ? uint64_t{384} << 20 : uint64_t{1} << 30;
    static constexpr size_t kFolderBytes = 72; // per folder, besides its name
    static constexpr size_t kFileBytes = 24;   // per file held, besides its name
    // Bytes on disk are kept in these units (a POSIX block; every cluster size is a
    // multiple): what the system reports is rounded up to one.
    static constexpr int64_t kAllocationUnit = 512;
    // What a file's or folder's bytes on disk add to the totals: rounded up to the unit,
    // 0 where not known (-1).
    static int64_t CountedDiskBytes(int64_t bytes);

    FolderSnapshot();
    FolderSnapshot(FolderSnapshot&&) noexcept;
    FolderSnapshot& operator=(FolderSnapshot&&) noexcept;
    FolderSnapshot(const FolderSnapshot&) = delete;
    FolderSnapshot& operator=(const FolderSnapshot&) = delete;
    ~FolderSnapshot();

    // --- Finding folders

    // The folder at `path` (as the walk was given it, or a path beneath it joined name by
    // name; trailing separators ignored; on Windows '/' is a separator too and a name that
    // matches in no other case matches regardless of case), or kNone.
    Index Find(const std::string& path) const;
    // The subfolder of `folder` named `name`, or kNone.
    Index FindSubfolder(Index folder, const char* name) const;
    // The folder's full path, as Find takes it.
    std::string PathOf(Index folder) const;

    // --- What is known of a folder

    bool IsRead(Index folder) const;
    bool IsFinal(Index folder) const;
    // Read and final: every subfolder and its totals are known, so the folder can be shown
    // from the snapshot alone.
    bool IsHeld(Index folder) const { return IsRead(folder) && IsFinal(folder); }
    bool IsUnreadable(Index folder) const; // could not be enumerated (final, holds nothing)
    bool IsLink(Index folder) const;       // a link to a folder (final, holds nothing)
    // On another file system than the walk's, which was told to stay on its own (final,
    // holds nothing).
    bool IsExcluded(Index folder) const;
    // Its files are in the snapshot (a read folder whose files the memory cap dropped has
    // their number and bytes, not the files).
    bool FilesHeld(Index folder) const;

    // Bytes (and bytes on disk, as TotalAllocated), folders and files at every level
    // beneath a final folder; false (and `totals`
    // untouched) when the folder is not final.
    bool GetTotals(Index folder, FolderTotals& totals) const;

    const char* Name(Index folder) const;
    Index Parent(Index folder) const; // kNone for the top
    // Subfolders, in the order the folder's enumeration gave them: the first, then each
    // next one, kNone after the last.
    Index FirstSubfolder(Index folder) const;
    Index NextSubfolder(Index folder) const;

    // Files directly in a read folder: their number and bytes (also when not held).
    uint32_t OwnFileCount(Index folder) const;
    int64_t OwnFileBytes(Index folder) const;
    int64_t OwnFileDiskBytes(Index folder) const; // what is not known counts 0
    // The files themselves, when FilesHeld: i from 0 to OwnFileCount - 1. Times are seconds
    // since 1970-01-01 00:00 UTC, 0 where not known; bytes on disk are -1 where not known.
    const char* FileName(Index folder, uint32_t i) const;
    int64_t FileSize(Index folder, uint32_t i) const;
    int64_t FileModified(Index folder, uint32_t i) const;
    int64_t FileAllocated(Index folder, uint32_t i) const;

    // The folder itself: its time (0: not known; a folder known by name only may have none
    // yet), and its own size and bytes on disk as the system reports them (-1: not known).
    int64_t Modified(Index folder) const;
    int64_t OwnBytes(Index folder) const;
    int64_t OwnAllocated(Index folder) const;
    // Bytes on disk of everything beneath a final folder, the folders themselves included
    // (what is not known counts 0); -1 when the folder is not final.
    int64_t TotalAllocated(Index folder) const;

    // --- Keeping it fresh (only on the thread that owns the snapshot)

    // Takes in what `piece` (a later walk's snapshot) read: every folder the piece read
    // replaces the folder of that path here, with everything beneath it; a folder the piece
    // knows by name only leaves what is here as it is (a stopped walk does not forget an
    // earlier one's results). Folders above are added as placeholders where missing, and
    // the totals of every final folder above a replaced one are corrected.
    void Merge(FolderSnapshot&& piece);

    // Records a folder's own level as the caller listed it: its files, and its subfolders,
    // which keep what is known of them by name and are otherwise not read yet. Subfolders
    // it no longer has are dropped. A walk given this snapshot then fills the subfolders in
    // place when they are its roots. Returns the folder's index. A level past the cap is
    // not recorded.
    Index RecordLevel(const std::string& folderPath, const SnapshotLevel& level);

    // `folder` (a subfolder of a recorded level, by name only so far) becomes what `piece`'s
    // final folder `there` is: its level and everything beneath, as Merge copies them. Only
    // `folder` and the totals above it change, so a walk's readers may go on reading the
    // rest. False, nothing changed, when it would not fit under the cap.
    bool Graft(Index folder, const FolderSnapshot& piece, Index there);

    // A file or folder at `path` was deleted: it is dropped, and the totals above it are
    // corrected. A file whose folder's files are not held is not known by size: that folder
    // is no longer read. False when the snapshot knew nothing of it.
    bool Remove(const std::string& path);

    // The folder's own level changed (something was pasted into it): it is no longer read,
    // so neither it nor the folders above are final. Its subfolders keep what is known.
    void ForgetLevel(const std::string& folderPath);

    // What a change seen on disk did to the snapshot.
    enum class Change {
        Applied,   // the snapshot agrees with the disk again
        Outside,   // the snapshot holds nothing of that folder: nothing to correct
        Forgotten, // the folder's level is no longer known and needs reading again
    };
    // The file at `path` was written or created: it has `bytes` now (and the time and bytes
    // on disk given); the totals above follow. `previous` receives its size before (0 for a
    // new file). A folder whose files are not held forgets its level.
    Change PutFile(const std::string& path, int64_t bytes, int64_t modified, int64_t allocated,
                   int64_t* previous = nullptr);
    // The file or folder at `from` is now at `to`: a folder moves with everything beneath
    // it, a file keeps its size; what was at `to` goes. Outside when the snapshot knew
    // nothing at `from` (the new path is then to be looked at as something added).
    Change Rename(const std::string& from, const std::string& to);
    // The bytes of the file at `path`, or -1 when the snapshot does not hold it.
    int64_t FileBytes(const std::string& path) const;
    // Its bytes on disk, or -1 when not known or not held.
    int64_t FileAllocatedAt(const std::string& path) const;
    // Whether the snapshot holds the file at `path` with exactly these size, time and bytes
    // on disk (a change told twice finds it so the second time).
    bool HoldsFileAs(const std::string& path, int64_t bytes, int64_t modified,
                     int64_t allocated) const;

    // --- Memory

    // The cap bounds the folders, files and names a snapshot holds, garbage included. A walk
    // filling it records files while all fits in three quarters of the cap (their folders
    // keep exact totals), and a folder's level while it fits under the cap (past that, the
    // folder stays known by name only). Applies to what is added from then on.
    void SetMemoryCap(uint64_t bytes) { m_nMemoryCap = bytes; }
    uint64_t MemoryCap() const { return m_nMemoryCap; }
    // Bytes of the folders, files and names reachable from the top.
    uint64_t MemoryUsed() const;
    // The same with what is no longer reachable but not yet given back.
    uint64_t MemoryHeld() const;

    // A long-lived snapshot keeps half its cap for what it holds and the other half as room
    // to merge a walk's snapshot in and to compact.
    //
    // The folder at `path` is being shown: the trees shown least recently are forgotten
    // first when room is needed.
    void MarkShown(const std::string& path);
    // Before a walk beneath `path`: forgets the trees shown least recently (none that holds
    // `path` or lies beneath it) until what is held takes at most a quarter of the cap, and
    // gives back what they took. Returns the cap to give the walk's snapshot: what it holds
    // and this one's together stay within half the cap.
    uint64_t MakeRoom(const std::string& path);
    // Whether MakeRoom would change anything (and so move indexes).
    bool NeedsRoom() const { return MemoryHeld() > m_nMemoryCap / 4; }
    uint32_t FolderCount() const; // reachable from the top, the top included
    uint64_t FileCount() const;   // files held

private:
    friend class SnapshotWriter;
    friend class SnapshotBuilder;

    struct Node;
    struct State;
    struct FileRecord;
    Node& At(Index i);
    const Node& At(Index i) const;

    Index FindExactly(Index folder, const char* name) const;
    Index NewFolder(Index parent, const char* name, size_t length);
    Index NewFolder(Index parent, const char* name);
    Index AddSubfolder(Index folder, const char* name); // a placeholder, first in the list
    Index FindOrAddPath(const std::string& path);       // placeholders where missing
    // Recording a level in two steps: the first sets up the folder and its subfolders and
    // reserves room for its files and names; the second writes them into that room, which
    // needs nothing else of the snapshot (a walking thread does it without the walk's lock).
    struct LevelFill {
        uint32_t firstFile = 0;
        uint32_t names = NamePool::kNoName; // the reserved block; kNoName: nothing to write
    };
    LevelFill ReserveLevel(Index folder, const SnapshotLevel& level);
    void FillLevel(const SnapshotLevel& level, const LevelFill& fill);
    void SetLevel(Index folder, const SnapshotLevel& level);
    bool HoldFiles(const SnapshotLevel& level) const;

    State StateOf(Index folder) const;
    void Propagate(Index folder, const State& was);
    void Unlink(Index folder);
    void Discard(Index folder); // counts the folder and everything beneath as garbage
    void DiscardFiles(Index folder);
    void MergeFrom(Index here, const FolderSnapshot& piece, Index there);
    Index CopyBeneath(Index parent, const FolderSnapshot& piece, Index there);
    uint64_t BytesBeneath(Index folder) const; // its folders, files held and their names
    void CopyFiles(Index to, const FolderSnapshot& piece, Index from);
    void CompactIfWasteful();
    void Compact();
    void ForgetTree(Index folder); // known by name only from then on
    bool HasRoomForLevel(const SnapshotLevel& level) const;
    void SetOwn(Index folder, const SnapshotLevel& level); // what the level knows of it
    // The folder holding the file at `path` and the file's position there (kNone and 0
    // when not held).
    std::pair<Index, uint32_t> LocateFile(const std::string& path, std::string& name) const;
    void DropFile(Index folder, uint32_t i);
    void AppendFile(Index folder, const FileRecord& record);
    void MoveFolder(Index folder, Index to, uint32_t nameRef); // under `to`, renamed
    int64_t OwnFileAllocation(Index folder) const;             // in allocation units

    ChunkedArray<Node> m_folders;
    ChunkedArray<FileRecord> m_files;
    NamePool m_names;
    uint64_t m_nGarbage = 0; // bytes of nodes, files and names no longer reachable
    uint32_t m_nGarbageFolders = 0;
    uint32_t m_nGarbageFiles = 0;
    uint64_t m_nMemoryCap = kDefaultMemoryCap;
    struct Shown {
        std::string path;
        uint64_t tick;
    };
    std::vector<Shown> m_shown; // the trees shown, each once
    uint64_t m_nTick = 0;
};
