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
    SetMethod(ScanMethod());
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
                        std::move(onFinished), threads, std::move(recording));
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

ScanMethod BackgroundScan::Method() const {
    std::lock_guard<std::mutex> lock(m_methodLock);
    return m_method;
}

void BackgroundScan::SetMethod(ScanMethod method) {
    std::lock_guard<std::mutex> lock(m_methodLock);
    m_method = std::move(method);
}

void BackgroundScan::Run(std::vector<std::string> subfolders, RowReadyFn onRowReady,
                         FinishedFn onFinished, unsigned threads, ScanRecording recording) {
    const bool bRecord = recording.bRecord;
    // A folder without subfolders has nothing to total: no table is worth reading for it.
    if (m_source && bRecord && !recording.folderPath.empty() && !subfolders.empty() &&
        TakeWholeTree(recording, subfolders, onRowReady, onFinished)) {
        m_bRunning = false;
        return;
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

bool BackgroundScan::TakeWholeTree(const ScanRecording& recording,
                                   const std::vector<std::string>& subfolders,
                                   const RowReadyFn& onRowReady, const FinishedFn& onFinished) {
    ScanMethod method;
    FolderSnapshot tree;
    tree.SetMemoryCap(recording.nMemoryCap);
    const std::string& folderPath = recording.folderPath;
    const auto reading = [this] {
        ScanMethod now;
        now.way = ScanMethod::Way::ReadingWhole;
        SetMethod(now);
    };
    method.outcome =
        m_source->Read(folderPath, recording.nKnownEntries, m_stop, reading, tree, method.why);
    if (m_stop.load()) {
        SetMethod(ScanMethod()); // stopped: nothing more to hand out, nothing to tell
        return true;
    }
    if (method.outcome != WholeTreeSource::Outcome::Read) {
        SetMethod(method);
        return false;
    }
    // Every listed subfolder must be in the tree, final: one made since it was listed, or
    // one the tree does not finish, is walked, and so is everything else with it.
    const FolderSnapshot::Index folder = tree.Find(folderPath);
    std::vector<FolderSnapshot::Index> nodes;
    std::vector<FolderTotals> totals(subfolders.size());
    for (size_t i = 0; i < subfolders.size() && folder != FolderSnapshot::kNone; ++i) {
        const std::string& path = subfolders[i];
        const std::string name = path.substr(path.find_last_of(kPathSeparator) + 1);
        const FolderSnapshot::Index node = tree.FindSubfolder(folder, name.c_str());
        if (node == FolderSnapshot::kNone || !tree.GetTotals(node, totals[i])) {
            method.outcome = WholeTreeSource::Outcome::Failed;
            method.why = name + " is not in it";
            SetMethod(method);
            return false;
        }
        nodes.push_back(node);
    }
    if (folder == FolderSnapshot::kNone) {
        method.outcome = WholeTreeSource::Outcome::Failed;
        method.why = "the folder is not in it";
        SetMethod(method);
        return false;
    }
    method.way = ScanMethod::Way::WholeRead;
    SetMethod(method);
    int64_t bytes = 0;
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (m_stop.load())
            return true;
        // Past the cap the subfolder stays known by name only, as a walk leaves it.
        if (m_subfolderNodes[i] != FolderSnapshot::kNone)
            m_snapshot.Graft(m_subfolderNodes[i], tree, nodes[i]);
        bytes += totals[i].nSize;
        if (onRowReady)
            onRowReady(i, totals[i]);
    }
    if (!m_stop.load() && onFinished)
        onFinished(bytes);
    return true;
}
