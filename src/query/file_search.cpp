#include "file_search.h"

#include <algorithm>
#include <regex>

#include "file_times.h"
#include "name_pattern.h"

namespace {

constexpr uint32_t kRun = 32; // files searched between looks at the stop flag

} // namespace

bool SearchFiles(const FolderSnapshot& s, const SnapshotScope& scope,
                 const SearchCriteria& criteria, SearchResult& result,
                 const std::atomic<bool>* stop, SearchProgress* progress) {
    result = SearchResult();
    NamePattern pattern;
    if (!pattern.Compile(criteria.pattern, criteria.bRegex, result.error))
        return false;
    result.bValid = true;
    if (progress) {
        progress->done = 0;
        progress->total = HeldFileCount(s, scope);
    }
    const bool bDated =
        criteria.tAfter != SearchCriteria::kNoTime || criteria.tBefore != SearchCriteria::kNoTime;
    auto inTime = [&](FolderSnapshot::Index folder, uint32_t i) {
        const int64_t t = FileModifiedTime(s, folder, i);
        if (t == kUnknownFileTime)
            return false;
        return (criteria.tAfter == SearchCriteria::kNoTime || t >= criteria.tAfter) &&
               (criteria.tBefore == SearchCriteria::kNoTime || t < criteria.tBefore);
    };
    try {
        return ForEachFolderWithFiles(s, scope, stop, [&](FolderSnapshot::Index folder) {
            // A folder of many files is searched a run at a time: a stop waits for one
            // run, not the whole folder (a regular expression may take long over it), and
            // the progress moves within it.
            const uint32_t n = s.OwnFileCount(folder);
            for (uint32_t first = 0; first < n; first += kRun) {
                if (stop && stop->load(std::memory_order_relaxed))
                    return; // the walk sees the flag and says the search stopped
                const uint32_t end = std::min(n, first + kRun);
                for (uint32_t i = first; i < end; ++i) {
                    const int64_t size = MeasuredFileSize(s, folder, i, criteria.measure);
                    if (size < criteria.nMinBytes || (bDated && !inTime(folder, i)) ||
                        !pattern.Matches(s.FileName(folder, i)))
                        continue;
                    result.files.push_back({folder, i});
                    result.nBytes += size;
                }
                if (progress)
                    progress->done.fetch_add(end - first, std::memory_order_relaxed);
            }
        });
    } catch (const std::regex_error&) {
        // The engine gave up on a name (a pattern that backtracks without end).
        result = SearchResult();
        result.error = "Invalid regular expression: too complex.";
        return false;
    }
}
