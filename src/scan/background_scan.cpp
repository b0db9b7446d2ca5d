#include "background_scan.h"

#include <system_error>

bool BackgroundScan::Start(std::vector<std::string> subfolders, RowReadyFn onRowReady,
                           FinishedFn onFinished, unsigned threads, ScanRecording recording) {
    Stop();
    m_snapshot = FolderSnapshot();
    m_stop = false;
    m_bRunning = true;
    try {
        m_thread = std::thread(&BackgroundScan::Run, this, std::move(subfolders),
                               std::move(onRowReady), std::move(onFinished), threads,
                               std::move(recording));
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

FolderSnapshot BackgroundScan::TakeSnapshot() {
    Stop();
    FolderSnapshot taken = std::move(m_snapshot);
    m_snapshot = FolderSnapshot();
    return taken;
}

void BackgroundScan::Run(std::vector<std::string> subfolders, RowReadyFn onRowReady,
                         FinishedFn onFinished, unsigned threads, ScanRecording recording) {
    FolderSnapshot snapshot;
    if (recording.bRecord) {
        snapshot.SetMemoryCap(recording.nMemoryCap);
        if (!recording.folderPath.empty())
            snapshot.RecordLevel(recording.folderPath, recording.level);
        recording.level = SnapshotLevel(); // its buffers are not needed any more
    }

    int64_t bytes = 0;
    std::vector<FolderTotals> totals;
    std::vector<WalkResult> results;
    // Each row goes out the moment its own totals are final (the walk makes these calls
    // one at a time), so a slow subfolder holds back no other row.
    const WalkResult result = TotalFolderTrees(
        subfolders, totals, results, &m_stop, threads,
        [&](size_t index, const FolderTotals& sum, WalkResult) {
            if (m_stop.load())
                return;
            bytes += sum.nSize; // an unreadable subfolder holds nothing
            if (onRowReady)
                onRowReady(index, sum);
        },
        nullptr, recording.bRecord ? &snapshot : nullptr);
    if (recording.bRecord)
        m_snapshot = std::move(snapshot);
    if (result != WalkResult::Stopped && !m_stop.load() && onFinished)
        onFinished(bytes);
    m_bRunning = false;
}
