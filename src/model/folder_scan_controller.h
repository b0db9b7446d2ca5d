#pragma once
// The totals of the shown folder's subfolders: the subfolders as listed, the background
// scan that totals each of them, and the folder's total once every one is known. The
// scan leaves its results in an inbox and has the window woken for them (through the
// caller's WakeFn, with the scan's generation); the window takes them on its own thread.
// A scan that was stopped or replaced is recognised by its generation, and whatever it
// left behind is dropped. Totals known before a scan (from anywhere) go in through
// ApplyTotals, the same way the scan's do. Portable: the waking is the caller's.
//
// What the scans walked is kept (folder_snapshot.h): every scan records its folder's
// level and everything beneath, and what it recorded is merged into the controller's own
// snapshot, on the window's thread, once it has finished or was stopped. A folder shown
// later whose subfolders that snapshot holds gets their totals from it before its own
// scan starts (FillFromSnapshot); the scan then overwrites them with its own. Deleting
// and pasting through the program tell the snapshot (EntriesRemoved, EntriesPasted), so
// nothing removed is ever shown from memory.
//
// A folder on an NTFS volume this process may read is totalled from the volume's file table
// (the scan's whole-tree source) rather than walked; Method() tells how the shown folder's
// scan went, and why it walked where the table would have applied.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "background_scan.h"
#include "change_applier.h"
#include "folder_entry.h"
#include "scan_inbox.h"
#include "snapshot_scope.h"

class FolderScanController {
public:
    // Wakes the window's thread for scan `generation`; false when it could not. Runs on
    // the scan thread and must not wait for the window's thread.
    using WakeFn = std::function<bool(unsigned generation)>;
    // Told, on the window's thread, that subfolder `index` has its totals now.
    using RowFn = std::function<void(size_t index)>;

    FolderScanController();

    // A folder is about to be shown: the scan stops, the subfolders go, the total is 0.
    void BeginFolder();
    // The listed folder: its path, its subfolders by name, its files by name.
    void SetListing(const std::string& folderPath, std::vector<FolderEntry> subfolders,
                    const std::vector<FolderEntry>& files);
    // Every subfolder the snapshot holds as final gets its totals from it (the others keep
    // a size of -1); when every one did, the total is known at once. Returns how many.
    size_t FillFromSnapshot();
    // The listed folder is held whole by the snapshot (as every folder of an opened saved
    // scan is): every subfolder has its totals from it and the total is known, with no scan.
    // False, nothing known, when it is not held.
    bool FillHeldFolder();
    // The scan stops and the subfolders go; the total stays (the drive overview keeps it).
    void Clear();

    const std::vector<FolderEntry>& Subfolders() const { return m_subfolders; }
    // The exact bytes of the folder's files and of every subfolder's tree, once the scan
    // has finished; 0 until then.
    int64_t TotalSize() const { return m_nTotalSize; }
    // The same in bytes on disk: what the rows hold (the folder's own blocks not counted).
    int64_t TotalDiskSize() const { return m_nTotalDiskSize; }
    bool IsScanning() const { return m_bScanning; }
    // How the shown folder's last scan found its totals (a walk, saying nothing, when no
    // scan of it started).
    ScanMethod Method() const;

    // Starts totalling every subfolder; false when no thread could be started (the rows
    // keep their empty cells).
    bool Start(WakeFn wake);
    // Stops the scan; nothing it found is applied afterwards, and what it recorded is
    // merged into the snapshot. Joining cannot block: the
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

    // The scan stops (what it recorded is kept), then `paths` were deleted: they go from
    // the snapshot, and the totals above them are corrected.
    void EntriesRemoved(const std::vector<std::string>& paths);
    // The scan stops, then files and folders were pasted into `folder` at `destinations`:
    // what was there under those names goes, and pasted files go in with their sizes; a
    // pasted folder (which may merge into one of its name) leaves the level unknown.
    // `movedFrom`: where moved ones were.
    void EntriesPasted(const std::string& folder, const std::vector<std::string>& destinations,
                       const std::vector<std::string>& movedFrom);
    // Changes seen on disk (no scan runs: one would overwrite them with what it read
    // before), from `next` on until `enough` says so (change_applier.h): applied to the
    // snapshot, whoever reads it elsewhere stopping first; the subfolders whose totals
    // changed take them (each told to `onRow`), and the folder's total follows.
    AppliedChanges ApplyDiskChanges(std::vector<DiskChange>& changes, size_t& next, ChangeLog& log,
                                    int64_t now, const std::function<bool()>& enough,
                                    const RowFn& onRow);
    // Entries of the listed folder came and went on disk (no scan runs): its subfolders are
    // `subfolders` now (those kept with their totals), its files `files`; every subfolder the
    // snapshot holds takes its totals from it (each whose totals changed told to `onRow`), and
    // the folder's total follows.
    void TakeEditedLevel(std::vector<FolderEntry> subfolders, const std::vector<FolderEntry>& files,
                         const RowFn& onRow);
    // No scan runs and the snapshot holds the folder as final: its total is taken from
    // there. False otherwise (the total stays as it is).
    bool TakeTotalFromSnapshot();
    const FolderSnapshot& Snapshot() const { return m_snapshot; }
    // Takes `snapshot` as what was walked: an opened saved scan's, which no scan changes.
    void AdoptSnapshot(FolderSnapshot&& snapshot);
    // While the scan runs: what is final of the shown folder so far, to be read on another
    // thread until the snapshot-changing call (which comes before the scan's recording is
    // merged or dropped): the folder's own files and the trees of the subfolders whose totals
    // have been taken, in the scan's own recording. False when no scan runs or it records
    // nothing.
    bool FinalSoFar(const FolderSnapshot*& pSnapshot, SnapshotScope& scope);
    // The shown folder's own level as listed (its files and subfolders).
    const SnapshotLevel& Level() const { return m_level; }
    // Told, on the window's thread, just before the snapshot changes: whoever reads it on
    // another thread stops first (the treemap's worker).
    void SetSnapshotChangingFn(std::function<void()> fn) { m_snapshotChanging = std::move(fn); }

    // For tests: while held, Start sets up the scan (IsScanning is true) but its thread
    // starts only at ReleaseStart, so what shows meanwhile came from elsewhere.
    void HoldStart(bool bHold) { m_bHoldStart = bHold; }
    // For tests: how many scans were started.
    unsigned ScansStarted() const { return m_nScansStarted; }
    void ReleaseStart();
    // For tests: where scans look for the whole tree first (null: they walk).
    void SetWholeTreeSource(std::shared_ptr<WholeTreeSource> source);

private:
    // The folders and files beneath the shown folder as its subfolders' totals tell (0 while
    // one of them is not totalled).
    uint64_t KnownEntries() const;
    // Every subfolder the snapshot holds as final takes its totals from it, each whose
    // totals changed told to `onRow`; the total when every one did. Returns how many.
    size_t TakeSnapshotTotals(const RowFn& onRow);
    // The folder's own level and its files' bytes from `files` and m_subfolders.
    void TakeLevel(const std::vector<FolderEntry>& files);
    // Merges what the scan walked (once its thread has ended) into the snapshot.
    void MergeScanned();
    // The bytes on disk of what lies beneath a final folder of the snapshot.
    int64_t DiskBytesBeneath(FolderSnapshot::Index folder, const FolderTotals& totals) const;

    std::string m_folderPath;
    std::vector<FolderEntry> m_subfolders; // by name; totals filled in as they come
    int64_t m_nFileBytes = 0;
    int64_t m_nTotalSize = 0;
    int64_t m_nFileDiskBytes = 0;
    int64_t m_nTotalDiskSize = 0;
    bool m_bScanning = false;
    unsigned m_nGeneration = 0;
    std::shared_ptr<ScanInbox> m_pInbox; // what the running scan found, to be applied
    SnapshotLevel m_level;               // the listed folder's own level, recorded by its scan
    FolderSnapshot m_snapshot;           // what every scan so far walked, kept fresh
    // Subfolders of the running scan's recording whose totals were taken; whether any of
    // its recording was handed out (FinalSoFar).
    std::vector<FolderSnapshot::Index> m_finalSoFar;
    bool m_bRecordingLent = false;
    bool m_bMethodKnown = false; // a scan of the shown folder started
    bool m_bHoldStart = false;
    unsigned m_nScansStarted = 0;
    std::function<bool()> m_heldStart; // the start ReleaseStart makes
    std::function<void()> m_snapshotChanging;
    BackgroundScan m_scan; // last: stopped before anything it reports into goes
};
