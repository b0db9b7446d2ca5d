#include "query_worker.h"

#include <utility>

#include "largest_files.h"
#include "largest_growth.h"

QueryWorker::QueryWorker(ReadyFn ready)
    : m_worker([this](QueryRequest& request,
                      const std::atomic<bool>* stop) { return Answer(request, stop); },
               std::move(ready)) {}

double QueryWorker::Progress() const {
    const uint64_t total = m_progress.total.load(std::memory_order_relaxed);
    const uint64_t done = m_progress.done.load(std::memory_order_relaxed);
    return total ? static_cast<double>(done) / static_cast<double>(total) : 0.0;
}

const std::vector<TypeTotal>& QueryWorker::TypesThen(const QueryRequest& request) {
    if (m_typesThenOf.lock() != request.older || m_typesThenTop != request.olderTop) {
        m_typesThenOf = request.older;
        m_typesThenTop = request.olderTop;
        m_typesThen = request.olderTop == FolderSnapshot::kNone
                          ? std::vector<TypeTotal>()
                          : TypeTotals(*request.older, SnapshotScope(request.olderTop));
    }
    return m_typesThen;
}

QueryAnswer QueryWorker::Answer(const QueryRequest& request, const std::atomic<bool>* stop) {
    QueryAnswer answer;
    answer.generation = request.generation;
    answer.kind = request.kind;
    answer.measure = request.measure;
    if (!request.snapshot || request.scope.top == FolderSnapshot::kNone)
        return answer;
    const FolderSnapshot& s = *request.snapshot;
    switch (request.kind) {
    case QueryKind::LargestFiles:
        answer.files = LargestFiles(s, request.scope, request.nLargest, stop, request.measure);
        if (request.older)
            answer.bytesThen = FilesBytesThen(s, request.scope.top, *request.older,
                                              request.olderTop, answer.files);
        break;
    case QueryKind::LargestGrowth:
        if (request.older)
            for (const FileGrowth& g : LargestGrowth(s, request.scope, *request.older,
                                                     request.olderTop, request.nLargest, stop)) {
                answer.files.push_back(g.file);
                answer.bytesThen.push_back(g.nBytesThen);
            }
        break;
    case QueryKind::TypeTotals:
        answer.types = TypeTotals(s, request.scope, stop, request.measure);
        if (request.older)
            answer.bytesThen = TypeBytesThen(answer.types, TypesThen(request));
        break;
    case QueryKind::Search: {
        SearchResult result;
        m_progress.done = 0;
        m_progress.total = 0;
        SearchCriteria criteria = request.criteria;
        criteria.measure = request.measure;
        SearchFiles(s, request.scope, criteria, result, stop, &m_progress);
        m_progress.total = 0; // none in work any more
        answer.files = std::move(result.files);
        answer.nBytes = result.nBytes;
        answer.error = std::move(result.error);
        break;
    }
    }
    return answer;
}
