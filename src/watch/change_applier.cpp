#include "change_applier.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "path_text.h"

namespace {

// The folder holding `path`.
std::string FolderOf(const std::string& path) {
    const SplitPath split(path);
    if (split.names.empty())
        return path;
    return TrimTrailingSeparators(
        path.substr(0, static_cast<size_t>(split.names.back().data() - path.data())));
}

bool IsReadAt(const FolderSnapshot& snapshot, const std::string& folder) {
    const FolderSnapshot::Index index = snapshot.Find(folder);
    return index != FolderSnapshot::kNone && snapshot.IsRead(index);
}

// What the entry at `path` adds to the folders above, as far as the snapshot knows.
int64_t BytesAt(const FolderSnapshot& snapshot, const std::string& path) {
    const FolderSnapshot::Index index = snapshot.Find(path);
    if (index != FolderSnapshot::kNone && snapshot.Parent(index) != FolderSnapshot::kTop) {
        FolderTotals totals;
        return snapshot.GetTotals(index, totals) ? totals.nSize : 0;
    }
    return std::max<int64_t>(snapshot.FileBytes(path), 0);
}

// A list that takes each path once.
class PathSet {
public:
    explicit PathSet(std::vector<std::string>& paths) : m_paths(paths) {}
    void Add(const std::string& path) {
        if (m_seen.insert(path).second)
            m_paths.push_back(path);
    }

private:
    std::vector<std::string>& m_paths;
    std::unordered_set<std::string> m_seen;
};

} // namespace

AppliedChanges ApplyDiskChanges(FolderSnapshot& snapshot, std::vector<DiskChange>& changes,
                                size_t& next, ChangeLog& log, int64_t now,
                                const std::function<bool()>& enough) {
    AppliedChanges applied;
    PathSet touched(applied.touched), toWalk(applied.toWalk);
    // A folder that was read and is not any more cannot be corrected by what was told: its
    // level is walked afresh.
    auto note = [&](const std::string& folder, bool bWasRead) {
        touched.Add(folder);
        if (bWasRead && !IsReadAt(snapshot, folder))
            toWalk.Add(folder);
    };
    // At least one change goes in per call, so a caller that comes back always gets on.
    for (const size_t first = next;
         next < changes.size() && (next == first || !enough || !enough()); ++next) {
        DiskChange& change = changes[next];
        const std::string folder = FolderOf(change.path);
        const bool bWasRead = IsReadAt(snapshot, folder);
        LoggedChange logged;
        logged.time = now;
        logged.path = change.path;
        switch (change.kind) {
        case DiskChange::Kind::File: {
            // One write is often told twice (its size, then its time): looked at after the
            // first, the file is already as the second finds it, and nothing changed.
            if (snapshot.HoldsFileAs(change.path, change.bytes, change.modified, change.allocated))
                continue;
            const int64_t before = snapshot.FileBytes(change.path);
            snapshot.PutFile(change.path, change.bytes, change.modified, change.allocated);
            logged.kind = before < 0 ? ChangeKind::Added : ChangeKind::Changed;
            logged.bytes = change.bytes - std::max<int64_t>(before, 0);
            if (before != change.bytes) // a time alone changes no total
                note(folder, bWasRead);
            break;
        }
        case DiskChange::Kind::Folder:
            if (bWasRead && change.walked)
                snapshot.Merge(std::move(*change.walked));
            logged.kind = ChangeKind::Added;
            logged.bytes = BytesAt(snapshot, change.path);
            note(folder, bWasRead);
            break;
        case DiskChange::Kind::Removed:
            logged.kind = ChangeKind::Removed;
            logged.bytes = -BytesAt(snapshot, change.path);
            if (snapshot.Remove(change.path)) // known gone already (deleted through the program)
                note(folder, bWasRead);
            break;
        case DiskChange::Kind::Renamed: {
            const std::string toFolder = FolderOf(change.to);
            const bool bToWasRead = IsReadAt(snapshot, toFolder);
            // Not known where it was: what is at the new name is taken in as added.
            if (snapshot.Rename(change.path, change.to) == FolderSnapshot::Change::Outside &&
                bToWasRead) {
                if (change.bFolder)
                    toWalk.Add(change.to);
                else
                    snapshot.PutFile(change.to, change.bytes, change.modified, change.allocated);
            }
            logged.kind = ChangeKind::Renamed;
            logged.path = change.to;
            note(folder, bWasRead);
            note(toFolder, bToWasRead);
            break;
        }
        case DiskChange::Kind::Rescanned:
            if (change.walked && (bWasRead || snapshot.Find(change.path) != FolderSnapshot::kNone))
                snapshot.Merge(std::move(*change.walked));
            logged.kind = ChangeKind::Rescanned;
            applied.bRescanned = true;
            touched.Add(change.path);
            note(folder, bWasRead);
            break;
        case DiskChange::Kind::WatchFailed:
            logged.kind = ChangeKind::WatchFailed;
            applied.bWatchFailed = true;
            break;
        case DiskChange::Kind::Gone:
            logged.kind = ChangeKind::Removed;
            logged.bytes = -BytesAt(snapshot, change.path);
            snapshot.Remove(change.path);
            touched.Add(folder);
            applied.bWatchFailed = true;
            applied.bGone = true;
            break;
        }
        log.Add(std::move(logged));
    }
    return applied;
}
