#include "folder_snapshot.h"

#include <algorithm>
#include <cstring>

#include "path_text.h"
#include "snapshot_node.h"

using namespace snapshot_flags;
using namespace snapshot_encoding;

namespace {

bool SameNameInAnyCase(const char* a, const char* b) {
#ifdef _WIN32
    return CompareNoCase(a, b) == 0;
#else
    (void)a;
    (void)b;
    return false;
#endif
}

} // namespace

// --- Construction

FolderSnapshot::FolderSnapshot() {
    static_assert(sizeof(Node) <= kFolderBytes, "a folder takes at most 72 bytes besides its name");
    static_assert(sizeof(FileRecord) <= kFileBytes,
                  "a file takes at most 24 bytes besides its name");
    NewFolder(kNone, "");
}

FolderSnapshot::FolderSnapshot(FolderSnapshot&&) noexcept = default;
FolderSnapshot& FolderSnapshot::operator=(FolderSnapshot&&) noexcept = default;
FolderSnapshot::~FolderSnapshot() = default;

FolderSnapshot::Node& FolderSnapshot::At(Index i) {
    return m_folders[i];
}

const FolderSnapshot::Node& FolderSnapshot::At(Index i) const {
    return m_folders[i];
}

FolderSnapshot::Index FolderSnapshot::NewFolder(Index parent, const char* name, size_t length) {
    uint32_t ref = m_names.Add(name, length);
    if (ref == NamePool::kNoName)
        ref = At(kTop).name; // the pool is full: a nameless folder, found by no path
    return m_folders.Add(Node::Named(ref, parent));
}

FolderSnapshot::Index FolderSnapshot::NewFolder(Index parent, const char* name) {
    return NewFolder(parent, name, std::strlen(name));
}

// --- Reading

FolderSnapshot::Index FolderSnapshot::Find(const std::string& path) const {
    const SplitPath split(path);
    Index folder = kTop;
    if (!split.root.empty())
        folder = FindSubfolder(kTop, split.root.c_str());
    for (size_t i = 0; i < split.names.size() && folder != kNone; ++i)
        folder = FindSubfolder(folder, std::string(split.names[i]).c_str());
    return folder == kTop ? kNone : folder;
}

FolderSnapshot::Index FolderSnapshot::FindSubfolder(Index folder, const char* name) const {
    const Index exact = FindExactly(folder, name);
    if (exact != kNone)
        return exact;
    for (Index child = At(folder).firstChild; child != kNone; child = At(child).nextSibling)
        if (SameNameInAnyCase(Name(child), name))
            return child;
    return kNone;
}

// What the snapshot records goes by exact names: on a file system that tells case apart
// (Wine's view of a Unix one), "Dup" and "dup" are two folders.
FolderSnapshot::Index FolderSnapshot::FindExactly(Index folder, const char* name) const {
    for (Index child = At(folder).firstChild; child != kNone; child = At(child).nextSibling)
        if (std::strcmp(Name(child), name) == 0)
            return child;
    return kNone;
}

std::string FolderSnapshot::PathOf(Index folder) const {
    std::vector<Index> chain;
    for (Index i = folder; i != kTop && i != kNone; i = At(i).parent)
        chain.push_back(i);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        path = path.empty() ? std::string(Name(*it)) : JoinPath(path, Name(*it));
    return path;
}

bool FolderSnapshot::IsRead(Index folder) const {
    return (At(folder).flags & kRead) != 0;
}

bool FolderSnapshot::IsFinal(Index folder) const {
    const Node& n = At(folder);
    return (n.flags & (kUnreadable | kLink | kExcluded)) != 0 ||
           ((n.flags & kRead) && n.pending == 0);
}

bool FolderSnapshot::IsUnreadable(Index folder) const {
    return (At(folder).flags & kUnreadable) != 0;
}

bool FolderSnapshot::IsLink(Index folder) const {
    return (At(folder).flags & kLink) != 0;
}

bool FolderSnapshot::IsExcluded(Index folder) const {
    return (At(folder).flags & kExcluded) != 0;
}

int64_t FolderSnapshot::Modified(Index folder) const {
    return At(folder).modified;
}

int64_t FolderSnapshot::OwnBytes(Index folder) const {
    const uint32_t bytes = At(folder).ownBytes;
    return bytes == kUnknown32 ? int64_t{-1} : int64_t{bytes};
}

int64_t FolderSnapshot::OwnAllocated(Index folder) const {
    return FromUnits(At(folder).ownAllocated, kUnknown32);
}

int64_t FolderSnapshot::TotalAllocated(Index folder) const {
    return IsFinal(folder) ? At(folder).allocated * kAllocationUnit : -1;
}

void FolderSnapshot::SetOwn(Index folder, const SnapshotLevel& level) {
    Node& n = At(folder);
    const State was = StateOf(folder);
    n.allocated -= n.OwnAllocationUnits();
    const int64_t own = level.OwnBytes();
    n.ownBytes =
        own < 0 ? kUnknown32 : static_cast<uint32_t>(std::min<int64_t>(own, kUnknown32 - 1));
    n.ownAllocated = static_cast<uint32_t>(ToUnits(level.OwnAllocated(), kUnknown32));
    n.allocated += n.OwnAllocationUnits();
    if (level.OwnModified() != 0)
        n.modified = level.OwnModified();
    Propagate(folder, was);
}

bool FolderSnapshot::FilesHeld(Index folder) const {
    return (At(folder).flags & kFilesHeld) != 0;
}

bool FolderSnapshot::GetTotals(Index folder, FolderTotals& totals) const {
    if (!IsFinal(folder))
        return false;
    const Node& n = At(folder);
    totals.nSize = n.bytes;
    totals.nDiskSize = n.allocated * kAllocationUnit;
    totals.nFolders = static_cast<int32_t>(n.folders);
    totals.nFiles = static_cast<int32_t>(n.files);
    return true;
}

const char* FolderSnapshot::Name(Index folder) const {
    return m_names.Get(At(folder).name);
}

FolderSnapshot::Index FolderSnapshot::Parent(Index folder) const {
    return At(folder).parent;
}

FolderSnapshot::Index FolderSnapshot::FirstSubfolder(Index folder) const {
    return At(folder).firstChild;
}

FolderSnapshot::Index FolderSnapshot::NextSubfolder(Index folder) const {
    return At(folder).nextSibling;
}

uint32_t FolderSnapshot::OwnFileCount(Index folder) const {
    return At(folder).ownFiles;
}

int64_t FolderSnapshot::OwnFileBytes(Index folder) const {
    int64_t bytes = At(folder).bytes;
    for (Index child = At(folder).firstChild; child != kNone; child = At(child).nextSibling)
        if (IsFinal(child))
            bytes -= At(child).bytes;
    return bytes;
}

const char* FolderSnapshot::FileName(Index folder, uint32_t i) const {
    return m_names.Get(m_files[At(folder).firstFile + i].name);
}

int64_t FolderSnapshot::FileSize(Index folder, uint32_t i) const {
    return m_files[At(folder).firstFile + i].bytes;
}

int64_t FolderSnapshot::FileModified(Index folder, uint32_t i) const {
    return m_files[At(folder).firstFile + i].Modified();
}

int64_t FolderSnapshot::FileAllocated(Index folder, uint32_t i) const {
    return m_files[At(folder).firstFile + i].Allocated();
}

// Units of the files directly in it: its own sum less its own and its final subfolders'.
int64_t FolderSnapshot::OwnFileDiskBytes(Index folder) const {
    return OwnFileAllocation(folder) * kAllocationUnit;
}

int64_t FolderSnapshot::CountedDiskBytes(int64_t bytes) {
    return FileRecord::Make(0, 0, 0, bytes).CountedUnits() * kAllocationUnit;
}

int64_t FolderSnapshot::OwnFileAllocation(Index folder) const {
    int64_t units = At(folder).allocated - At(folder).OwnAllocationUnits();
    for (Index child = At(folder).firstChild; child != kNone; child = At(child).nextSibling)
        if (IsFinal(child))
            units -= At(child).allocated;
    return units;
}

uint64_t FolderSnapshot::MemoryHeld() const {
    return uint64_t{m_folders.Size()} * kFolderBytes + uint64_t{m_files.Size()} * kFileBytes +
           m_names.Bytes();
}

uint64_t FolderSnapshot::MemoryUsed() const {
    return uint64_t{m_folders.Size()} * kFolderBytes + uint64_t{m_files.Size()} * kFileBytes +
           m_names.Bytes() - m_nGarbage;
}

uint32_t FolderSnapshot::FolderCount() const {
    return m_folders.Size() - m_nGarbageFolders;
}

uint64_t FolderSnapshot::FileCount() const {
    return m_files.Size() - m_nGarbageFiles;
}

// --- Sums

FolderSnapshot::State FolderSnapshot::StateOf(Index folder) const {
    const Node& n = At(folder);
    return {IsFinal(folder), n.bytes, n.allocated, n.folders, n.files};
}

void FolderSnapshot::Propagate(Index folder, const State& was) {
    State childWas = was;
    for (Index child = folder;;) {
        const Index above = At(child).parent;
        if (above == kNone)
            return;
        const State aboveWas = StateOf(above);
        childWas.AddTo(At(above), -1);
        StateOf(child).AddTo(At(above), +1);
        const State aboveNow = StateOf(above);
        // A folder that is not final adds one pending subfolder to its own parent, whatever
        // its sums: nothing further up changes.
        if ((!aboveWas.bFinal && !aboveNow.bFinal) || aboveWas == aboveNow)
            return;
        child = above;
        childWas = aboveWas;
    }
}

// --- Building

FolderSnapshot::Index FolderSnapshot::AddSubfolder(Index folder, const char* name) {
    const State was = StateOf(folder);
    const Index child = NewFolder(folder, name);
    Node& n = At(folder);
    At(child).nextSibling = n.firstChild;
    n.firstChild = child;
    n.folders += 1;
    n.pending += 1;
    Propagate(folder, was);
    return child;
}

FolderSnapshot::Index FolderSnapshot::FindOrAddPath(const std::string& path) {
    const SplitPath split(path);
    Index folder = kTop;
    if (!split.root.empty()) {
        const Index root = FindExactly(kTop, split.root.c_str());
        folder = root != kNone ? root : AddSubfolder(kTop, split.root.c_str());
    }
    for (const std::string_view& name : split.names) {
        const std::string text(name);
        const Index child = FindExactly(folder, text.c_str());
        folder = child != kNone ? child : AddSubfolder(folder, text.c_str());
    }
    return folder;
}

bool FolderSnapshot::HasRoomForLevel(const SnapshotLevel& level) const {
    uint64_t bytes = MemoryHeld();
    for (size_t i = 0; i < level.FolderCount(); ++i)
        bytes += kFolderBytes + std::strlen(level.FolderName(i)) + 1;
    return bytes <= m_nMemoryCap;
}

bool FolderSnapshot::HoldFiles(const SnapshotLevel& level) const {
    const uint64_t files = level.FileCount();
    // Files yield to folders: they stop at three quarters of the cap, folders at the cap.
    return files == 0 || (MemoryHeld() + files * kFileBytes + level.NameBytes() <=
                              m_nMemoryCap - m_nMemoryCap / 4 &&
                          m_files.Size() + files < kNone);
}

// `folder` holds no subfolders and no files yet.
FolderSnapshot::LevelFill FolderSnapshot::ReserveLevel(Index folder, const SnapshotLevel& level) {
    const State was = StateOf(folder);
    const uint32_t fileCount = static_cast<uint32_t>(level.FileCount());
    const uint32_t folderCount = static_cast<uint32_t>(level.FolderCount());
    Node& n = At(folder); // elements never move: the reference outlives the growth below
    n.flags = kRead;
    n.ownFiles = fileCount;
    n.files = fileCount;
    n.bytes = 0;
    n.allocated = 0;
    for (uint32_t i = 0; i < fileCount; ++i) {
        n.bytes += level.FileSize(i);
        n.allocated += FileRecord::Make(0, 0, 0, level.FileAllocated(i)).CountedUnits();
    }

    // Held files take the level's names as one block; otherwise (or when no block fits)
    // each subfolder's name goes in by itself.
    LevelFill fill;
    const bool bHold = HoldFiles(level);
    if (bHold && fileCount)
        fill.names = m_names.Reserve(level.NameBytes());
    // A subfolder's name is written here, under the walk's lock, so whoever is handed a
    // folder can read every name above it.
    auto nameRef = [&](uint32_t offset, const char* name) {
        if (fill.names != NamePool::kNoName) {
            std::memcpy(m_names.Data(fill.names + offset), name, std::strlen(name) + 1);
            return fill.names + offset; // the block lies within one chunk
        }
        const uint32_t ref = m_names.Add(name);
        return ref != NamePool::kNoName ? ref : At(kTop).name;
    };
    if (bHold) {
        n.flags |= kFilesHeld;
        n.firstFile = fill.firstFile = m_files.Grow(fileCount);
        if (fill.names == NamePool::kNoName)
            for (uint32_t i = 0; i < fileCount; ++i)
                m_files[n.firstFile + i] =
                    FileRecord::Make(nameRef(0, level.FileName(i)), level.FileSize(i),
                                     level.FileModified(i), level.FileAllocated(i));
    }

    n.folders = folderCount;
    n.pending = 0;
    n.firstChild = kNone;
    if (folderCount) {
        n.firstChild = m_folders.Grow(folderCount);
        for (uint32_t i = 0; i < folderCount; ++i) {
            const Index child = n.firstChild + i;
            At(child) = Node::Named(nameRef(level.FolderNameOffset(i), level.FolderName(i)), folder,
                                    i + 1 < folderCount ? child + 1 : kNone,
                                    level.FolderIsLink(i) ? kLink : 0);
            At(child).modified = level.FolderModified(i);
            if (!level.FolderIsLink(i))
                ++n.pending;
        }
    }
    Propagate(folder, was);
    SetOwn(folder, level);
    return fill;
}

void FolderSnapshot::FillLevel(const SnapshotLevel& level, const LevelFill& fill) {
    if (fill.names == NamePool::kNoName)
        return;
    // The files' names only: the subfolders' are in already, and may be read meanwhile.
    for (uint32_t i = 0; i < level.FileCount(); ++i) {
        const uint32_t name = fill.names + level.FileNameOffset(i);
        const char* text = level.FileName(i);
        std::memcpy(m_names.Data(name), text, std::strlen(text) + 1);
        m_files[fill.firstFile + i] = FileRecord::Make(
            name, level.FileSize(i), level.FileModified(i), level.FileAllocated(i));
    }
}

void FolderSnapshot::SetLevel(Index folder, const SnapshotLevel& level) {
    FillLevel(level, ReserveLevel(folder, level));
}
