#include "background_scan.h"

#include <system_error>
#include <unordered_map>

#include "path_text.h"

bool BackgroundScan::Start(std::vector<std::string> subfolders, RowReadyFn onRowReady,
                           FinishedFn onFinished, unsigned threads, ScanRecording recording) {
    Stop();
    m_snapshot = FolderSnapshot();
    m_folderNode = FolderSnapshot::kNone;
    m_subfolderNodes.assign(subfolders.size(), FolderSnapshot::kNone);
    // The folder's own level goes in before the thread starts: it is readable from the first.
    if (recording.bRecord) {
        m_snapshot.SetMemoryCap(recording.nMemoryCap);
        if (!recording.folderPath.empty())
            m_folderNode = m_snapshot.RecordLevel(recording.folderPath, recording.level);
        recording.level = SnapshotLevel(); // its buffers are not needed any more
        NoteSubfolderNodes(subfolders);
    }
    m_stop = false;
    m_bRunning = true;
    try {
        m_thread =
            std::thread(&BackgroundScan::Run, this, std::move(subfolders), std::move(onRowReady),
                        std::move(onFinished), threads, recording.bRecord);
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
    m_folderNode = FolderSnapshot::kNone;
    m_subfolderNodes.clear();
    return taken;
}

void BackgroundScan::Run(std::vector<std::string> subfolders, RowReadyFn onRowReady,
                         FinishedFn onFinished, unsigned threads, bool bRecord) {
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
        nullptr, bRecord ? &m_snapshot : nullptr);
    if (result != WalkResult::Stopped && !m_stop.load() && onFinished)
        onFinished(bytes);
    m_bRunning = false;
}

void BackgroundScan::NoteSubfolderNodes(const std::vector<std::string>& subfolders) {
    if (m_folderNode == FolderSnapshot::kNone)
        return;
    // The walk records each subfolder in the node its folder's level gave it.
    std::unordered_map<std::string, FolderSnapshot::Index> byName;
    for (auto sub = m_snapshot.FirstSubfolder(m_folderNode); sub != FolderSnapshot::kNone;
         sub = m_snapshot.NextSubfolder(sub))
        byName.emplace(m_snapshot.Name(sub), sub);
    for (size_t i = 0; i < subfolders.size(); ++i) {
        const std::string& path = subfolders[i];
        const auto found = byName.find(path.substr(path.find_last_of(kPathSeparator) + 1));
        if (found != byName.end())
            m_subfolderNodes[i] = found->second;
    }
}
