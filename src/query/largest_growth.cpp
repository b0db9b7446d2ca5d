#include "largest_growth.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace {

using Index = FolderSnapshot::Index;
constexpr Index kNone = FolderSnapshot::kNone;

// The older folder of each newer one beneath the tops, found through its parent's, and the
// bytes then of each older folder's files, each folder's names hashed once.
class OlderSide {
public:
    OlderSide(const FolderSnapshot& newer, Index top, const FolderSnapshot& older, Index olderTop)
        : m_newer(newer), m_older(older) {
        m_matched.emplace(top, olderTop);
    }
    Index Match(Index folder) {
        const auto known = m_matched.find(folder);
        if (known != m_matched.end())
            return known->second;
        const Index parent = Match(m_newer.Parent(folder));
        Index match = kNone;
        if (parent != kNone) {
            auto& names = m_subfolders[parent];
            if (names.empty())
                for (Index sub = m_older.FirstSubfolder(parent); sub != kNone;
                     sub = m_older.NextSubfolder(sub))
                    names.emplace(m_older.Name(sub), sub);
            const auto it = names.find(m_newer.Name(folder));
            match = it == names.end() ? kNone : it->second;
        }
        m_matched.emplace(folder, match);
        return match;
    }
    // The older folder's files by name (empty when it has none held).
    std::unordered_map<std::string_view, int64_t> FilesOf(Index olderFolder) const {
        std::unordered_map<std::string_view, int64_t> files;
        if (olderFolder != kNone && m_older.FilesHeld(olderFolder))
            for (uint32_t i = 0; i < m_older.OwnFileCount(olderFolder); ++i)
                files.emplace(m_older.FileName(olderFolder, i), m_older.FileSize(olderFolder, i));
        return files;
    }

private:
    const FolderSnapshot& m_newer;
    const FolderSnapshot& m_older;
    std::unordered_map<Index, Index> m_matched;
    std::unordered_map<Index, std::unordered_map<std::string_view, Index>> m_subfolders;
};

} // namespace

std::vector<FileGrowth> LargestGrowth(const FolderSnapshot& s, const SnapshotScope& scope,
                                      const FolderSnapshot& older, FolderSnapshot::Index olderTop,
                                      size_t count, const std::atomic<bool>* stop) {
    if (count == 0)
        return {};
    OlderSide olderSide(s, scope.top, older, olderTop);
    std::vector<FileGrowth> all;
    const bool walked = ForEachFolderWithFiles(s, scope, stop, [&](Index folder) {
        const auto then = olderSide.FilesOf(olderSide.Match(folder));
        for (uint32_t i = 0; i < s.OwnFileCount(folder); ++i) {
            const auto it = then.find(s.FileName(folder, i));
            all.push_back({{folder, i}, it == then.end() ? -1 : it->second});
        }
    });
    if (!walked)
        return {};
    const auto growth = [&s](const FileGrowth& g) {
        return s.FileSize(g.file.folder, g.file.file) - std::max<int64_t>(g.nBytesThen, 0);
    };
    const auto larger = [&](const FileGrowth& a, const FileGrowth& b) {
        return growth(a) > growth(b);
    };
    // The count-th largest growth: every file above it is in, ties by path.
    if (all.size() > count) {
        std::nth_element(all.begin(), all.begin() + static_cast<ptrdiff_t>(count - 1), all.end(),
                         larger);
        const int64_t threshold = growth(all[count - 1]);
        all.erase(std::remove_if(all.begin(), all.end(),
                                 [&](const FileGrowth& g) { return growth(g) < threshold; }),
                  all.end());
    }
    std::vector<FileRef> files;
    files.reserve(all.size());
    std::unordered_map<uint64_t, int64_t> thenOf;
    for (const FileGrowth& g : all) {
        files.push_back(g.file);
        thenOf.emplace(uint64_t{g.file.folder} << 32 | g.file.file, g.nBytesThen);
    }
    SortByPath(s, scope.top, files);
    std::vector<FileGrowth> result;
    result.reserve(files.size());
    for (const FileRef& f : files)
        result.push_back({f, thenOf[uint64_t{f.folder} << 32 | f.file]});
    std::stable_sort(result.begin(), result.end(), larger);
    if (result.size() > count)
        result.resize(count);
    return result;
}

std::vector<int64_t> FilesBytesThen(const FolderSnapshot& s, FolderSnapshot::Index top,
                                    const FolderSnapshot& older, FolderSnapshot::Index olderTop,
                                    const std::vector<FileRef>& files) {
    OlderSide olderSide(s, top, older, olderTop);
    std::unordered_map<Index, std::unordered_map<std::string_view, int64_t>> then;
    std::vector<int64_t> bytes;
    bytes.reserve(files.size());
    for (const FileRef& f : files) {
        auto found = then.find(f.folder);
        if (found == then.end())
            found = then.emplace(f.folder, olderSide.FilesOf(olderSide.Match(f.folder))).first;
        const auto it = found->second.find(s.FileName(f.folder, f.file));
        bytes.push_back(it == found->second.end() ? -1 : it->second);
    }
    return bytes;
}
