#include "background_scan.h"

#include <system_error>

bool BackgroundScan::Start(std::vector<std::string> subfolders, RowReadyFn onRowReady,
                           FinishedFn onFinished, unsigned threads) {
    Stop();
    m_stop = false;
    m_bRunning = true;
    try {
        m_thread = std::thread(&BackgroundScan::Run, this, std::move(subfolders),
                               std::move(onRowReady), std::move(onFinished), threads);
    } catch (const std::system_error&) {
        m_bRunning = false;
        return false;
    }
    return true;
}

void BackgroundScan::Stop() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    m_bRunning = false;
}

void BackgroundScan::Run(std::vector<std::string> subfolders, RowReadyFn onRowReady,
                         FinishedFn onFinished, unsigned threads) {
    // Results that came in ahead of an earlier subfolder wait here until it is done.
    std::vector<FolderTotals> ready(subfolders.size());
    std::vector<bool> done(subfolders.size(), false);
    size_t next = 0;
    int64_t bytes = 0;

    std::vector<FolderTotals> totals;
    std::vector<WalkResult> results;
    const WalkResult result =
        TotalFolderTrees(subfolders, totals, results, &m_stop, threads,
                         [&](size_t index, const FolderTotals& sum, WalkResult) {
                             ready[index] = sum; // an unreadable subfolder holds nothing
                             done[index] = true;
                             for (; next < done.size() && done[next]; ++next) {
                                 if (m_stop.load())
                                     return;
                                 bytes += ready[next].nSize;
                                 if (onRowReady)
                                     onRowReady(next, ready[next]);
                             }
                         });
    if (result != WalkResult::Stopped && !m_stop.load() && onFinished)
        onFinished(bytes);
    m_bRunning = false;
}
