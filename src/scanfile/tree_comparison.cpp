#include "tree_comparison.h"

#include <string_view>
#include <unordered_map>
#include <utility>

namespace {

using Index = FolderSnapshot::Index;
constexpr Index kNone = FolderSnapshot::kNone;

// The entries of one older folder by name, each matched at most once.
class OlderNames {
public:
    void Clear() {
        m_index.clear();
        m_matched.clear();
    }
    void Add(std::string_view name, uint32_t at) {
        if (m_index.emplace(name, at).second && m_matched.size() <= at)
            m_matched.resize(at + 1, false);
    }
    // The entry named `name` not matched yet, now matched; SIZE_MAX for none.
    size_t Match(std::string_view name) {
        const auto it = m_index.find(name);
        if (it == m_index.end() || m_matched[it->second])
            return SIZE_MAX;
        m_matched[it->second] = true;
        return it->second;
    }
    bool IsMatched(uint32_t at) const { return at < m_matched.size() && m_matched[at]; }

private:
    std::unordered_map<std::string_view, uint32_t> m_index;
    std::vector<bool> m_matched;
};

std::vector<Index> SubfoldersOf(const FolderSnapshot& s, Index folder) {
    std::vector<Index> subfolders;
    for (Index sub = s.FirstSubfolder(folder); sub != kNone; sub = s.NextSubfolder(sub))
        subfolders.push_back(sub);
    return subfolders;
}

int64_t TotalOf(const FolderSnapshot& s, Index folder) {
    FolderTotals totals;
    return s.GetTotals(folder, totals) ? totals.nSize : 0;
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

} // namespace

FolderSnapshot::Index FindBeneath(const FolderSnapshot& snapshot, FolderSnapshot::Index root,
                                  const std::string& relative) {
    Index folder = root;
    size_t at = 0;
    while (folder != kNone && at < relative.size()) {
        size_t end = at;
        while (end < relative.size() && !IsSeparator(relative[end]))
            ++end;
        if (end > at)
            folder = snapshot.FindSubfolder(folder, relative.substr(at, end - at).c_str());
        at = end + 1;
    }
    return folder;
}

LevelChanges CompareLevel(const FolderSnapshot& older, FolderSnapshot::Index olderFolder,
                          const std::vector<FolderEntry>& folders,
                          const std::vector<FolderEntry>& files) {
    LevelChanges changes;
    changes.folderBytesThen.assign(folders.size(), -1);
    changes.fileBytesThen.assign(files.size(), -1);
    if (olderFolder == kNone)
        return changes;
    changes.nBytesThen = TotalOf(older, olderFolder);

    const std::vector<Index> subfolders = SubfoldersOf(older, olderFolder);
    OlderNames names;
    for (uint32_t i = 0; i < subfolders.size(); ++i)
        names.Add(older.Name(subfolders[i]), i);
    for (size_t i = 0; i < folders.size(); ++i) {
        const size_t at = names.Match(folders[i].strName);
        if (at != SIZE_MAX)
            changes.folderBytesThen[i] = TotalOf(older, subfolders[at]);
    }
    for (uint32_t i = 0; i < subfolders.size(); ++i)
        if (!names.IsMatched(i))
            changes.gone.push_back(
                {older.Name(subfolders[i]), true, TotalOf(older, subfolders[i])});

    names.Clear();
    const uint32_t nFiles = older.FilesHeld(olderFolder) ? older.OwnFileCount(olderFolder) : 0;
    for (uint32_t i = 0; i < nFiles; ++i)
        names.Add(older.FileName(olderFolder, i), i);
    for (size_t i = 0; i < files.size(); ++i) {
        const size_t at = names.Match(files[i].strName);
        if (at != SIZE_MAX)
            changes.fileBytesThen[i] = older.FileSize(olderFolder, static_cast<uint32_t>(at));
    }
    for (uint32_t i = 0; i < nFiles; ++i)
        if (!names.IsMatched(i))
            changes.gone.push_back(
                {older.FileName(olderFolder, i), false, older.FileSize(olderFolder, i)});
    return changes;
}

bool WalkFileChanges(const FolderSnapshot& older, FolderSnapshot::Index olderRoot,
                     const FolderSnapshot& newer, FolderSnapshot::Index newerRoot,
                     FileChangeVisitor& visitor, const std::atomic<bool>* stop) {
    // Folders still to compare: a newer one with its older match (kNone: new), or an older
    // one alone (kNone newer: gone).
    std::vector<std::pair<Index, Index>> pending{{newerRoot, olderRoot}};
    std::vector<Index> olderSubfolders;
    OlderNames names;
    while (!pending.empty()) {
        if (stop && stop->load(std::memory_order_relaxed))
            return false;
        const auto [now, then] = pending.back();
        pending.pop_back();
        if (now == kNone) {
            const uint32_t n = older.FilesHeld(then) ? older.OwnFileCount(then) : 0;
            for (uint32_t i = 0; i < n; ++i)
                visitor.GoneFile(then, i);
            for (Index sub = older.FirstSubfolder(then); sub != kNone;
                 sub = older.NextSubfolder(sub))
                pending.emplace_back(kNone, sub);
            continue;
        }
        const uint32_t nNow = newer.FilesHeld(now) ? newer.OwnFileCount(now) : 0;
        if (then == kNone) {
            for (uint32_t i = 0; i < nNow; ++i)
                visitor.File(now, i, -1);
            for (Index sub = newer.FirstSubfolder(now); sub != kNone;
                 sub = newer.NextSubfolder(sub))
                pending.emplace_back(sub, kNone);
            continue;
        }
        names.Clear();
        const uint32_t nThen = older.FilesHeld(then) ? older.OwnFileCount(then) : 0;
        for (uint32_t i = 0; i < nThen; ++i)
            names.Add(older.FileName(then, i), i);
        for (uint32_t i = 0; i < nNow; ++i) {
            const size_t at = names.Match(newer.FileName(now, i));
            visitor.File(now, i,
                         at == SIZE_MAX ? -1 : older.FileSize(then, static_cast<uint32_t>(at)));
        }
        for (uint32_t i = 0; i < nThen; ++i)
            if (!names.IsMatched(i))
                visitor.GoneFile(then, i);

        names.Clear();
        olderSubfolders = SubfoldersOf(older, then);
        for (uint32_t i = 0; i < olderSubfolders.size(); ++i)
            names.Add(older.Name(olderSubfolders[i]), i);
        for (Index sub = newer.FirstSubfolder(now); sub != kNone; sub = newer.NextSubfolder(sub)) {
            const size_t at = names.Match(newer.Name(sub));
            pending.emplace_back(sub, at == SIZE_MAX ? kNone : olderSubfolders[at]);
        }
        for (uint32_t i = 0; i < olderSubfolders.size(); ++i)
            if (!names.IsMatched(i))
                pending.emplace_back(kNone, olderSubfolders[i]);
    }
    return true;
}

namespace {

class ChangeCounter : public FileChangeVisitor {
public:
    ChangeCounter(const FolderSnapshot& older, const FolderSnapshot& newer)
        : m_older(older), m_newer(newer) {}
    void File(Index newerFolder, uint32_t file, int64_t nBytesThen) override {
        const int64_t nNow = m_newer.FileSize(newerFolder, file);
        if (nBytesThen < 0) {
            ++counts.nNew;
            counts.nGrowth += nNow;
        } else if (nNow > nBytesThen) {
            ++counts.nGrown;
            counts.nGrowth += nNow - nBytesThen;
        } else if (nNow < nBytesThen) {
            ++counts.nShrunk;
            counts.nShrinkage += nBytesThen - nNow;
        } else {
            ++counts.nSame;
        }
    }
    void GoneFile(Index olderFolder, uint32_t file) override {
        ++counts.nGone;
        counts.nShrinkage += m_older.FileSize(olderFolder, file);
    }
    TreeChangeCounts counts;

private:
    const FolderSnapshot& m_older;
    const FolderSnapshot& m_newer;
};

} // namespace

TreeChangeCounts CountFileChanges(const FolderSnapshot& older, FolderSnapshot::Index olderRoot,
                                  const FolderSnapshot& newer, FolderSnapshot::Index newerRoot) {
    ChangeCounter counter(older, newer);
    WalkFileChanges(older, olderRoot, newer, newerRoot, counter);
    return counter.counts;
}
