#pragma once
// Totals the subfolders of the shown folder on a thread of its own, and hands each
// subfolder's totals out as soon as they are final, in whatever order the subfolders finish;
// later subfolders may be totalled ahead of earlier ones, in parallel.
//
// The callbacks run on the scan thread. They must not wait for the thread that calls
// Stop() (post a message rather than send one): Stop() waits for the scan thread.
//
// Asked to, the scan also records what it walks (folder_snapshot.h): the scan thread builds a
// snapshot of its own, which nobody else touches while the scan runs, and TakeSnapshot hands
// it to the owner once the scan has ended (finished or stopped), to be merged into the
// owner's snapshot on the owner's thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "folder_snapshot.h"
#include "tree_totals.h"

// What the scan is to record besides the totals.
struct ScanRecording {
    bool bRecord = false; // false: the scan keeps nothing beyond the totals it hands out
    // The folder whose subfolders are scanned and its own level as the caller listed it
    // (its files and its subfolders, the scanned ones among them): recorded first, so
    // the snapshot holds the folder itself as read, final once every subfolder is.
    // Empty: the subfolders are recorded under a placeholder.
    std::string folderPath;
    SnapshotLevel level;
    // What the scan's snapshot may take: the owner's cap less what its own snapshot holds.
    uint64_t nMemoryCap = FolderSnapshot::kDefaultMemoryCap;
};

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

    // Stops a running scan, then starts one over `subfolders` (full paths; a row's index is
    // its position here). What an earlier scan recorded and was not taken is dropped. False
    // when no thread could be started.
    bool Start(std::vector<std::string> subfolders, RowReadyFn onRowReady, FinishedFn onFinished,
               unsigned threads = 0, ScanRecording recording = ScanRecording());

    // Raises the stop flag and waits for the scan thread: no callback runs after this.
    // Every walking thread honours the flag between entries, so this takes milliseconds.
    void Stop();

    // Stops the scan if it still runs (as Stop does), then hands over what it recorded:
    // every subfolder that finished is final in it, one that was stopped is not (see
    // folder_snapshot.h). Empty when nothing was recorded or it was taken already.
    FolderSnapshot TakeSnapshot();

    // True from Start until the scan has handed out its last result or was stopped.
    bool IsRunning() const { return m_bRunning.load(); }

private:
    void Run(std::vector<std::string> subfolders, RowReadyFn onRowReady, FinishedFn onFinished,
             unsigned threads, ScanRecording recording);

    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_bRunning{false};
    // Written by the scan thread before it ends; read by the owner only after joining it.
    FolderSnapshot m_snapshot;
};
