#include "snapshot_candidates.h"

#include <algorithm>
#include <map>
#include <utility>

#include "path_text.h"
#include "snapshot_files.h"

bool CollectDuplicateCandidates(const FolderSnapshot& s, FolderSnapshot::Index top, int64_t minSize,
                                SnapshotCandidates& candidates,
                                const std::vector<LinkedName>* links,
                                const std::atomic<bool>* stop) {
    candidates = SnapshotCandidates();
    // Sizes first, 16 bytes a file, sorted so that sizes shared by several files are runs.
    std::vector<std::pair<int64_t, FileRef>> sized;
    const int64_t least = std::max<int64_t>(1, minSize);
    const bool bWhole = ForEachFolderWithFiles(s, top, stop, [&](FolderSnapshot::Index folder) {
        for (uint32_t i = 0; i < s.OwnFileCount(folder); ++i) {
            const int64_t size = s.FileSize(folder, i);
            if (size >= least)
                sized.push_back({size, FileRef{folder, i}});
        }
    });
    if (!bWhole)
        return false;
    std::sort(sized.begin(), sized.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first
                                  : std::make_pair(a.second.folder, a.second.file) <
                                        std::make_pair(b.second.folder, b.second.file);
    });
    std::vector<FileRef> shared;
    for (size_t i = 0; i < sized.size();) {
        size_t end = i + 1;
        while (end < sized.size() && sized[end].first == sized[i].first)
            ++end;
        if (end - i >= 2)
            for (size_t k = i; k < end; ++k)
                shared.push_back(sized[k].second);
        i = end;
    }
    sized = {};
    // A folder's path is formed once for all its files.
    std::sort(shared.begin(), shared.end(), [](const FileRef& a, const FileRef& b) {
        return std::make_pair(a.folder, a.file) < std::make_pair(b.folder, b.file);
    });
    std::map<std::pair<uint32_t, uint32_t>, const LinkedName*> linked;
    if (links)
        for (const LinkedName& name : *links)
            linked[{name.folder, name.file}] = &name;
    std::string folderPath;
    FolderSnapshot::Index pathOf = FolderSnapshot::kNone;
    candidates.files.reserve(shared.size());
    candidates.modified.reserve(shared.size());
    for (const FileRef& ref : shared) {
        if (stop && stop->load(std::memory_order_relaxed))
            return false;
        if (ref.folder != pathOf) {
            folderPath = s.PathOf(ref.folder);
            pathOf = ref.folder;
        }
        DuplicateCandidate file;
        file.path = JoinPath(folderPath, s.FileName(ref.folder, ref.file));
        file.size = s.FileSize(ref.folder, ref.file);
        const auto found = linked.find({ref.folder, ref.file});
        if (found != linked.end()) {
            file.device = found->second->device;
            file.fileId = found->second->id;
        }
        candidates.files.push_back(std::move(file));
        candidates.modified.push_back(s.FileModified(ref.folder, ref.file));
    }
    return true;
}
