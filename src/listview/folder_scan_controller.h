#pragma once
// The totals of the shown folder's subfolders: the subfolders as listed, the background
// scan that totals each of them, and the folder's total once every one is known. The
// scan leaves its results in an inbox and has the window woken for them (through the
// caller's WakeFn, with the scan's generation); the window takes them on its own thread.
// A scan that was stopped or replaced is recognised by its generation, and whatever it
// left behind is dropped. Totals known before a scan (from anywhere) go in through
// ApplyTotals, the same way the scan's do. Portable: the waking is the caller's.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "background_scan.h"
#include "folder_entry.h"
#include "scan_inbox.h"

class FolderScanController {
public:
    // Wakes the window's thread for scan `generation`; false when it could not. Runs on
    // the scan thread and must not wait for the window's thread.
    using WakeFn = std::function<bool(unsigned generation)>;
    // Told, on the window's thread, that subfolder `index` has its totals now.
    using RowFn = std::function<void(size_t index)>;

    // A folder is about to be shown: the scan stops, the subfolders go, the total is 0.
    void BeginFolder();
    // The listed folder: its path, its subfolders by name, its files' exact bytes.
    void SetListing(const std::string& folderPath, std::vector<FolderEntry> subfolders,
                    int64_t nFileBytes);
    // The scan stops and the subfolders go; the total stays (the drive overview keeps it).
    void Clear();

    const std::vector<FolderEntry>& Subfolders() const { return m_subfolders; }
    // The exact bytes of the folder's files and of every subfolder's tree, once the scan
    // has finished; 0 until then.
    int64_t TotalSize() const { return m_nTotalSize; }
    bool IsScanning() const { return m_bScanning; }

    // Starts totalling every subfolder; false when no thread could be started (the rows
    // keep their empty cells).
    bool Start(WakeFn wake);
    // Stops the scan; nothing it found is applied afterwards. Joining cannot block: the
    // scan never waits for the window's thread, and its walk checks the stop flag
    // between entries.
    void Stop();

    // Records subfolder `index`'s totals; false for no such subfolder.
    bool ApplyTotals(size_t index, const FolderTotals& totals);
    // Takes what scan `generation` has left: each subfolder's totals are recorded and
    // `onRow` told of it. True when this completed the scan (the total is known then).
    // Results of a scan stopped or replaced since are dropped.
    bool TakeResults(unsigned generation, const RowFn& onRow);
    // The same for the running scan, whatever its wake-up did (one that could not be
    // posted is made up for here).
    bool TakeWaitingResults(const RowFn& onRow);

private:
    std::string m_folderPath;
    std::vector<FolderEntry> m_subfolders; // by name; totals filled in as they come
    int64_t m_nFileBytes = 0;
    int64_t m_nTotalSize = 0;
    bool m_bScanning = false;
    unsigned m_nGeneration = 0;
    std::shared_ptr<ScanInbox> m_pInbox; // what the running scan found, to be applied
    BackgroundScan m_scan; // last: stopped before anything it reports into goes
};
