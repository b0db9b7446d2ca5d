#pragma once
// Totals the subfolders of the shown folder on a thread of its own, and hands each
// subfolder's totals out in name order: a row as soon as it and every row before it
// is known. Later subfolders may be totalled ahead, in parallel.
//
// The callbacks run on the scan thread. They must not wait for the thread that calls
// Stop() (post a message rather than send one): Stop() waits for the scan thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tree_totals.h"

class BackgroundScan {
public:
    // Subfolder `index` (its position in the list given to Start) is totalled.
    using RowReadyFn = std::function<void(size_t index, const FolderTotals& totals)>;
    // Every subfolder is totalled: the exact sum of their bytes. Not called when stopped.
    using FinishedFn = std::function<void(int64_t subfolderBytes)>;

    BackgroundScan() = default;
    ~BackgroundScan() { Stop(); }
    BackgroundScan(const BackgroundScan&) = delete;
    BackgroundScan& operator=(const BackgroundScan&) = delete;

    // Stops a running scan, then starts one over `subfolders` (full paths, in the
    // order the rows are to be handed out). False when no thread could be started.
    bool Start(std::vector<std::string> subfolders, RowReadyFn onRowReady, FinishedFn onFinished,
               unsigned threads = 0);

    // Raises the stop flag and waits for the scan thread: no callback runs after this.
    // Every walking thread honours the flag between entries, so this takes milliseconds.
    void Stop();

    // True from Start until the scan has handed out its last result or was stopped.
    bool IsRunning() const { return m_bRunning.load(); }

private:
    void Run(std::vector<std::string> subfolders, RowReadyFn onRowReady, FinishedFn onFinished,
             unsigned threads);

    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_bRunning{false};
};
