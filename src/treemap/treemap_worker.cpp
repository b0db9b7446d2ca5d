#include "treemap_worker.h"

#include <utility>

TreemapWorker::TreemapWorker(ReadyFn ready, TreemapStyle style)
    : m_ready(std::move(ready)), m_style(style), m_thread(&TreemapWorker::Run, this) {}

TreemapWorker::~TreemapWorker() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bEnd = true;
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void TreemapWorker::Submit(TreemapRequest request) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_waiting = std::move(request);
        if (m_bWorking)
            m_stop = true;
    }
    m_wake.notify_one();
}

void TreemapWorker::Cancel() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_waiting.reset();
    m_done.reset();
    m_stop = true;
    m_idle.wait(lock, [this] { return !m_bWorking; });
}

std::optional<TreemapPicture> TreemapWorker::Take() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::optional<TreemapPicture> picture = std::move(m_done);
    m_done.reset();
    return picture;
}

void TreemapWorker::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_bEnd || m_waiting; });
        if (m_bEnd)
            return;
        TreemapRequest request = std::move(*m_waiting);
        m_waiting.reset();
        m_stop = false;
        m_bWorking = true;
        lock.unlock();

        TreemapPicture picture;
        picture.generation = request.generation;
        if (request.snapshot) {
            TreemapLayoutOptions options;
            options.settled = &request.settled;
            options.stop = &m_stop;
            picture.layout = LayOutTreemap(*request.snapshot, request.shown, request.width,
                                           request.height, options);
        } else {
            picture.layout = LayOutFlatTreemap(request.flat, request.width, request.height);
        }
        RenderTreemap(picture.layout, picture.pixels, m_style, &m_stop);
        picture.owned = std::move(request.owned);

        lock.lock();
        m_bWorking = false;
        const bool bKept = !m_stop;
        if (bKept)
            m_done = std::move(picture);
        m_idle.notify_all();
        if (bKept && m_ready) {
            lock.unlock();
            m_ready();
            lock.lock();
        }
    }
}
