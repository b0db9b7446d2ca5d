#include "snapshot_writer.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "path_text.h"
#include "snapshot_node.h"

using namespace snapshot_flags;

std::vector<SnapshotWriter::Index>
SnapshotWriter::PlaceRoots(const std::vector<std::string>& roots) {
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
            } else if (s.MemoryHeld() + FolderSnapshot::kFolderBytes + name.size() + 1 >
                       s.MemoryCap()) {
                nodes.push_back(FolderSnapshot::kNone); // past the cap: not recorded
                continue;
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
        const FolderSnapshot::Node& n = s.At(node);
        if (n.flags || n.firstChild != FolderSnapshot::kNone)
            s.ForgetTree(node);
    }
    return nodes;
}

SnapshotWriter::Index SnapshotWriter::RecordRead(Index folder, const SnapshotLevel& level,
                                                 Fill& fill) {
    if (!m_snapshot.HasRoomForLevel(level)) {
        fill = Fill(); // past the cap: the folder stays known by name only
        return FolderSnapshot::kNone;
    }
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

void SnapshotWriter::RecordRepeated(Index folder) {
    const FolderSnapshot::State was = m_snapshot.StateOf(folder);
    m_snapshot.At(folder).flags = kLink;
    m_snapshot.Propagate(folder, was);
}

void SnapshotWriter::RecordUnreadable(Index folder, const SnapshotLevel& own) {
    const FolderSnapshot::State was = m_snapshot.StateOf(folder);
    m_snapshot.At(folder).flags = kUnreadable;
    m_snapshot.Propagate(folder, was);
    m_snapshot.SetOwn(folder, own);
}
