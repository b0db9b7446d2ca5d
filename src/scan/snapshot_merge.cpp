// Changing a snapshot as a whole: merging a later walk's in, taking a folder or file out,
// forgetting a level, and compacting what is left.
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "folder_snapshot.h"
#include "path_text.h"
#include "snapshot_node.h"

using namespace snapshot_flags;

// --- Discarding

void FolderSnapshot::DiscardFiles(Index folder) {
    Node& n = At(folder);
    if (!(n.flags & kFilesHeld))
        return;
    for (uint32_t i = 0; i < n.ownFiles; ++i)
        m_nGarbage += kFileBytes + std::strlen(m_names.Get(m_files[n.firstFile + i].name)) + 1;
    m_nGarbageFiles += n.ownFiles;
    n.flags &= ~kFilesHeld;
}

void FolderSnapshot::Discard(Index folder) {
    std::vector<Index> stack{folder};
    while (!stack.empty()) {
        const Index i = stack.back();
        stack.pop_back();
        DiscardFiles(i);
        m_nGarbage += kFolderBytes + std::strlen(Name(i)) + 1;
        ++m_nGarbageFolders;
        for (Index child = At(i).firstChild; child != kNone; child = At(child).nextSibling)
            stack.push_back(child);
    }
}

void FolderSnapshot::Unlink(Index folder) {
    Node& above = At(At(folder).parent);
    if (above.firstChild == folder) {
        above.firstChild = At(folder).nextSibling;
        return;
    }
    Index before = above.firstChild;
    while (At(before).nextSibling != folder)
        before = At(before).nextSibling;
    At(before).nextSibling = At(folder).nextSibling;
}

// --- Copying and merging

// Gives `to` the files of `from` (a folder of `piece`) while the cap allows.
void FolderSnapshot::CopyFiles(Index to, const FolderSnapshot& piece, Index from) {
    const uint32_t count = piece.At(from).ownFiles;
    if (!piece.FilesHeld(from) || m_files.Size() + uint64_t{count} >= kNone)
        return;
    uint64_t bytes = uint64_t{count} * kFileBytes;
    for (uint32_t i = 0; i < count; ++i)
        bytes += std::strlen(piece.FileName(from, i)) + 1;
    if (MemoryUsed() + bytes > m_nMemoryCap)
        return;
    Node& n = At(to);
    n.flags |= kFilesHeld;
    n.firstFile = m_files.Grow(count);
    for (uint32_t i = 0; i < count; ++i) {
        FileRecord& file = m_files[n.firstFile + i];
        file = piece.m_files[piece.At(from).firstFile + i];
        const uint32_t ref = m_names.Add(piece.FileName(from, i));
        file.name = ref != NamePool::kNoName ? ref : At(kTop).name;
    }
}

// Copies `there` (a folder of `piece`, or of this snapshot when compacting) with everything
// beneath it, every field as it is, under `parent`. Files are copied while the cap allows.
FolderSnapshot::Index FolderSnapshot::CopyBeneath(Index parent, const FolderSnapshot& piece,
                                                  Index there) {
    auto copyNode = [&](Index to, Index from) {
        Node& n = At(to);
        n = Node::Named(n.name, n.parent, n.nextSibling);
        const Node& source = piece.At(from);
        n.flags = source.flags & ~kFilesHeld;
        n.ownFiles = source.ownFiles;
        n.pending = source.pending;
        n.folders = source.folders;
        n.files = source.files;
        n.bytes = source.bytes;
        n.allocated = source.allocated;
        n.modified = source.modified;
        n.ownBytes = source.ownBytes;
        n.ownAllocated = source.ownAllocated;
        CopyFiles(to, piece, from);
    };
    const Index top = NewFolder(parent, piece.Name(there));
    copyNode(top, there);
    std::vector<std::pair<Index, Index>> stack{{top, there}};
    while (!stack.empty()) {
        const auto [to, from] = stack.back();
        stack.pop_back();
        uint32_t count = 0;
        for (Index c = piece.At(from).firstChild; c != kNone; c = piece.At(c).nextSibling)
            ++count;
        if (!count)
            continue;
        const Index first = m_folders.Grow(count);
        At(to).firstChild = first;
        Index c = piece.At(from).firstChild;
        for (uint32_t i = 0; i < count; ++i, c = piece.At(c).nextSibling) {
            const Index child = first + i;
            uint32_t ref = m_names.Add(piece.Name(c));
            At(child) = Node::Named(ref != NamePool::kNoName ? ref : At(kTop).name, to,
                                    i + 1 < count ? child + 1 : kNone);
            copyNode(child, c);
            if (piece.At(c).firstChild != kNone)
                stack.emplace_back(child, c);
        }
    }
    return top;
}

// `here` takes the level of `there`, which the piece read (or found final): its flags,
// files and subfolders. A subfolder final there is copied; one the piece read but did not
// finish is merged in turn (queued on `work`); one known there by name only keeps what is
// known here. Subfolders here that the piece's level does not have are dropped.
void FolderSnapshot::MergeFrom(Index here, const FolderSnapshot& piece, Index there) {
    std::vector<std::pair<Index, Index>> work{{here, there}};
    while (!work.empty()) {
        const auto [h, t] = work.back();
        work.pop_back();
        const Node& source = piece.At(t);
        std::unordered_map<std::string_view, Index> known;
        for (Index c = At(h).firstChild; c != kNone; c = At(c).nextSibling)
            known.emplace(Name(c), c);
        auto take = [&](const char* name) {
            const auto it = known.find(name);
            if (it == known.end())
                return kNone;
            const Index found = it->second;
            known.erase(it);
            return found;
        };

        if (!piece.IsFinal(t) && !(source.flags & kRead)) {
            // Known there by name only: what is here stays; walk on into what the piece
            // holds beneath (the folders above its roots, and its roots).
            for (Index c = source.firstChild; c != kNone; c = piece.At(c).nextSibling) {
                Index mine = take(piece.Name(c));
                if (mine == kNone)
                    mine = AddSubfolder(h, piece.Name(c));
                work.emplace_back(mine, c);
            }
            continue;
        }

        const State was = StateOf(h);
        DiscardFiles(h);
        Index first = kNone, last = kNone;
        for (Index c = source.firstChild; c != kNone; c = piece.At(c).nextSibling) {
            Index mine = take(piece.Name(c));
            if (piece.IsFinal(c)) {
                if (mine != kNone)
                    Discard(mine);
                mine = CopyBeneath(h, piece, c);
            } else {
                if (mine == kNone)
                    mine = NewFolder(h, piece.Name(c));
                if (piece.IsRead(c))
                    work.emplace_back(mine, c);
            }
            (last == kNone ? first : At(last).nextSibling) = mine;
            last = mine;
        }
        if (last != kNone)
            At(last).nextSibling = kNone;
        for (const auto& gone : known)
            Discard(gone.second);

        // The level is the piece's; the sums are its own files and what is known beneath.
        Node& n = At(h);
        n.flags = source.flags & ~kFilesHeld;
        n.firstChild = first;
        n.ownFiles = source.ownFiles;
        n.files = source.ownFiles;
        n.bytes = piece.OwnFileBytes(t);
        if (source.modified != 0)
            n.modified = source.modified;
        if (source.ownBytes != snapshot_encoding::kUnknown32)
            n.ownBytes = source.ownBytes;
        if (source.ownAllocated != snapshot_encoding::kUnknown32)
            n.ownAllocated = source.ownAllocated;
        n.allocated = piece.OwnFileAllocation(t) + n.OwnAllocationUnits();
        n.folders = 0;
        n.pending = 0;
        for (Index c = first; c != kNone; c = At(c).nextSibling) {
            ++n.folders;
            StateOf(c).AddTo(n, +1);
        }
        CopyFiles(h, piece, t);
        Propagate(h, was);
    }
}

void FolderSnapshot::Merge(FolderSnapshot&& piece) {
    if (m_folders.Size() == 1) {
        // Nothing here yet: the piece becomes the snapshot, under this one's cap.
        const uint64_t cap = m_nMemoryCap;
        std::vector<Shown> shown = std::move(m_shown);
        const uint64_t tick = m_nTick;
        *this = std::move(piece);
        m_nMemoryCap = cap;
        m_shown = std::move(shown);
        m_nTick = tick;
        piece = FolderSnapshot();
        return;
    }
    MergeFrom(kTop, piece, kTop);
    piece = FolderSnapshot();
    CompactIfWasteful();
}

uint64_t FolderSnapshot::BytesBeneath(Index folder) const {
    uint64_t bytes = 0;
    std::vector<Index> stack{folder};
    while (!stack.empty()) {
        const Index i = stack.back();
        stack.pop_back();
        bytes += kFolderBytes + std::strlen(Name(i)) + 1;
        if (FilesHeld(i))
            for (uint32_t f = 0; f < At(i).ownFiles; ++f)
                bytes += kFileBytes + std::strlen(FileName(i, f)) + 1;
        for (Index child = At(i).firstChild; child != kNone; child = At(child).nextSibling)
            stack.push_back(child);
    }
    return bytes;
}

bool FolderSnapshot::Graft(Index folder, const FolderSnapshot& piece, Index there) {
    if (!piece.IsFinal(there) || MemoryHeld() + piece.BytesBeneath(there) > m_nMemoryCap)
        return false;
    MergeFrom(folder, piece, there);
    return true;
}

FolderSnapshot::Index FolderSnapshot::RecordLevel(const std::string& folderPath,
                                                  const SnapshotLevel& level) {
    if (!HasRoomForLevel(level))
        return Find(folderPath); // past the cap: what is known of it stays as it is
    FolderSnapshot piece;
    piece.SetLevel(piece.FindOrAddPath(folderPath), level);
    Merge(std::move(piece));
    return Find(folderPath);
}

void FolderSnapshot::ForgetLevel(const std::string& folderPath) {
    const Index folder = Find(folderPath);
    if (folder == kNone)
        return;
    const State was = StateOf(folder);
    const int64_t ownBytes = OwnFileBytes(folder);
    const int64_t ownUnits = OwnFileAllocation(folder);
    DiscardFiles(folder);
    Node& n = At(folder);
    n.flags = 0;
    n.bytes -= ownBytes;
    n.allocated -= ownUnits;
    n.files -= n.ownFiles;
    n.ownFiles = 0;
    Propagate(folder, was);
}

// --- Room

void FolderSnapshot::MarkShown(const std::string& path) {
    const std::string key = JoinPath(path, "");
    for (Shown& shown : m_shown)
        if (shown.path == key) {
            shown.tick = ++m_nTick;
            return;
        }
    m_shown.push_back({key, ++m_nTick});
}

uint64_t FolderSnapshot::MakeRoom(const std::string& path) {
    // Paths end in a separator, so one holds another exactly when it is a prefix of it.
    const std::string keep = JoinPath(path, "");
    auto overlaps = [&keep](const std::string& other) {
        return keep.compare(0, other.size(), other) == 0 ||
               other.compare(0, keep.size(), keep) == 0;
    };
    while (NeedsRoom() && MemoryUsed() > m_nMemoryCap / 4) {
        auto oldest = m_shown.end();
        for (auto it = m_shown.begin(); it != m_shown.end(); ++it)
            if (!overlaps(it->path) && (oldest == m_shown.end() || it->tick < oldest->tick))
                oldest = it;
        if (oldest == m_shown.end())
            break;
        const Index folder = Find(oldest->path);
        m_shown.erase(oldest);
        if (folder != kNone)
            ForgetTree(folder);
    }
    if (NeedsRoom() && m_nGarbage > 0)
        Compact();
    const uint64_t held = MemoryHeld();
    return held < m_nMemoryCap / 2 ? m_nMemoryCap / 2 - held : 0;
}

void FolderSnapshot::ForgetTree(Index folder) {
    Node& n = At(folder);
    const State was = StateOf(folder);
    for (Index c = n.firstChild; c != kNone; c = At(c).nextSibling)
        Discard(c);
    DiscardFiles(folder);
    const int64_t modified = n.modified;
    n = Node::Named(n.name, n.parent, n.nextSibling);
    n.modified = modified;
    Propagate(folder, was);
}

// --- Compaction

void FolderSnapshot::CompactIfWasteful() {
    if (m_nGarbage < (uint64_t{1} << 20) || m_nGarbage < MemoryUsed())
        return;
    Compact();
}

void FolderSnapshot::Compact() {
    FolderSnapshot fresh;
    fresh.m_nMemoryCap = m_nMemoryCap;
    fresh.m_shown = std::move(m_shown);
    fresh.m_nTick = m_nTick;
    const Node& top = At(kTop);
    Node& freshTop = fresh.At(kTop);
    freshTop.pending = top.pending;
    freshTop.folders = top.folders;
    freshTop.files = top.files;
    freshTop.bytes = top.bytes;
    freshTop.allocated = top.allocated;
    // Each root of the file systems is copied with everything beneath it.
    Index last = kNone;
    for (Index c = top.firstChild; c != kNone; c = At(c).nextSibling) {
        const Index copy = fresh.CopyBeneath(kTop, *this, c);
        (last == kNone ? fresh.At(kTop).firstChild : fresh.At(last).nextSibling) = copy;
        last = copy;
    }
    *this = std::move(fresh);
}
