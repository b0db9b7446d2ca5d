#include "snapshot_builder.h"

#include <cstring>

#include "snapshot_node.h"

using namespace snapshot_flags;

// A folder stays unread while it is open: it counts as one pending subfolder of the folder
// above, and each subfolder closed within it adds its sums to it as it becomes final.
SnapshotBuilder::Index SnapshotBuilder::Open(const char* name) {
    FolderSnapshot& s = m_snapshot;
    const size_t length = std::strlen(name);
    if (s.MemoryHeld() + FolderSnapshot::kFolderBytes * (m_open.empty() ? 64 : 1) + length + 1 >
        s.MemoryCap())
        return FolderSnapshot::kNone;
    if (m_open.empty()) {
        const Index root = s.FindOrAddPath(name);
        m_open.push_back({root, FolderSnapshot::kNone});
        return root;
    }
    OpenFolder& parent = m_open.back();
    const Index child = s.NewFolder(parent.folder, name, length);
    FolderSnapshot::Node& above = s.At(parent.folder);
    if (parent.lastChild == FolderSnapshot::kNone)
        above.firstChild = child;
    else
        s.At(parent.lastChild).nextSibling = child;
    parent.lastChild = child;
    above.folders += 1;
    above.pending += 1;
    m_open.push_back({child, FolderSnapshot::kNone});
    return child;
}

bool SnapshotBuilder::Close(const SnapshotLevel& level) {
    FolderSnapshot& s = m_snapshot;
    const uint32_t count = static_cast<uint32_t>(level.FileCount());
    if (s.MemoryHeld() + uint64_t{count} * FolderSnapshot::kFileBytes + level.NameBytes() >
            s.MemoryCap() ||
        uint64_t{s.m_files.Size()} + count >= FolderSnapshot::kNone)
        return false;
    const Index folder = m_open.back().folder;
    m_open.pop_back();
    const FolderSnapshot::State was = s.StateOf(folder);
    FolderSnapshot::Node& n = s.At(folder);
    n.flags = kRead | kFilesHeld;
    n.ownFiles = count;
    n.files += count;
    n.firstFile = s.m_files.Grow(count);
    // The level's names go in as one block where one fits, else one by one.
    const uint32_t block = count ? s.m_names.Reserve(level.NameBytes()) : NamePool::kNoName;
    if (block != NamePool::kNoName)
        std::memcpy(s.m_names.Data(block), level.NameData(), level.NameBytes());
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t name = block != NamePool::kNoName ? block + level.FileNameOffset(i)
                                                   : s.m_names.Add(level.FileName(i));
        if (name == NamePool::kNoName)
            name = s.At(FolderSnapshot::kTop).name;
        const FolderSnapshot::FileRecord file = FolderSnapshot::FileRecord::Make(
            name, level.FileSize(i), level.FileModified(i), level.FileAllocated(i));
        s.m_files[n.firstFile + i] = file;
        n.bytes += file.bytes;
        n.allocated += file.CountedUnits();
    }
    s.Propagate(folder, was);
    s.SetOwn(folder, level);
    return true;
}

void SnapshotBuilder::CloseUnreadable(const SnapshotLevel& own) {
    CloseHoldingNothing(kUnreadable, own);
}

void SnapshotBuilder::CloseExcluded(const SnapshotLevel& own) {
    CloseHoldingNothing(kExcluded, own);
}

void SnapshotBuilder::CloseLink(const SnapshotLevel& own) {
    CloseHoldingNothing(kLink, own);
}

void SnapshotBuilder::CloseHoldingNothing(uint32_t flag, const SnapshotLevel& own) {
    FolderSnapshot& s = m_snapshot;
    const Index folder = m_open.back().folder;
    m_open.pop_back();
    const FolderSnapshot::State was = s.StateOf(folder);
    s.At(folder).flags = flag;
    s.Propagate(folder, was);
    s.SetOwn(folder, own);
}
