#include "folder_scan_controller.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "entry_info.h"
#include "path_text.h"
#include "volume_table_source.h"

FolderScanController::FolderScanController() {
    m_scan.SetWholeTreeSource(std::make_shared<VolumeTableSource>());
}

void FolderScanController::BeginFolder() {
    Clear();
    m_bMethodKnown = false;
    m_folderPath.clear();
    m_nFileBytes = 0;
    m_nFileDiskBytes = 0;
    m_nTotalSize = 0;
    m_nTotalDiskSize = 0;
}

void FolderScanController::SetListing(const std::string& folderPath,
                                      std::vector<FolderEntry> subfolders,
                                      const std::vector<FolderEntry>& files) {
    Stop();
    m_folderPath = folderPath;
    m_subfolders = std::move(subfolders);
    for (FolderEntry& entry : m_subfolders) {
        entry.nSize = -1; // not totalled yet
        entry.nDiskSize = -1;
    }
    TakeLevel(files);
}

void FolderScanController::TakeLevel(const std::vector<FolderEntry>& files) {
    m_nFileBytes = 0;
    m_nFileDiskBytes = 0;
    m_level.Clear();
    for (const FolderEntry& file : files) {
        m_nFileBytes += file.nSize;
        m_nFileDiskBytes += FolderSnapshot::CountedDiskBytes(file.nDiskSize);
        m_level.AddFile(file.strName.c_str(), file.nSize, file.tModified, file.nDiskSize);
    }
    for (const FolderEntry& entry : m_subfolders)
        m_level.AddFolder(entry.strName.c_str(), false, entry.tModified);
}

void FolderScanController::TakeEditedLevel(std::vector<FolderEntry> subfolders,
                                           const std::vector<FolderEntry>& files,
                                           const RowFn& onRow) {
    m_subfolders = std::move(subfolders);
    TakeLevel(files);
    TakeSnapshotTotals(onRow);
    TakeTotalFromSnapshot();
}

size_t FolderScanController::FillFromSnapshot() {
    return TakeSnapshotTotals(nullptr);
}

size_t FolderScanController::TakeSnapshotTotals(const RowFn& onRow) {
    const FolderSnapshot::Index folder = m_snapshot.Find(m_folderPath);
    if (folder == FolderSnapshot::kNone || !m_snapshot.IsRead(folder))
        return 0;
    m_snapshot.MarkShown(m_folderPath);
    // The folder's subfolders by their exact names, looked through once.
    std::unordered_map<std::string, FolderSnapshot::Index> known;
    for (FolderSnapshot::Index sub = m_snapshot.FirstSubfolder(folder);
         sub != FolderSnapshot::kNone; sub = m_snapshot.NextSubfolder(sub))
        known.emplace(m_snapshot.Name(sub), sub);
    size_t nFilled = 0;
    int64_t nBytes = m_nFileBytes;
    int64_t nDiskBytes = m_nFileDiskBytes;
    for (size_t i = 0; i < m_subfolders.size(); ++i) {
        const auto found = known.find(m_subfolders[i].strName);
        FolderTotals totals;
        if (found == known.end() || !m_snapshot.GetTotals(found->second, totals))
            continue;
        const FolderEntry& entry = m_subfolders[i];
        const bool bChanged = entry.nSize != totals.nSize || entry.nDiskSize != totals.nDiskSize ||
                              entry.nFolders != totals.nFolders || entry.nFiles != totals.nFiles;
        ApplyTotals(i, totals);
        nBytes += totals.nSize;
        nDiskBytes += totals.nDiskSize;
        ++nFilled;
        if (bChanged && onRow)
            onRow(i);
    }
    if (nFilled > 0 && nFilled == m_subfolders.size()) {
        m_nTotalSize = nBytes;
        m_nTotalDiskSize = nDiskBytes;
    }
    return nFilled;
}

bool FolderScanController::FillHeldFolder() {
    const FolderSnapshot::Index folder = m_snapshot.Find(m_folderPath);
    FolderTotals totals;
    if (folder == FolderSnapshot::kNone || !m_snapshot.IsHeld(folder) ||
        !m_snapshot.GetTotals(folder, totals))
        return false;
    FillFromSnapshot();
    m_nTotalSize = totals.nSize;
    m_nTotalDiskSize = DiskBytesBeneath(folder, totals);
    return true;
}

void FolderScanController::AdoptSnapshot(FolderSnapshot&& snapshot) {
    Stop();
    if (m_snapshotChanging)
        m_snapshotChanging();
    m_snapshot = std::move(snapshot);
}

void FolderScanController::Clear() {
    Stop();
    m_subfolders.clear();
}

bool FolderScanController::Start(WakeFn wake) {
    MergeScanned(); // a scan still running is replaced; what it recorded is kept
    m_finalSoFar.clear();
    std::vector<std::string> paths;
    paths.reserve(m_subfolders.size());
    for (const FolderEntry& entry : m_subfolders)
        paths.push_back(JoinPath(m_folderPath, entry.strName.c_str()));

    // Each scan reports into an inbox of its own under a generation of its own: whatever
    // an earlier scan left in the queue is recognised and dropped.
    const unsigned nGeneration = ++m_nGeneration;
    auto pInbox = std::make_shared<ScanInbox>(
        [wake = std::move(wake), nGeneration] { return wake(nGeneration); });
    m_pInbox = pInbox;
    auto onRow = [pInbox](size_t index, const FolderTotals& totals) {
        pInbox->AddRow(index, totals);
    };
    auto onFinished = [pInbox](int64_t nBytes) { pInbox->Finish(nBytes); };

    // The scan records the folder's own level and everything beneath its subfolders, in
    // what room the snapshot leaves under its cap.
    ScanRecording recording;
    recording.bRecord = true;
    recording.folderPath = m_folderPath;
    recording.level = m_level;
    m_snapshot.MarkShown(m_folderPath);
    if (m_snapshotChanging && m_snapshot.NeedsRoom())
        m_snapshotChanging();
    recording.nMemoryCap = m_snapshot.MakeRoom(m_folderPath);
    recording.nKnownEntries = KnownEntries();

    m_bScanning = true;
    m_bMethodKnown = true;
    ++m_nScansStarted;
    auto start = [this, paths = std::move(paths), onRow, onFinished,
                  recording = std::move(recording)]() mutable {
        return m_scan.Start(std::move(paths), onRow, onFinished, 0, std::move(recording));
    };
    if (m_bHoldStart) {
        m_heldStart = std::move(start);
        return true;
    }
    if (!start()) {
        m_bScanning = false;
        m_pInbox.reset();
        return false;
    }
    return true;
}

uint64_t FolderScanController::KnownEntries() const {
    uint64_t nEntries = m_level.FileCount();
    for (const FolderEntry& entry : m_subfolders) {
        if (entry.nSize < 0)
            return 0; // a subfolder never totalled: how much lies beneath is not known
        nEntries += 1 + static_cast<uint64_t>(entry.nFolders) + static_cast<uint64_t>(entry.nFiles);
    }
    return nEntries;
}

void FolderScanController::ReleaseStart() {
    m_bHoldStart = false;
    std::function<bool()> start = std::move(m_heldStart);
    m_heldStart = nullptr;
    if (start && !start()) {
        m_bScanning = false;
        m_pInbox.reset();
    }
}

ScanMethod FolderScanController::Method() const {
    return m_bMethodKnown && !m_heldStart ? m_scan.Method() : ScanMethod();
}

void FolderScanController::SetWholeTreeSource(std::shared_ptr<WholeTreeSource> source) {
    Stop();
    m_scan.SetWholeTreeSource(std::move(source));
}

void FolderScanController::Stop() {
    m_heldStart = nullptr;
    // What the scan recorded, finished or not, is kept: a stopped scan's unfinished
    // folders are not final in it and leave what the snapshot knew of them.
    MergeScanned();
    m_pInbox.reset();
    ++m_nGeneration;
    m_bScanning = false;
}

void FolderScanController::MergeScanned() {
    // Whoever reads the recording lets go before it moves.
    const bool bLent = m_bRecordingLent;
    m_bRecordingLent = false;
    m_finalSoFar.clear();
    if (bLent && m_snapshotChanging)
        m_snapshotChanging();
    FolderSnapshot scanned = m_scan.TakeSnapshot();
    if (scanned.FolderCount() <= 1)
        return; // nothing recorded: the snapshot stays as it is
    if (!bLent && m_snapshotChanging)
        m_snapshotChanging();
    m_snapshot.Merge(std::move(scanned));
}

bool FolderScanController::FinalSoFar(const FolderSnapshot*& pSnapshot, SnapshotScope& scope) {
    if (!m_bScanning || m_heldStart || m_scan.RecordedFolder() == FolderSnapshot::kNone)
        return false;
    pSnapshot = &m_scan.Recording();
    scope = SnapshotScope(m_scan.RecordedFolder());
    scope.bFinalOnly = true;
    scope.finalSubfolders = m_finalSoFar;
    m_bRecordingLent = true;
    return true;
}

bool FolderScanController::ApplyTotals(size_t index, const FolderTotals& totals) {
    if (index >= m_subfolders.size())
        return false;
    FolderEntry& entry = m_subfolders[index];
    entry.nSize = totals.nSize;
    entry.nDiskSize = totals.nDiskSize;
    entry.nFolders = totals.nFolders;
    entry.nFiles = totals.nFiles;
    return true;
}

bool FolderScanController::TakeResults(unsigned generation, const RowFn& onRow) {
    if (generation != m_nGeneration || !m_pInbox)
        return false; // from a scan that was stopped
    const ScanInbox::Contents taken = m_pInbox->Take();
    for (const auto& row : taken.rows) {
        if (!ApplyTotals(row.first, row.second))
            continue;
        // Its tree is final in the scan's recording now, and never written again.
        const FolderSnapshot::Index node = m_scan.RecordedSubfolder(row.first);
        if (node != FolderSnapshot::kNone)
            m_finalSoFar.push_back(node);
        onRow(row.first);
    }
    if (!taken.bFinished)
        return false;
    // The exact bytes of every row, published in one step on this thread.
    m_nTotalSize = m_nFileBytes + taken.nSubfolderBytes;
    m_nTotalDiskSize = m_nFileDiskBytes;
    for (const FolderEntry& entry : m_subfolders)
        m_nTotalDiskSize += std::max<int64_t>(0, entry.nDiskSize);
    // It has handed out everything: this only joins its thread, and keeps what it walked.
    MergeScanned();
    m_pInbox.reset();
    m_bScanning = false;
    return true;
}

bool FolderScanController::TakeWaitingResults(const RowFn& onRow) {
    return m_pInbox && TakeResults(m_nGeneration, onRow);
}

void FolderScanController::EntriesRemoved(const std::vector<std::string>& paths) {
    Stop(); // what it recorded goes in first, so what is removed now stays removed
    if (m_snapshotChanging)
        m_snapshotChanging();
    for (const std::string& path : paths)
        m_snapshot.Remove(path);
}

void FolderScanController::EntriesPasted(const std::string& folder,
                                         const std::vector<std::string>& destinations,
                                         const std::vector<std::string>& movedFrom) {
    Stop();
    if (m_snapshotChanging)
        m_snapshotChanging();
    for (const std::string& path : destinations)
        m_snapshot.Remove(path);
    for (const std::string& path : movedFrom)
        m_snapshot.Remove(path);
    // Pasted files go in with their sizes, so the totals above stay known; a pasted folder
    // is not walked here: the folder's level is read again by its scan.
    DirItem item;
    for (const std::string& path : destinations) {
        if (!ReadEntryInfo(path, item) || item.bFolder ||
            m_snapshot.PutFile(path, static_cast<int64_t>(item.nSize), item.tModified,
                               item.nDiskBytes) != FolderSnapshot::Change::Applied) {
            m_snapshot.ForgetLevel(folder);
            return;
        }
    }
}

AppliedChanges FolderScanController::ApplyDiskChanges(std::vector<DiskChange>& changes,
                                                      size_t& next, ChangeLog& log, int64_t now,
                                                      const std::function<bool()>& enough,
                                                      const RowFn& onRow) {
    if (m_snapshotChanging)
        m_snapshotChanging();
    AppliedChanges applied = ::ApplyDiskChanges(m_snapshot, changes, next, log, now, enough);
    TakeSnapshotTotals(onRow);
    TakeTotalFromSnapshot();
    return applied;
}

bool FolderScanController::TakeTotalFromSnapshot() {
    const FolderSnapshot::Index folder = m_snapshot.Find(m_folderPath);
    FolderTotals totals;
    if (m_bScanning || folder == FolderSnapshot::kNone || !m_snapshot.GetTotals(folder, totals))
        return false;
    m_nTotalSize = totals.nSize;
    m_nTotalDiskSize = DiskBytesBeneath(folder, totals);
    return true;
}

int64_t FolderScanController::DiskBytesBeneath(FolderSnapshot::Index folder,
                                               const FolderTotals& totals) const {
    return totals.nDiskSize - FolderSnapshot::CountedDiskBytes(m_snapshot.OwnAllocated(folder));
}
