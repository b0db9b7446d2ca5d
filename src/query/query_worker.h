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

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "file_search.h"
#include "type_totals.h"

enum class QueryKind { LargestFiles, TypeTotals, Search };

struct QueryRequest {
    QueryKind kind = QueryKind::LargestFiles;
    const FolderSnapshot* snapshot = nullptr;
    FolderSnapshot::Index top = FolderSnapshot::kNone;
    size_t nLargest = 1000;  // LargestFiles: how many
    SearchCriteria criteria; // Search
    unsigned generation = 0; // the view's number for it, handed back with the answer
};

struct QueryAnswer {
    unsigned generation = 0;
    QueryKind kind = QueryKind::LargestFiles;
    std::vector<FileRef> files;   // LargestFiles, Search
    std::vector<TypeTotal> types; // TypeTotals
    int64_t nBytes = 0;           // Search: of the files found
    std::string error;            // Search: why the pattern is not valid; nothing else is set
};

class QueryWorker {
public:
    // An answer waits. Runs on the worker's thread; must not wait for the view's.
    using ReadyFn = std::function<void()>;

    explicit QueryWorker(ReadyFn ready);
    ~QueryWorker();
    QueryWorker(const QueryWorker&) = delete;
    QueryWorker& operator=(const QueryWorker&) = delete;

    // Replaces whatever waits or is in work.
    void Submit(QueryRequest request);
    // Drops what waits, stops what is in work and returns once no snapshot of a request is
    // read any more. An answer already finished is dropped too.
    void Cancel();
    // The newest answer, once.
    std::optional<QueryAnswer> Take();
    // How far the search in work has come, from 0 to 1 (0 when none is in work).
    double Progress() const;

private:
    void Run();
    QueryAnswer Answer(const QueryRequest& request);

    const ReadyFn m_ready;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake; // a request waits, or the worker is to end
    std::condition_variable m_idle; // the request in work was given up or finished
    std::optional<QueryRequest> m_waiting;
    std::optional<QueryAnswer> m_done;
    bool m_bWorking = false;
    bool m_bEnd = false;
    std::atomic<bool> m_stop{false};
    SearchProgress m_progress;
    std::thread m_thread; // last: started once everything above is in place
};
