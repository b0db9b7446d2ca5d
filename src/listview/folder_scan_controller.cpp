#include "folder_scan_controller.h"

#include <utility>

#include "path_text.h"

void FolderScanController::BeginFolder() {
    Clear();
    m_folderPath.clear();
    m_nFileBytes = 0;
    m_nTotalSize = 0;
}

void FolderScanController::SetListing(const std::string& folderPath,
                                      std::vector<FolderEntry> subfolders, int64_t nFileBytes) {
    Stop();
    m_folderPath = folderPath;
    m_subfolders = std::move(subfolders);
    m_nFileBytes = nFileBytes;
}

void FolderScanController::Clear() {
    Stop();
    m_subfolders.clear();
}

bool FolderScanController::Start(WakeFn wake) {
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
    m_bScanning = true;
    if (!m_scan.Start(std::move(paths), onRow, onFinished)) {
        m_bScanning = false;
        m_pInbox.reset();
        return false;
    }
    return true;
}

void FolderScanController::Stop() {
    m_scan.Stop();
    m_pInbox.reset();
    ++m_nGeneration;
    m_bScanning = false;
}

bool FolderScanController::ApplyTotals(size_t index, const FolderTotals& totals) {
    if (index >= m_subfolders.size())
        return false;
    FolderEntry& entry = m_subfolders[index];
    entry.nSize = totals.nSize;
    entry.nFolders = totals.nFolders;
    entry.nFiles = totals.nFiles;
    return true;
}

bool FolderScanController::TakeResults(unsigned generation, const RowFn& onRow) {
    if (generation != m_nGeneration || !m_pInbox)
        return false; // from a scan that was stopped
    const ScanInbox::Contents taken = m_pInbox->Take();
    for (const auto& row : taken.rows)
        if (ApplyTotals(row.first, row.second))
            onRow(row.first);
    if (!taken.bFinished)
        return false;
    // The exact bytes of every row, published in one step on this thread.
    m_nTotalSize = m_nFileBytes + taken.nSubfolderBytes;
    m_scan.Stop(); // it has handed out everything: this only joins its thread
    m_pInbox.reset();
    m_bScanning = false;
    return true;
}

bool FolderScanController::TakeWaitingResults(const RowFn& onRow) {
    return m_pInbox && TakeResults(m_nGeneration, onRow);
}
