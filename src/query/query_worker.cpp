#include "query_worker.h"

#include <utility>

#include "largest_files.h"

QueryWorker::QueryWorker(ReadyFn ready)
    : m_ready(std::move(ready)), m_thread(&QueryWorker::Run, this) {}

QueryWorker::~QueryWorker() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bEnd = true;
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void QueryWorker::Submit(QueryRequest request) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_waiting = std::move(request);
        if (m_bWorking)
            m_stop = true;
    }
    m_wake.notify_one();
}

void QueryWorker::Cancel() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_waiting.reset();
    m_done.reset();
    m_stop = true;
    m_idle.wait(lock, [this] { return !m_bWorking; });
}

std::optional<QueryAnswer> QueryWorker::Take() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::optional<QueryAnswer> answer = std::move(m_done);
    m_done.reset();
    return answer;
}

double QueryWorker::Progress() const {
    const uint64_t total = m_progress.total.load(std::memory_order_relaxed);
    const uint64_t done = m_progress.done.load(std::memory_order_relaxed);
    return total ? static_cast<double>(done) / static_cast<double>(total) : 0.0;
}

QueryAnswer QueryWorker::Answer(const QueryRequest& request) {
    QueryAnswer answer;
    answer.generation = request.generation;
    answer.kind = request.kind;
    if (!request.snapshot || request.top == FolderSnapshot::kNone)
        return answer;
    const FolderSnapshot& s = *request.snapshot;
    switch (request.kind) {
    case QueryKind::LargestFiles:
        answer.files = LargestFiles(s, request.top, request.nLargest, &m_stop);
        break;
    case QueryKind::TypeTotals:
        answer.types = TypeTotals(s, request.top, &m_stop);
        break;
    case QueryKind::Search: {
        SearchResult result;
        SearchFiles(s, request.top, request.criteria, result, &m_stop, &m_progress);
        answer.files = std::move(result.files);
        answer.nBytes = result.nBytes;
        answer.error = std::move(result.error);
        break;
    }
    }
    return answer;
}

void QueryWorker::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_bEnd || m_waiting; });
        if (m_bEnd)
            return;
        QueryRequest request = std::move(*m_waiting);
        m_waiting.reset();
        m_stop = false;
        m_bWorking = true;
        m_progress.done = 0;
        m_progress.total = 0;
        lock.unlock();

        QueryAnswer answer = Answer(request);

        lock.lock();
        m_bWorking = false;
        m_progress.total = 0;
        const bool bKept = !m_stop;
        if (bKept)
            m_done = std::move(answer);
        m_idle.notify_all();
        if (bKept && m_ready) {
            lock.unlock();
            m_ready();
            lock.lock();
        }
    }
}
