#pragma once
// A thread that answers the newest request only. The owner (on the user-interface thread)
// submits a request; the worker works it out and tells the owner through ReadyFn that an
// answer waits, and the owner takes it on its own thread. A request submitted while another
// is in work stops that one, and an answer to a replaced request is never handed out.
//
// What a request reads must stay unchanged while the worker may read it: the owner calls
// Cancel before it changes it. Cancel stops the work in progress (the work looks at the stop
// flag it is given often enough to stop within milliseconds) and returns once the worker
// reads nothing of the request any more. The worker never waits for the owner.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

template <typename Request, typename Answer> class NewestWinsWorker {
public:
    // Works a request out on the worker's thread; may give up once `stop` is raised (what it
    // returns then is dropped).
    using WorkFn = std::function<Answer(Request& request, const std::atomic<bool>* stop)>;
    // An answer waits. Runs on the worker's thread; must not wait for the owner's.
    using ReadyFn = std::function<void()>;

    NewestWinsWorker(WorkFn work, ReadyFn ready)
        : m_work(std::move(work)), m_ready(std::move(ready)),
          m_thread(&NewestWinsWorker::Run, this) {}
    ~NewestWinsWorker() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bEnd = true;
            m_stop = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }
    NewestWinsWorker(const NewestWinsWorker&) = delete;
    NewestWinsWorker& operator=(const NewestWinsWorker&) = delete;

    // Replaces whatever waits or is in work.
    void Submit(Request request) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_waiting = std::move(request);
            if (m_bWorking)
                m_stop = true;
        }
        m_wake.notify_one();
    }

    // Drops what waits, stops what is in work and returns once nothing of a request is read
    // any more. An answer already finished is dropped too.
    void Cancel() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_waiting.reset();
        m_done.reset();
        m_stop = true;
        m_idle.wait(lock, [this] { return !m_bWorking; });
    }

    // The newest answer, once.
    std::optional<Answer> Take() {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::optional<Answer> answer = std::move(m_done);
        m_done.reset();
        return answer;
    }

private:
    void Run() {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_bEnd || m_waiting; });
            if (m_bEnd)
                return;
            Request request = std::move(*m_waiting);
            m_waiting.reset();
            m_stop = false;
            m_bWorking = true;
            lock.unlock();

            Answer answer = m_work(request, &m_stop);

            lock.lock();
            m_bWorking = false;
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

    const WorkFn m_work;
    const ReadyFn m_ready;
    std::mutex m_mutex;
    std::condition_variable m_wake; // a request waits, or the worker is to end
    std::condition_variable m_idle; // the request in work was given up or finished
    std::optional<Request> m_waiting;
    std::optional<Answer> m_done;
    bool m_bWorking = false;
    bool m_bEnd = false;
    std::atomic<bool> m_stop{false};
    std::thread m_thread; // last: started once everything above is in place
};
