#include "folder_snapshot.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "path_text.h"
#include "snapshot_writer.h"

// Every read folder keeps its sums as "its own level plus its final subfolders":
// bytes and files of its own files and of every final subfolder's tree, folders counting
// each subfolder entry and every final subfolder's folders; `pending` counts the subfolders
// that are not final. A read folder is final when nothing is pending, and its sums are then
// its totals. A change of a folder's state is carried up (Propagate) for as long as it
// changes what the folder above holds.
struct FolderSnapshot::Node {
    uint32_t name;      // in m_names
    Index parent;       // kNone for the top
    Index firstChild;   // kNone: no subfolders
    Index nextSibling;  // kNone: the last subfolder
    uint32_t firstFile; // in m_fileSizes and m_fileNames, when its files are held
    uint32_t ownFiles;  // files directly in it
    uint32_t flags;
    uint32_t pending;   // subfolders that are not final
    uint32_t folders;
    uint32_t files;
    int64_t bytes;
};

namespace {

constexpr uint32_t kRead = 1;
constexpr uint32_t kFilesHeld = 2;
constexpr uint32_t kUnreadable = 4;
constexpr uint32_t kLink = 8;
constexpr uint32_t kExcluded = 16;

bool IsSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

// A path as the tree takes it: its root (with its separator: "/", "C:\", "\\server\share\";
// empty for a relative path) and the names after it.
struct SplitPath {
    std::string root;
    std::vector<std::string_view> names;

    explicit SplitPath(const std::string& path) {
        size_t at = 0;
#ifdef _WIN32
        if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
            // "\\server\share\" (or "\\?\C:\"): the first two names after the separators.
            at = 2;
            for (int part = 0; part < 2; ++part) {
                while (at < path.size() && !IsSeparator(path[at]))
                    ++at;
                if (part == 0 && at < path.size())
                    ++at;
            }
            root = path.substr(0, at) + '\\';
        } else if (path.size() >= 2 && path[1] == ':') {
            root = path.substr(0, 2) + '\\';
            if (root[0] >= 'a' && root[0] <= 'z')
                root[0] = static_cast<char>(root[0] - 'a' + 'A');
            at = 2;
        } else if (!path.empty() && IsSeparator(path[0])) {
            root = "\\";
        }
        for (char& c : root)
            if (c == '/')
                c = '\\';
#else
        if (!path.empty() && path[0] == '/')
            root = "/";
#endif
        while (at < path.size()) {
            while (at < path.size() && IsSeparator(path[at]))
                ++at;
            const size_t start = at;
            while (at < path.size() && !IsSeparator(path[at]))
                ++at;
            if (at > start)
                names.emplace_back(path.data() + start, at - start);
        }
    }
};

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

struct FolderSnapshot::State {
    bool bFinal = false;
    int64_t bytes = 0;
    uint32_t folders = 0;
    uint32_t files = 0;

    bool operator==(const State& o) const {
        return bFinal == o.bFinal && bytes == o.bytes && folders == o.folders && files == o.files;
    }
    // What a subfolder in this state adds to the folder above: its sums once final, one
    // pending subfolder before.
    void AddTo(Node& above, int sign) const {
        if (!bFinal) {
            above.pending += static_cast<uint32_t>(sign);
            return;
        }
        above.bytes += sign * bytes;
        above.folders += static_cast<uint32_t>(sign) * folders;
        above.files += static_cast<uint32_t>(sign) * files;
    }
};

// --- SnapshotLevel

void SnapshotLevel::AddFile(const char* name, int64_t bytes, int64_t diskBytes) {
    m_fileNames.push_back(static_cast<uint32_t>(m_names.size()));
    m_names.append(name, std::strlen(name) + 1);
    m_fileSizes.push_back(bytes);
    if (diskBytes >= 0)
        m_fileDiskBytes.push_back(diskBytes);
}

void SnapshotLevel::AddFolder(const char* name, bool bLink) {
    m_folderNames.push_back(static_cast<uint32_t>(m_names.size()));
    m_names.append(name, std::strlen(name) + 1);
    m_folderLinks.push_back(bLink ? 1 : 0);
}

void SnapshotLevel::SetFileLinks(uint32_t links, uint64_t device, uint64_t id) {
    m_links.push_back({static_cast<uint32_t>(m_fileSizes.size() - 1), links, device, id});
}

void SnapshotLevel::Clear() {
    m_links.clear();
    m_nOwnBytes = -1;
    m_nOwnDiskBytes = -1;
    m_fileDiskBytes.clear();
    m_names.clear();
    m_fileNames.clear();
    m_fileSizes.clear();
    m_folderNames.clear();
    m_folderLinks.clear();
}

// --- Construction

FolderSnapshot::FolderSnapshot() {
    static_assert(sizeof(Node) <= kFolderBytes, "a folder takes at most 48 bytes besides its name");
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
    return m_folders.Add(Node{ref, parent, kNone, kNone, 0, 0, 0, 0, 0, 0, 0});
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
    return (n.flags & (kUnreadable | kLink | kExcluded)) != 0 || ((n.flags & kRead) && n.pending == 0);
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

int64_t FolderSnapshot::OwnBytes(Index folder) const {
    return folder < m_ownBytes.size() ? m_ownBytes[folder] : -1;
}

int64_t FolderSnapshot::OwnDiskBytes(Index folder) const {
    return folder < m_ownDiskBytes.size() ? m_ownDiskBytes[folder] : -1;
}

int64_t FolderSnapshot::FileDiskBytes(Index folder, uint32_t i) const {
    const size_t file = size_t{At(folder).firstFile} + i;
    return file < m_fileDiskBytes.size() ? m_fileDiskBytes[file] : -1;
}

namespace {

void SetDetail(std::vector<int64_t>& details, size_t index, int64_t value) {
    if (value < 0)
        return;
    if (details.size() <= index)
        details.resize(index + 1, -1);
    details[index] = value;
}

} // namespace

void FolderSnapshot::SetOwnBytes(Index folder, int64_t bytes, int64_t diskBytes) {
    SetDetail(m_ownBytes, folder, bytes);
    SetDetail(m_ownDiskBytes, folder, diskBytes);
}

void FolderSnapshot::DropDetails() {
    m_linkedFiles = {};
    m_ownBytes = {};
    m_ownDiskBytes = {};
    m_fileDiskBytes = {};
}

bool FolderSnapshot::FilesHeld(Index folder) const {
    return (At(folder).flags & kFilesHeld) != 0;
}

bool FolderSnapshot::GetTotals(Index folder, FolderTotals& totals) const {
    if (!IsFinal(folder))
        return false;
    const Node& n = At(folder);
    totals.nSize = n.bytes;
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
    return m_names.Get(m_fileNames[At(folder).firstFile + i]);
}

int64_t FolderSnapshot::FileSize(Index folder, uint32_t i) const {
    return m_fileSizes[At(folder).firstFile + i];
}

uint64_t FolderSnapshot::MemoryUsed() const {
    return uint64_t{m_folders.Size()} * kFolderBytes + uint64_t{m_fileSizes.Size()} * kFileBytes +
           m_names.Bytes() - m_nGarbage;
}

uint32_t FolderSnapshot::FolderCount() const {
    return m_folders.Size() - m_nGarbageFolders;
}

uint64_t FolderSnapshot::FileCount() const {
    return m_fileSizes.Size() - m_nGarbageFiles;
}

// --- Sums

FolderSnapshot::State FolderSnapshot::StateOf(Index folder) const {
    const Node& n = At(folder);
    return {IsFinal(folder), n.bytes, n.folders, n.files};
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

bool FolderSnapshot::HoldFiles(const SnapshotLevel& level) const {
    const uint64_t files = level.FileCount();
    return files == 0 ||
           (MemoryUsed() + files * kFileBytes + level.NameBytes() <= m_nMemoryCap &&
            m_fileSizes.Size() + files < kNone);
}

// `folder` holds no subfolders and no files yet.
FolderSnapshot::LevelFill FolderSnapshot::ReserveLevel(Index folder,
                                                       const SnapshotLevel& level) {
    const State was = StateOf(folder);
    const uint32_t fileCount = static_cast<uint32_t>(level.FileCount());
    const uint32_t folderCount = static_cast<uint32_t>(level.FolderCount());
    Node& n = At(folder); // elements never move: the reference outlives the growth below
    n.flags = kRead;
    n.ownFiles = fileCount;
    n.files = fileCount;
    n.bytes = 0;
    for (uint32_t i = 0; i < fileCount; ++i)
        n.bytes += level.FileSize(i);
    for (const SnapshotLevel::FileLinks& link : level.LinkedFiles())
        m_linkedFiles.push_back(
            {folder, link.file, link.links, level.FileSize(link.file), link.device, link.id});
    SetOwnBytes(folder, level.OwnBytes(), level.OwnDiskBytes());

    // Held files take the level's names as one block; otherwise (or when no block fits)
    // each subfolder's name goes in by itself.
    LevelFill fill;
    const bool bHold = HoldFiles(level);
    if (bHold && fileCount)
        fill.names = m_names.Reserve(level.NameBytes());
    auto nameRef = [&](uint32_t offset, const char* name) {
        if (fill.names != NamePool::kNoName)
            return fill.names + offset; // the block lies within one chunk
        const uint32_t ref = m_names.Add(name);
        return ref != NamePool::kNoName ? ref : At(kTop).name;
    };
    if (bHold) {
        n.flags |= kFilesHeld;
        n.firstFile = fill.firstFile = m_fileSizes.Grow(fileCount);
        m_fileNames.Grow(fileCount);
        // Under the walk's lock, as the side array may move as it grows.
        if (level.HasDiskBytes() && fileCount) {
            m_fileDiskBytes.resize(m_fileSizes.Size(), -1);
            for (uint32_t i = 0; i < fileCount; ++i)
                m_fileDiskBytes[n.firstFile + i] = level.FileDiskBytes(i);
        }
        if (fill.names == NamePool::kNoName)
            for (uint32_t i = 0; i < fileCount; ++i) {
                m_fileSizes[n.firstFile + i] = level.FileSize(i);
                m_fileNames[n.firstFile + i] = nameRef(0, level.FileName(i));
            }
    }

    n.folders = folderCount;
    n.pending = 0;
    n.firstChild = kNone;
    if (folderCount) {
        n.firstChild = m_folders.Grow(folderCount);
        for (uint32_t i = 0; i < folderCount; ++i) {
            const Index child = n.firstChild + i;
            At(child) = Node{nameRef(level.FolderNameOffset(i), level.FolderName(i)),
                             folder,
                             kNone,
                             i + 1 < folderCount ? child + 1 : kNone,
                             0,
                             0,
                             level.FolderIsLink(i) ? kLink : 0,
                             0,
                             0,
                             0,
                             0};
            if (!level.FolderIsLink(i))
                ++n.pending;
        }
    }
    Propagate(folder, was);
    return fill;
}

void FolderSnapshot::FillLevel(const SnapshotLevel& level, const LevelFill& fill) {
    if (fill.names == NamePool::kNoName)
        return;
    std::memcpy(m_names.Data(fill.names), level.NameData(), level.NameBytes());
    for (uint32_t i = 0; i < level.FileCount(); ++i) {
        m_fileSizes[fill.firstFile + i] = level.FileSize(i);
        m_fileNames[fill.firstFile + i] = fill.names + level.FileNameOffset(i);
    }
}

void FolderSnapshot::SetLevel(Index folder, const SnapshotLevel& level) {
    FillLevel(level, ReserveLevel(folder, level));
}

// --- Discarding

void FolderSnapshot::DiscardFiles(Index folder) {
    Node& n = At(folder);
    if (!(n.flags & kFilesHeld))
        return;
    for (uint32_t i = 0; i < n.ownFiles; ++i)
        m_nGarbage += kFileBytes + std::strlen(m_names.Get(m_fileNames[n.firstFile + i])) + 1;
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
    if (!piece.FilesHeld(from) || m_fileSizes.Size() + uint64_t{count} >= kNone)
        return;
    uint64_t bytes = uint64_t{count} * kFileBytes;
    for (uint32_t i = 0; i < count; ++i)
        bytes += std::strlen(piece.FileName(from, i)) + 1;
    if (MemoryUsed() + bytes > m_nMemoryCap)
        return;
    Node& n = At(to);
    n.flags |= kFilesHeld;
    n.firstFile = m_fileSizes.Grow(count);
    m_fileNames.Grow(count);
    for (uint32_t i = 0; i < count; ++i) {
        m_fileSizes[n.firstFile + i] = piece.FileSize(from, i);
        const uint32_t ref = m_names.Add(piece.FileName(from, i));
        m_fileNames[n.firstFile + i] = ref != NamePool::kNoName ? ref : At(kTop).name;
    }
}

// Copies `there` (a folder of `piece`, or of this snapshot when compacting) with everything
// beneath it, every field as it is, under `parent`. Files are copied while the cap allows.
FolderSnapshot::Index FolderSnapshot::CopyBeneath(Index parent, const FolderSnapshot& piece,
                                                  Index there) {
    auto copyNode = [&](Index to, Index from) {
        const Node& source = piece.At(from);
        Node& n = At(to);
        n.flags = source.flags & ~kFilesHeld;
        n.ownFiles = source.ownFiles;
        n.pending = source.pending;
        n.folders = source.folders;
        n.files = source.files;
        n.bytes = source.bytes;
        n.firstChild = kNone;
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
            At(child) = Node{ref != NamePool::kNoName ? ref : At(kTop).name,
                             to,
                             kNone,
                             i + 1 < count ? child + 1 : kNone,
                             0,
                             0,
                             0,
                             0,
                             0,
                             0,
                             0};
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
        *this = std::move(piece);
        m_nMemoryCap = cap;
        piece = FolderSnapshot();
        return;
    }
    DropDetails();
    MergeFrom(kTop, piece, kTop);
    piece = FolderSnapshot();
    CompactIfWasteful();
}

FolderSnapshot::Index FolderSnapshot::RecordLevel(const std::string& folderPath,
                                                  const SnapshotLevel& level) {
    FolderSnapshot piece;
    piece.SetLevel(piece.FindOrAddPath(folderPath), level);
    Merge(std::move(piece));
    return Find(folderPath);
}

// --- Changes on disk

bool FolderSnapshot::Remove(const std::string& path) {
    DropDetails();
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
    const std::string name(split.names.back());
    Node& n = At(above);
    for (uint32_t i = 0; i < n.ownFiles; ++i) {
        if (std::strcmp(FileName(above, i), name.c_str()) != 0)
            continue;
        const State was = StateOf(above);
        const int64_t bytes = FileSize(above, i);
        m_nGarbage += kFileBytes + name.size() + 1;
        ++m_nGarbageFiles;
        for (uint32_t j = i; j + 1 < n.ownFiles; ++j) {
            m_fileSizes[n.firstFile + j] = m_fileSizes[n.firstFile + j + 1];
            m_fileNames[n.firstFile + j] = m_fileNames[n.firstFile + j + 1];
        }
        --n.ownFiles;
        --n.files;
        n.bytes -= bytes;
        Propagate(above, was);
        CompactIfWasteful();
        return true;
    }
    return false;
}

void FolderSnapshot::ForgetLevel(const std::string& folderPath) {
    DropDetails();
    const Index folder = Find(folderPath);
    if (folder == kNone)
        return;
    const State was = StateOf(folder);
    const int64_t ownBytes = OwnFileBytes(folder);
    DiscardFiles(folder);
    Node& n = At(folder);
    n.flags = 0;
    n.bytes -= ownBytes;
    n.files -= n.ownFiles;
    n.ownFiles = 0;
    Propagate(folder, was);
}

// --- Compaction

void FolderSnapshot::CompactIfWasteful() {
    if (m_nGarbage < (uint64_t{1} << 20) || m_nGarbage < MemoryUsed())
        return;
    DropDetails();
    FolderSnapshot fresh;
    fresh.m_nMemoryCap = m_nMemoryCap;
    const Node& top = At(kTop);
    Node& freshTop = fresh.At(kTop);
    freshTop.pending = top.pending;
    freshTop.folders = top.folders;
    freshTop.files = top.files;
    freshTop.bytes = top.bytes;
    // Each root of the file systems is copied with everything beneath it.
    Index last = kNone;
    for (Index c = top.firstChild; c != kNone; c = At(c).nextSibling) {
        const Index copy = fresh.CopyBeneath(kTop, *this, c);
        (last == kNone ? fresh.At(kTop).firstChild : fresh.At(last).nextSibling) = copy;
        last = copy;
    }
    *this = std::move(fresh);
}

// --- The walk's side

std::vector<SnapshotWriter::Index> SnapshotWriter::PlaceRoots(
    const std::vector<std::string>& roots) {
    FolderSnapshot& s = m_snapshot;
    std::vector<Index> nodes;
    nodes.reserve(roots.size());
    std::unordered_set<Index> placed;
    // Roots side by side in one folder (the usual case) share one lookup of their names.
    std::string parentPath;
    Index parent = FolderSnapshot::kNone;
    std::unordered_map<std::string_view, Index> known;
    for (const std::string& root : roots) {
        const SplitPath split(root);
        Index node;
        if (split.names.empty()) {
            node = s.FindOrAddPath(root);
        } else {
            const std::string name(split.names.back());
            const std::string up =
                root.substr(0, static_cast<size_t>(split.names.back().data() - root.data()));
            if (parent == FolderSnapshot::kNone || up != parentPath) {
                parentPath = up;
                parent = s.FindOrAddPath(up);
                known.clear();
                for (Index c = s.At(parent).firstChild; c != FolderSnapshot::kNone;
                     c = s.At(c).nextSibling)
                    known.emplace(s.Name(c), c);
            }
            const auto it = known.find(name);
            if (it != known.end()) {
                node = it->second;
            } else {
                node = s.AddSubfolder(parent, name.c_str());
                known.emplace(s.Name(node), node);
            }
        }
        nodes.push_back(placed.insert(node).second ? node : FolderSnapshot::kNone);
    }
    // A root inside another root is walked as part of that one too: it is recorded there.
    for (Index& node : nodes) {
        if (node == FolderSnapshot::kNone)
            continue;
        for (Index above = s.Parent(node); above != FolderSnapshot::kNone; above = s.Parent(above))
            if (placed.count(above)) {
                node = FolderSnapshot::kNone;
                break;
            }
    }
    // A root known from before is emptied, to be read again (a root inside it goes too).
    for (Index node : nodes) {
        if (node == FolderSnapshot::kNone)
            continue;
        FolderSnapshot::Node& n = s.At(node);
        if (n.flags || n.firstChild != FolderSnapshot::kNone) {
            const FolderSnapshot::State was = s.StateOf(node);
            for (Index c = n.firstChild; c != FolderSnapshot::kNone; c = s.At(c).nextSibling)
                s.Discard(c);
            s.DiscardFiles(node);
            n = FolderSnapshot::Node{n.name, n.parent, FolderSnapshot::kNone, n.nextSibling, 0, 0,
                                     0, 0, 0, 0, 0};
            s.Propagate(node, was);
        }
    }
    return nodes;
}

SnapshotWriter::Index SnapshotWriter::RecordRead(Index folder, const SnapshotLevel& level,
                                                 Fill& fill) {
    fill = m_snapshot.ReserveLevel(folder, level);
    return m_snapshot.At(folder).firstChild;
}

void SnapshotWriter::CompleteRead(const SnapshotLevel& level, Fill& fill) {
    m_snapshot.FillLevel(level, fill);
    fill = Fill();
}

void SnapshotWriter::RecordExcluded(Index folder) {
    const FolderSnapshot::State was = m_snapshot.StateOf(folder);
    m_snapshot.At(folder).flags = kExcluded;
    m_snapshot.Propagate(folder, was);
}

void SnapshotWriter::RecordUnreadable(Index folder, int64_t ownBytes, int64_t ownDiskBytes) {
    m_snapshot.SetOwnBytes(folder, ownBytes, ownDiskBytes);
    const FolderSnapshot::State was = m_snapshot.StateOf(folder);
    m_snapshot.At(folder).flags = kUnreadable;
    m_snapshot.Propagate(folder, was);
}
