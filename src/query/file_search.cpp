#include "file_search.h"

#include <regex>

#include "file_times.h"
#include "name_pattern.h"

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
            const uint32_t n = s.OwnFileCount(folder);
            for (uint32_t i = 0; i < n; ++i) {
                const int64_t size = s.FileSize(folder, i);
                if (size < criteria.nMinBytes || (bDated && !inTime(folder, i)) ||
                    !pattern.Matches(s.FileName(folder, i)))
                    continue;
                result.files.push_back({folder, i});
                result.nBytes += size;
            }
            if (progress)
                progress->done.fetch_add(n, std::memory_order_relaxed);
        });
    } catch (const std::regex_error&) {
        // The engine gave up on a name (a pattern that backtracks without end).
        result = SearchResult();
        result.error = "Invalid regular expression: too complex.";
        return false;
    }
}
