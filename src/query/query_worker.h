#pragma once
// A view's queries run on a thread of their own: the view (on the user-interface thread)
// submits what to ask, the worker answers and tells the view through ReadyFn that an answer
// waits; the view takes it on its own thread. Only the newest request counts: one submitted
// while another is in work stops that one, and an answer to a replaced request is never
// handed out. One worker per view, so views do not replace each other's requests.
//
// The snapshot a request reads must stay unchanged while the worker may read it: the view
// calls Cancel before the snapshot changes. Cancel stops the work in progress (every query
// looks at the stop flag between folders) and returns once the worker reads nothing of it
// any more. The worker never waits for the view.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "file_search.h"
#include "newest_wins_worker.h"
#include "type_totals.h"

enum class QueryKind { LargestFiles, LargestGrowth, TypeTotals, Search };

struct QueryRequest {
    QueryKind kind = QueryKind::LargestFiles;
    const FolderSnapshot* snapshot = nullptr;
    SnapshotScope scope;    // what is read of it: everything beneath a folder, or what is final
    size_t nLargest = 1000; // LargestFiles, LargestGrowth: how many
    // While comparing (LargestFiles, LargestGrowth, TypeTotals): the older scan (never changed
    // while shared) and its folder matching the scope's top.
    std::shared_ptr<const FolderSnapshot> older;
    FolderSnapshot::Index olderTop = FolderSnapshot::kNone;
    SearchCriteria criteria; // Search
    // The size files are ranked, totalled and filtered by (for Search, criteria.measure).
    SizeMeasure measure = SizeMeasure::Bytes;
    unsigned generation = 0; // the view's number for it, handed back with the answer
};

struct QueryAnswer {
    unsigned generation = 0;
    QueryKind kind = QueryKind::LargestFiles;
    SizeMeasure measure = SizeMeasure::Bytes; // as asked
    std::vector<FileRef> files;               // LargestFiles, LargestGrowth, Search
    // While comparing: each file's (or type's) bytes then (-1: new).
    std::vector<int64_t> bytesThen;
    std::vector<TypeTotal> types; // TypeTotals
    int64_t nBytes = 0;           // Search: of the files found
    std::string error;            // Search: why the pattern is not valid; nothing else is set
};

class QueryWorker {
public:
    // An answer waits. Runs on the worker's thread; must not wait for the view's.
    using ReadyFn = std::function<void()>;

    explicit QueryWorker(ReadyFn ready);

    // Replaces whatever waits or is in work.
    void Submit(QueryRequest request) { m_worker.Submit(std::move(request)); }
    // Drops what waits, stops what is in work and returns once no snapshot of a request is
    // read any more. An answer already finished is dropped too.
    void Cancel() { m_worker.Cancel(); }
    // The newest answer, once.
    std::optional<QueryAnswer> Take() { return m_worker.Take(); }
    // How far the search in work has come, from 0 to 1 (0 when none is in work).
    double Progress() const;

private:
    QueryAnswer Answer(const QueryRequest& request, const std::atomic<bool>* stop);
    // The older scan's types beneath the request's older folder: totalled once per older
    // folder (tens of milliseconds for a million files), not for every answer of a running
    // scan. Worker thread only.
    const std::vector<TypeTotal>& TypesThen(const QueryRequest& request);

    SearchProgress m_progress;
    std::weak_ptr<const FolderSnapshot> m_typesThenOf; // never keeps an ended comparison
    FolderSnapshot::Index m_typesThenTop = FolderSnapshot::kNone;
    std::vector<TypeTotal> m_typesThen;
    NewestWinsWorker<QueryRequest, QueryAnswer> m_worker; // last: its thread reads the above
};
