#pragma once
// CDirscopeDoc: the one document, and the model every view draws from: the folder shown
// (or the drive overview), its listing, the scan that totals its subfolders and its
// results, what every scan walked (the snapshot), the drives, and the selected entry.
// Each change is announced to the views with a hint (model_hints.h); no view calls
// another.
//
// What is shown comes from this computer (the live view) or from a saved scan the user
// opened: that scan is read on a thread into a snapshot of its own, held by a scan controller
// of its own that never scans, and its folders are shown from that snapshot alone. Views read
// the shown side through the same calls either way; what acts on the disk asks
// IsSavedScan() first.
//
// A show lists the folder on a thread and handles the program's messages meanwhile once
// it has run for PumpAfterMs(); the views fill themselves at the Shown hint, pacing their
// own work with the same pacer. A newer show (or anything that empties the model) started
// meanwhile wins: the older one returns at once without touching anything again.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "compared_scan.h"
#include "document.h"
#include "drive_overview.h"
#include "folder_entry.h"
#include "change_log.h"
#include "folder_scan_controller.h"
#include "folder_watcher.h"
#include "model_hints.h"
#include "model_wake_wnd.h"
#include "saved_scan_loader.h"
#include "saved_scan_saver.h"
#include "show_pacer.h"
#include "size_measure.h"

// The saved scan the document holds: where it was read from, the folder it was taken of (as
// the file names it) and when it was taken.
struct OpenedScanInfo {
    std::string file;
    std::string rootPath;
    int64_t takenAt = 0;  // seconds since 1970: the export's time, else the file's
    unsigned nSerial = 0; // counts the scans opened: which one a history entry belongs to
};

class CDirscopeDoc : public CDocument {
    DECLARE_DYNCREATE(CDirscopeDoc)
public:
    CDirscopeDoc();
    ~CDirscopeDoc() override;

    // Shows `folder` of this computer, or the drive overview when it is empty.
    void ShowFolder(const std::string& folder);
    // Shows `folder` of the opened saved scan (a path the scan holds).
    void ShowScanFolder(const std::string& folder);
    // The folder shown, shown afresh from the disk (an opened scan has nothing to refresh).
    void Refresh() {
        if (!IsSavedScan())
            ShowFolder(m_strFolder);
    }

    // --- Saved scans
    // Starts reading the scan file at `path`; once it is read the views hear ScanOpened (the
    // tree pane then shows its root), or a message box names why it could not be, and what
    // is shown stays as it was.
    void OpenScanFile(const std::string& path);
    bool IsOpeningScan() const { return m_opener.IsReading(); }
    // How far the reading has got: "Opening scan.json: 45% (Stop: Esc)" style figures.
    uint64_t OpeningBytesRead() const { return m_opener.BytesRead(); }
    uint64_t OpeningFileBytes() const { return m_opener.FileBytes(); }
    const std::string& OpeningPath() const { return m_strOpeningPath; }
    // Gives up reading the scan file: nothing changes.
    void StopOpeningScan();
    // What is shown comes from the opened saved scan.
    bool IsSavedScan() const { return m_pShown == &m_savedScan; }
    // A saved scan is held (shown or not), and which.
    bool HasOpenedScan() const { return m_opened.nSerial != 0; }
    const OpenedScanInfo& OpenedScan() const { return m_opened; }
    // The opened scan's snapshot and its root (kNone when no scan is held).
    const FolderSnapshot& OpenedSnapshot() const { return m_savedScan.Snapshot(); }
    FolderSnapshot::Index OpenedRoot() const;

    // Writes the scan of the shown folder's tree to the file at `path`, on a thread: at
    // once when the snapshot holds all of it, else once its running scan has finished. A
    // message box says why when it cannot be saved. False when it cannot (said already).
    bool SaveShownScan(const std::string& path);
    bool IsSavingScan() const { return m_saver.IsRunning() || !m_strPendingSave.empty(); }
    // File New: the scan stops and the views empty; what the scans walked is kept.
    void DeleteContents() override;

    // A show is listing its folder or its views are filling themselves.
    bool IsFilling() const { return m_bFilling; }
    // The shown folder is still being listed: nothing of it can be drawn yet.
    bool IsListing() const { return m_bListing; }
    // Gives up the show being filled: it returns at once and starts no scan.
    void AbandonFill();
    // Counts the shows (and anything that empties the model): a view that handled
    // messages while filling itself checks it to learn it was overtaken.
    unsigned ShowGeneration() const { return m_nShowGeneration; }
    // When the current show handles messages; shared by the views filling themselves.
    ShowPacer& Pacer() { return m_pacer; }
    // How long a show runs before it starts handling messages: small folders never do.
    DWORD PumpAfterMs() const { return m_nPumpAfterMs; }
    void SetPumpAfterMs(DWORD nMs) { m_nPumpAfterMs = nMs; }

    // What is shown.
    const std::string& Folder() const { return m_strFolder; } // "" for the drive overview
    // The folder listed last; the drive overview keeps it. Empty for a path too long.
    const std::string& ListedFolderPath() const { return m_strListedPath; }
    bool IsDriveOverview() const { return m_strFolder.empty(); }
    // The listing could be read (false also for a folder refused or not yet listed).
    bool IsEnumerated() const { return m_bEnumerated; }
    int FolderCount() const { return m_nFolderCount; }
    int FileCount() const { return m_nFileCount; }
    // The shown folder's subfolders by name, with the totals found so far, and its files.
    const std::vector<FolderEntry>& Subfolders() const { return m_pShown->Subfolders(); }
    const std::vector<FolderEntry>& Files() const { return m_files; }
    // Some subfolders had their totals from the snapshot before the scan started.
    bool HadTotalsBeforeScan() const { return m_bKnownBeforeScan; }
    // The folder's exact bytes once the scan has finished; 0 until then.
    int64_t TotalSize() const { return m_pShown->TotalSize(); }

    // Which size every view shows (the files' lengths unless the user chose bytes on disk);
    // a change tells the views Measure.
    SizeMeasure Measure() const { return m_measure; }
    void SetMeasure(SizeMeasure measure);
    // The folder's total by that measure, once the scan has finished; 0 until then.
    int64_t MeasuredTotal() const {
        return m_measure == SizeMeasure::OnDisk ? m_pShown->TotalDiskSize() : TotalSize();
    }
    bool IsScanning() const { return m_pShown->IsScanning(); }
    // The subfolders' scan and what the scans walked (tests hold its start through it); an
    // opened saved scan's controller while it is shown.
    FolderScanController& ScanController() { return *m_pShown; }
    const FolderScanController& ScanController() const { return *m_pShown; }
    const FolderSnapshot& Snapshot() const { return m_pShown->Snapshot(); }
    // The drives the overview lists, in letter order.
    const std::vector<CDriveOverview::Drive>& Drives() const { return m_drives; }

    // The selected entry; selecting tells every view but the sender, when it changed.
    const ModelEntry& Selection() const { return m_selection; }
    void Select(CView* pSender, const ModelEntry& entry);
    // The selected file type; selecting tells every view but the sender, when it changed.
    const ModelType& TypeSelection() const { return m_type; }
    void SelectType(CView* pSender, const ModelType& type);

    // `paths` were deleted through the program: the snapshot forgets them and the folder
    // is shown afresh.
    void EntriesRemoved(const std::vector<std::string>& paths);
    // Files were pasted into the shown folder at `destinations` (`movedFrom`: where moved
    // ones were): the snapshot is told and the folder is shown afresh.
    void EntriesPasted(const std::vector<std::string>& destinations,
                       const std::vector<std::string>& movedFrom);
    // Tells the views what went from where it was.
    void TellRemoved(const std::vector<std::string>& paths);

    // --- Changes on disk. The shown folder's tree is watched; what changes is applied to the
    // snapshot as it comes (after the scan, while one runs) and told to the views.

    // The changes seen, oldest first.
    const ChangeLog& Changes() const { return m_changes; }
    // What the status line adds about the watch: a folder walked afresh because more
    // changed than was told, or a watch that failed; empty when there is nothing to say.
    const std::string& WatchNote() const { return m_strWatchNote; }
    // Takes what the watcher has ready (also what a wake-up that could not be posted left).
    void TakeDiskChanges();
    // The watcher, for tests.
    const FolderWatcher& Watcher() const { return m_watcher; }
    // --- Comparing with a saved scan: the older, matched by path below the folder shown
    // when the comparison began. Showing a folder outside that one ends it.

    // Reads the saved scan in `file` on a thread; once read, the comparison begins (views
    // hear Comparison). A scan that cannot be read leaves everything as it was and names
    // the reason in a message box.
    void CompareWithScan(const std::string& file);
    // Gives up the read, or ends the comparison; views hear Comparison.
    void EndComparison();
    bool IsReadingComparison() const { return m_loader.IsReading(); }
    // Of the read in progress: bytes read and the file's size (0: not known yet).
    uint64_t ComparisonBytesRead() const { return m_loader.BytesRead(); }
    uint64_t ComparisonFileBytes() const { return m_loader.FileBytes(); }
    bool IsComparing() const { return m_compared.IsActive(); }
    const ComparedScan& Comparison() const { return m_compared; }

    // Takes what the scan has left (generation: the scan that woke us; none: whatever
    // the running one left) and tells the views.
    void TakeScanResults(std::optional<unsigned> generation);

private:
    // Shows m_strFolder from the side m_pShown names.
    void Show();
    // The shown folder's level from the opened scan's snapshot.
    void ListScanFolder();
    void TakeOpenedScan();
    void TakeSavedResult();
    // Writes the shown folder's tree, which the snapshot holds whole.
    void StartSave(const std::string& path);
    // The scan stops and the shown folder's lists go; views hear Cleared.
    void ClearShown();
    // Lists the shown folder, handling messages meanwhile once the pacer says so; false
    // when the show was overtaken (nothing of the document may be touched then).
    bool ListShownFolder();
    // The listed folder's rows go: nothing is listed until a listing is taken.
    void ForgetListing();
    // LISTING's files become the rows, its folders SCAN's, as the folder FOLDER's.
    void TakeListing(FolderScanController& scan, const std::string& folder, FolderListing listing);
    bool IsOvertaken(const std::weak_ptr<int>& alive, unsigned nGeneration) const;
    // The watch follows the folder shown: started for a new one, stopped for the drives.
    void WatchShownFolder();
    // Nothing is watched: what was heard and not applied goes.
    void StopWatching();
    // Applies the changes waiting, unless a scan runs or the views are filling.
    void ApplyWaitingChanges();
    // Entries of the shown folder came, went or were renamed: its lists take the level as the
    // snapshot now holds it, in place (views hear LevelEdited, then Totals), or, when they
    // cannot, it is listed afresh.
    void EditChangedLevel();
    // The edit: `totals` numbered afresh and added to. False, nothing changed, when it
    // cannot be.
    bool EditShownLevel(CTotalsHint& totals);
    // The shown folder's own entries changed: its rows are shown afresh from the snapshot
    // (at most once a second; a later wake-up does what waits). A folder that is gone is
    // shown afresh from the disk.
    void ShowChangedLevel();
    // The saved scan's thread woke us: progress, or the scan waits (`bDone`).
    void TakeLoadedScan(bool bDone);
    void Tell(ModelHint hint, CObject* pHint = nullptr) {
        UpdateAllViews(nullptr, HintParam(hint), pHint);
    }

    std::string m_strFolder;
    std::string m_strListedPath;
    bool m_bEnumerated = false;
    int m_nFolderCount = 0;
    int m_nFileCount = 0;
    std::vector<FolderEntry> m_files;
    bool m_bKnownBeforeScan = false;
    std::vector<CDriveOverview::Drive> m_drives;
    ModelEntry m_selection;
    ModelType m_type;
    SizeMeasure m_measure = SizeMeasure::Bytes;

    bool m_bFilling = false;
    bool m_bListing = false;
    unsigned m_nShowGeneration = 0;
    DWORD m_nPumpAfterMs = 100;
    ShowPacer m_pacer{0, 0};
    // Gone with the document: a show that handled messages checks it before touching it.
    std::shared_ptr<int> m_pLifeToken = std::make_shared<int>(0);
    CModelWakeWnd m_wakeWnd;
    CModelWakeWnd m_watchWakeWnd;
    CModelWakeWnd m_levelWakeWnd; // the shown folder's rows edited
    ChangeLog m_changes;
    std::vector<DiskChange> m_waitingChanges;
    size_t m_nNextWaiting = 0; // the first of them not applied yet
    std::string m_strWatchNote;
    bool m_bLevelChanged = false;
    bool m_bLevelEdit = false; // entries of the shown folder came or went: its rows follow
    DWORD m_nLevelEditedAt = 0;
    bool m_bShownGone = false; // the watched folder itself is gone
    DWORD m_nLevelShownAt = 0;
    DWORD m_nAppliedAt = 0;      // when changes on disk were last applied
    FolderWatcher m_watcher;     // stopped before the window it wakes goes
    CModelWakeWnd m_loadWakeWnd; // for the compared scan's thread
    CModelWakeWnd m_fileWakeWnd; // a scan file opened or written
    ComparedScan m_compared;
    OpenedScanInfo m_opened;
    unsigned m_nScansOpened = 0;
    std::string m_strOpeningPath;
    std::string m_strPendingSave;     // saved once the running scan has finished
    FolderScanController m_savedScan; // the opened scan's: it never scans
    FolderScanController* m_pShown = &m_scan;
    // Their threads end (in the destructor) before anything they read or report into goes.
    SavedScanSaver m_saver;
    SavedScanLoader m_opener;
    SavedScanLoader m_loader;    // the compared scan's, after what it wakes
    FolderScanController m_scan; // last: stopped before anything it reports into goes
};
