// Changing a snapshot as the disk changes beneath it, one entry at a time: a file written,
// created or renamed, a folder moved. Every total above the change follows at once.
#include <cstring>

#include "folder_snapshot.h"
#include "path_text.h"
#include "snapshot_node.h"

using namespace snapshot_flags;

namespace {

// The path of the folder holding `path`, and the last name in it.
std::string SplitLast(const std::string& path, std::string& name) {
    const SplitPath split(path);
    if (split.names.empty()) {
        name.clear();
        return std::string();
    }
    name = std::string(split.names.back());
    return path.substr(0, static_cast<size_t>(split.names.back().data() - path.data()));
}

} // namespace

std::pair<FolderSnapshot::Index, uint32_t> FolderSnapshot::LocateFile(const std::string& path,
                                                                      std::string& name) const {
    const std::string parentPath = SplitLast(path, name);
    if (name.empty())
        return {kNone, kNone};
    const Index folder = Find(parentPath);
    if (folder == kNone || !FilesHeld(folder))
        return {folder, kNone};
    const Node& n = At(folder);
    for (uint32_t i = 0; i < n.ownFiles; ++i)
        if (std::strcmp(m_names.Get(m_files[n.firstFile + i].name), name.c_str()) == 0)
            return {folder, i};
    return {folder, kNone};
}

bool FolderSnapshot::Remove(const std::string& path) {
    const Index folder = Find(path);
    if (folder != kNone && Parent(folder) != kTop) {
        const Index above = Parent(folder);
        const State aboveWas = StateOf(above);
        const State gone = StateOf(folder);
        Unlink(folder);
        Discard(folder);
        At(above).folders -= 1;
        gone.AddTo(At(above), -1);
        Propagate(above, aboveWas);
        CompactIfWasteful();
        return true;
    }

    // A file: found in its folder's files, when they are held.
    const SplitPath split(path);
    if (split.names.empty())
        return false;
    const std::string parentPath =
        path.substr(0, static_cast<size_t>(split.names.back().data() - path.data()));
    const Index above = Find(parentPath);
    if (above == kNone || !IsRead(above))
        return false;
    if (!FilesHeld(above)) {
        ForgetLevel(parentPath); // the file's size is not known here
        return true;
    }
    std::string name;
    const uint32_t i = LocateFile(path, name).second;
    if (i == kNone)
        return false;
    const State was = StateOf(above);
    DropFile(above, i);
    Propagate(above, was);
    CompactIfWasteful();
    return true;
}

void FolderSnapshot::DropFile(Index folder, uint32_t i) {
    Node& n = At(folder);
    const FileRecord gone = m_files[n.firstFile + i];
    m_nGarbage += kFileBytes + std::strlen(m_names.Get(gone.name)) + 1;
    ++m_nGarbageFiles;
    for (uint32_t j = i; j + 1 < n.ownFiles; ++j)
        m_files[n.firstFile + j] = m_files[n.firstFile + j + 1];
    --n.ownFiles;
    --n.files;
    n.bytes -= gone.bytes;
    n.allocated -= gone.CountedUnits();
}

// A folder's files lie side by side: one more is written after them where they end the
// array, and otherwise they move to its end first (what they took is garbage then).
void FolderSnapshot::AppendFile(Index folder, const FileRecord& record) {
    Node& n = At(folder);
    if (n.ownFiles == 0) {
        n.firstFile = m_files.Grow(1);
    } else if (n.firstFile + n.ownFiles == m_files.Size()) {
        m_files.Grow(1);
    } else {
        const uint32_t first = m_files.Grow(n.ownFiles + 1);
        for (uint32_t i = 0; i < n.ownFiles; ++i)
            m_files[first + i] = m_files[n.firstFile + i];
        m_nGarbage += uint64_t{kFileBytes} * n.ownFiles;
        m_nGarbageFiles += n.ownFiles;
        n.firstFile = first;
    }
    m_files[n.firstFile + n.ownFiles] = record;
    ++n.ownFiles;
    ++n.files;
    n.bytes += record.bytes;
    n.allocated += record.CountedUnits();
}

FolderSnapshot::Change FolderSnapshot::PutFile(const std::string& path, int64_t bytes,
                                               int64_t modified, int64_t allocated,
                                               int64_t* previous) {
    if (previous)
        *previous = 0;
    std::string name;
    const auto [folder, i] = LocateFile(path, name);
    if (folder == kNone || !IsRead(folder))
        return Change::Outside;
    if (FindExactly(folder, name.c_str()) != kNone)
        return Change::Applied; // a folder's own time: no total depends on it
    const bool bRoom = i != kNone || MemoryUsed() + kFileBytes + name.size() + 1 <= m_nMemoryCap;
    if (!FilesHeld(folder) || !bRoom ||
        m_files.Size() + uint64_t{At(folder).ownFiles} + 1 >= kNone) {
        ForgetLevel(PathOf(folder)); // the file's size before is not known here
        return Change::Forgotten;
    }
    const State was = StateOf(folder);
    FileRecord record = FileRecord::Make(0, bytes, modified, allocated);
    if (i != kNone) {
        Node& n = At(folder);
        FileRecord& file = m_files[n.firstFile + i];
        if (previous)
            *previous = file.bytes;
        n.bytes += bytes - file.bytes;
        n.allocated += record.CountedUnits() - file.CountedUnits();
        record.name = file.name;
        file = record;
    } else {
        record.name = m_names.Add(name.c_str());
        if (record.name == NamePool::kNoName) {
            ForgetLevel(PathOf(folder));
            return Change::Forgotten;
        }
        AppendFile(folder, record);
    }
    Propagate(folder, was);
    CompactIfWasteful();
    return Change::Applied;
}

int64_t FolderSnapshot::FileBytes(const std::string& path) const {
    std::string name;
    const auto [folder, i] = LocateFile(path, name);
    return i == kNone ? -1 : m_files[At(folder).firstFile + i].bytes;
}

int64_t FolderSnapshot::FileAllocatedAt(const std::string& path) const {
    std::string name;
    const auto [folder, i] = LocateFile(path, name);
    return i == kNone ? -1 : m_files[At(folder).firstFile + i].Allocated();
}

bool FolderSnapshot::HoldsFileAs(const std::string& path, int64_t bytes, int64_t modified,
                                 int64_t allocated) const {
    std::string name;
    const auto [folder, i] = LocateFile(path, name);
    if (i == kNone)
        return false;
    const FileRecord& file = m_files[At(folder).firstFile + i];
    const FileRecord told = FileRecord::Make(file.name, bytes, modified, allocated);
    return file.bytes == told.bytes && file.allocatedLow == told.allocatedLow &&
           file.modifiedAndAllocatedHigh == told.modifiedAndAllocatedHigh;
}

void FolderSnapshot::MoveFolder(Index folder, Index to, uint32_t nameRef) {
    const Index from = At(folder).parent;
    const State gone = StateOf(folder);
    const State fromWas = StateOf(from);
    Unlink(folder);
    At(from).folders -= 1;
    gone.AddTo(At(from), -1);
    Propagate(from, fromWas);

    m_nGarbage += std::strlen(Name(folder)) + 1;
    const State toWas = StateOf(to);
    Node& n = At(folder);
    n.name = nameRef;
    n.parent = to;
    n.nextSibling = At(to).firstChild;
    At(to).firstChild = folder;
    At(to).folders += 1;
    gone.AddTo(At(to), +1);
    Propagate(to, toWas);
}

FolderSnapshot::Change FolderSnapshot::Rename(const std::string& from, const std::string& to) {
    std::string name;
    const Index dest = Find(SplitLast(to, name));
    const bool bDestRead = dest != kNone && IsRead(dest) && !name.empty();

    const Index folder = Find(from);
    if (folder != kNone && Parent(folder) != kTop) {
        if (!bDestRead) {
            Remove(from); // moved out of what the snapshot knows
            return Change::Applied;
        }
        const Index there = FindExactly(dest, name.c_str());
        if (there != kNone && there != folder)
            Remove(to);
        const uint32_t nameRef = m_names.Add(name.c_str());
        if (nameRef == NamePool::kNoName) { // no room for the new name
            Remove(from);
            ForgetLevel(PathOf(dest));
            return Change::Forgotten;
        }
        MoveFolder(folder, dest, nameRef);
        CompactIfWasteful();
        return Change::Applied;
    }

    std::string fromName;
    const auto [above, i] = LocateFile(from, fromName);
    if (i == kNone) {
        Remove(from); // a folder that does not hold its files forgets its level
        return Change::Outside;
    }
    const FileRecord record = m_files[At(above).firstFile + i];
    const State was = StateOf(above);
    DropFile(above, i);
    Propagate(above, was);
    if (!bDestRead)
        return Change::Applied;
    return PutFile(to, record.bytes, record.Modified(), record.Allocated());
}
