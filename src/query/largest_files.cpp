#include "largest_files.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <queue>

std::vector<FileRef> LargestFiles(const FolderSnapshot& s, const SnapshotScope& scope, size_t count,
                                  const std::atomic<bool>* stop, SizeMeasure measure) {
    if (count == 0)
        return {};
    // The count-th largest size: every file above it is in, and as many of the files of
    // exactly that size as there is room for, by path.
    std::priority_queue<int64_t, std::vector<int64_t>, std::greater<int64_t>> smallestKept;
    const bool walked = ForEachFolderWithFiles(s, scope, stop, [&](FolderSnapshot::Index folder) {
        const uint32_t n = s.OwnFileCount(folder);
        for (uint32_t i = 0; i < n; ++i) {
            const int64_t size = MeasuredFileSize(s, folder, i, measure);
            if (smallestKept.size() < count) {
                smallestKept.push(size);
            } else if (size > smallestKept.top()) {
                smallestKept.pop();
                smallestKept.push(size);
            }
        }
    });
    if (!walked || smallestKept.empty())
        return {};
    const int64_t threshold =
        smallestKept.size() < count ? std::numeric_limits<int64_t>::min() : smallestKept.top();

    std::vector<FileRef> above, tied;
    ForEachFolderWithFiles(s, scope, stop, [&](FolderSnapshot::Index folder) {
        const uint32_t n = s.OwnFileCount(folder);
        for (uint32_t i = 0; i < n; ++i) {
            const int64_t size = MeasuredFileSize(s, folder, i, measure);
            if (size > threshold)
                above.push_back({folder, i});
            else if (size == threshold)
                tied.push_back({folder, i});
        }
    });
    if (stop && stop->load(std::memory_order_relaxed))
        return {};
    SortByPath(s, scope.top, above);
    std::stable_sort(above.begin(), above.end(), [&](FileRef a, FileRef b) {
        return MeasuredFileSize(s, a.folder, a.file, measure) >
               MeasuredFileSize(s, b.folder, b.file, measure);
    });
    SortByPath(s, scope.top, tied);
    tied.resize(std::min(tied.size(), count - above.size()));
    above.insert(above.end(), tied.begin(), tied.end());
    return above;
}
