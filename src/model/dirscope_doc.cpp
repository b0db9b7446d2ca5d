#include "dirscope_doc.h"

#include <algorithm>
#include <ctime>

#include <sys/stat.h>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "background_listing.h"
#include "dscp_version.h"
#include "folder_scan.h"
#include "message_pump.h"
#include "path_text.h"
#include "saved_scan_reader.h"
#include "win_app.h"

IMPLEMENT_DYNCREATE(CDirscopeDoc, CDocument)

namespace {

// What wakes the document for a scan file.
enum FileWake : WPARAM { kScanRead = 1, kScanWritten, kSaveAbandoned };

void SayWhy(const std::string& text) {
    AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

} // namespace

CDirscopeDoc::CDirscopeDoc()
    : m_opener([this](bool bDone) {
          if (bDone)
              m_fileWakeWnd.Post(kScanRead);
      }),
      m_loader([this](bool bDone) { m_loadWakeWnd.Post(bDone ? 1 : 0); }) {
    m_wakeWnd.Create([this](WPARAM wParam) { TakeScanResults(static_cast<unsigned>(wParam)); });
    m_watchWakeWnd.Create([this](WPARAM) { TakeDiskChanges(); });
    m_levelWakeWnd.Create([this](WPARAM) { EditChangedLevel(); });
    m_loadWakeWnd.Create([this](WPARAM wParam) { TakeLoadedScan(wParam != 0); });
    m_fileWakeWnd.Create([this](WPARAM wParam) {
        if (wParam == kScanRead)
            TakeOpenedScan();
        else if (wParam == kScanWritten)
            TakeSavedResult();
        else if (wParam == kSaveAbandoned)
            SayWhy("The scan was not saved: another folder was shown before its scan had "
                   "finished.");
    });
    // Whoever reads the snapshot on another thread (the treemap's worker, a scan being
    // written) lets go first.
    const auto changing = [this] {
        m_saver.Wait();
        Tell(ModelHint::SnapshotChanging);
    };
    m_scan.SetSnapshotChangingFn(changing);
    m_savedScan.SetSnapshotChangingFn(changing);
}

CDirscopeDoc::~CDirscopeDoc() {
    // The threads go first, before the windows that wake for them; the views are gone.
    m_watcher.Stop();
    m_watchWakeWnd.DestroyWindow();
    m_levelWakeWnd.DestroyWindow();
    m_opener.Stop();
    m_saver.Wait();
    m_scan.SetSnapshotChangingFn(nullptr);
    m_savedScan.SetSnapshotChangingFn(nullptr);
    m_scan.Stop();
    m_loader.Stop();
    AbandonFill();
    m_wakeWnd.DestroyWindow();
    m_fileWakeWnd.DestroyWindow();
    m_loadWakeWnd.DestroyWindow();
}

void CDirscopeDoc::AbandonFill() {
    ++m_nShowGeneration;
    m_bFilling = false;
    m_bListing = false;
}

bool CDirscopeDoc::IsOvertaken(const std::weak_ptr<int>& alive, unsigned nGeneration) const {
    return alive.expired() || m_nShowGeneration != nGeneration;
}

void CDirscopeDoc::ClearShown() {
    // Stop the scan before anything of the folder goes: nothing it found may reach the
    // next one. A show still filling (from beneath a message handled meanwhile) gives up.
    m_scan.Clear();
    m_savedScan.Clear();
    AbandonFill();
    if (!m_strPendingSave.empty()) {
        m_strPendingSave.clear();
        m_fileWakeWnd.Post(kSaveAbandoned); // said once the show is done
    }
    m_selection = ModelEntry();
    m_type = ModelType();
    m_compared.ClearShown();
    Tell(ModelHint::Cleared);
}

void CDirscopeDoc::DeleteContents() {
    // File New starts on this computer again; an opened scan stays held for Back.
    m_pShown = &m_scan;
    StopWatching();
    ClearShown();
}

void CDirscopeDoc::ShowFolder(const std::string& folder) {
    m_pShown = &m_scan;
    m_strFolder = folder;
    Show();
}

void CDirscopeDoc::ShowScanFolder(const std::string& folder) {
    if (!HasOpenedScan())
        return;
    m_pShown = &m_savedScan;
    m_strFolder = folder;
    Show();
}

void CDirscopeDoc::Show() {
    ClearShown();
    const std::string& folder = m_strFolder;
    // The comparison holds for its folder and what lies beneath; leaving it ends it.
    if (IsComparing() && !m_compared.Covers(folder))
        EndComparison();
    if (IsSavedScan()) {
        // Everything is known at once: the views fill themselves, and the totals are final.
        ListScanFolder();
        WatchShownFolder();
        Tell(ModelHint::Shown);
        CTotalsHint totals;
        for (size_t i = 0; i < Subfolders().size(); ++i)
            totals.rows.push_back(i);
        Tell(ModelHint::Finished, &totals);
        return;
    }
    if (folder.empty()) {
        // The counts, the total and the last folder's path stay as they are.
        m_drives = CDriveOverview::ListDrives();
        WatchShownFolder();
        Tell(ModelHint::Shown);
        return;
    }
    const std::weak_ptr<int> alive = m_pLifeToken;
    const unsigned nGeneration = m_nShowGeneration;
    m_pacer = ShowPacer(::GetTickCount(), m_nPumpAfterMs);
    if (!ListShownFolder())
        return;
    WatchShownFolder();
    // The views fill themselves; any of them may handle messages meanwhile.
    Tell(ModelHint::Shown);
    if (IsOvertaken(alive, nGeneration) || !m_bFilling)
        return;
    m_bFilling = false;
    const CModelWakeWnd* pWake = &m_wakeWnd;
    // Never waits for this thread: the results are posted, not sent.
    m_scan.Start([pWake](unsigned nScan) { return pWake->Post(nScan); });
}

void CDirscopeDoc::ForgetListing() {
    m_nFolderCount = 0;
    m_nFileCount = 0;
    m_files.clear();
    m_bEnumerated = false;
    m_bKnownBeforeScan = false;
}

void CDirscopeDoc::TakeListing(FolderScanController& scan, const std::string& folder,
                               FolderListing listing) {
    m_bEnumerated = true;
    m_nFolderCount = static_cast<int>(listing.folders.size());
    m_nFileCount = static_cast<int>(listing.files.size());
    m_files = std::move(listing.files);
    scan.SetListing(folder, std::move(listing.folders), m_files);
    m_compared.ShowFolder(folder, scan.Subfolders(), m_files);
}

bool CDirscopeDoc::ListShownFolder() {
    m_scan.BeginFolder();
    ForgetListing();
    // A path too long for the platform's path field is refused: nothing is listed, as
    // for a folder that cannot be read, and no cut path ever names another folder.
    if (m_strFolder.size() >= static_cast<size_t>(kMaxPathField)) {
        m_strListedPath.clear();
        return true;
    }
    m_strListedPath = m_strFolder;
    m_bFilling = true;
    m_bListing = true;

    const std::weak_ptr<int> alive = m_pLifeToken;
    const unsigned nGeneration = m_nShowGeneration;
    const std::function<bool()> overtaken = [this, alive, nGeneration] {
        return IsOvertaken(alive, nGeneration);
    };
    FolderListing listing;
    const std::shared_ptr<BackgroundListing> pJob = BackgroundListing::Start(m_strListedPath);
    if (!pJob) {
        listing = ListFolder(m_strListedPath.c_str()); // no thread: on this one
    } else {
        // A quick listing is simply waited for: small folders handle no messages at all.
        if (::WaitForSingleObject(pJob->DoneEvent(), m_pacer.MsBeforePumping(::GetTickCount())) ==
            WAIT_TIMEOUT) {
            const PumpResult result = AfxWaitPumpingMessages(pJob->DoneEvent(), overtaken);
            if (overtaken())
                return false; // the listing is let go; its thread frees it
            if (result == PumpResult::Quit)
                m_pacer.Stop();
            m_pacer.Pumped(::GetTickCount());
        }
        listing = pJob->Take();
    }
    m_bListing = false;
    if (!listing.bEnumerated) {
        m_bFilling = false;
        return true;
    }
    TakeListing(m_scan, m_strListedPath, std::move(listing));
    // What an earlier scan walked beneath this folder gives the subfolders their totals
    // before the views show them; this folder's own scan overwrites them.
    m_bKnownBeforeScan = m_scan.FillFromSnapshot() > 0;
    return true;
}

void CDirscopeDoc::ListScanFolder() {
    m_savedScan.BeginFolder();
    ForgetListing();
    m_strListedPath = m_strFolder;
    const FolderSnapshot& snapshot = m_savedScan.Snapshot();
    FolderListing listing = ListHeldFolder(snapshot, snapshot.Find(m_strFolder), m_strFolder);
    if (!listing.bEnumerated)
        return;
    TakeListing(m_savedScan, m_strFolder, std::move(listing));
    m_bKnownBeforeScan = m_savedScan.FillHeldFolder();
}

void CDirscopeDoc::TakeScanResults(std::optional<unsigned> generation) {
    if (IsSavedScan())
        return; // the live scan was stopped before the saved scan showed
    CTotalsHint totals;
    const auto onRow = [&totals](size_t index) { totals.rows.push_back(index); };
    const bool bFinished =
        generation ? m_scan.TakeResults(*generation, onRow) : m_scan.TakeWaitingResults(onRow);
    if (!bFinished) {
        if (!totals.rows.empty())
            Tell(ModelHint::Totals, &totals);
        return;
    }
    Tell(ModelHint::Finished, &totals);
    // What changed on disk while the scan ran goes in over what it read, before a scan
    // waiting to be saved is written.
    ApplyWaitingChanges();
    if (!m_strPendingSave.empty())
        StartSave(std::exchange(m_strPendingSave, std::string()));
    ShowChangedLevel();
}

// ---- saved scans

void CDirscopeDoc::OpenScanFile(const std::string& path) {
    m_strOpeningPath = path;
    m_opener.Start(path);
}

void CDirscopeDoc::StopOpeningScan() {
    m_opener.Stop();
}

FolderSnapshot::Index CDirscopeDoc::OpenedRoot() const {
    return HasOpenedScan() ? m_savedScan.Snapshot().Find(m_opened.rootPath) : FolderSnapshot::kNone;
}

void CDirscopeDoc::TakeOpenedScan() {
    std::optional<LoadedScan> loaded = m_opener.Take();
    if (!loaded)
        return; // given up, or replaced by a newer read
    if (!loaded->scan) {
        SayWhy("Could not open the scan " + loaded->file + ":\n" + loaded->error);
        return;
    }
    SavedScan& scan = *loaded->scan;
    // What showed of the scan held before goes with it.
    if (IsSavedScan())
        ClearShown();
    m_savedScan.AdoptSnapshot(std::move(scan.snapshot));
    m_opened.file = loaded->file;
    m_opened.rootPath = scan.rootPath;
    m_opened.takenAt = scan.timestamp;
    struct stat status {};
    if (m_opened.takenAt <= 0 && ::stat(loaded->file.c_str(), &status) == 0)
        m_opened.takenAt = static_cast<int64_t>(status.st_mtime); // when the file was written
    m_opened.nSerial = ++m_nScansOpened;
    Tell(ModelHint::ScanOpened);
}

bool CDirscopeDoc::SaveShownScan(const std::string& path) {
    if (IsDriveOverview() || m_strListedPath.empty() || !m_bEnumerated) {
        SayWhy("Choose a folder to save its scan.");
        return false;
    }
    if (IsSavingScan()) {
        SayWhy("A scan is being saved already.");
        return false;
    }
    if (IsFilling() || IsScanning()) {
        m_strPendingSave = path; // written once the scan has finished
        return true;
    }
    StartSave(path);
    return true;
}

void CDirscopeDoc::StartSave(const std::string& path) {
    const FolderSnapshot& snapshot = Snapshot();
    const FolderSnapshot::Index folder = snapshot.Find(m_strListedPath);
    if (folder == FolderSnapshot::kNone || !snapshot.IsHeld(folder) ||
        !snapshot.FilesHeld(folder)) {
        // A folder the scan could not take whole (stopped, or past the memory it may use) is
        // never written as if it were.
        SayWhy("The scan of " + m_strListedPath +
               " is not whole, so it was not saved. Show the folder again and let its scan "
               "finish.");
        return;
    }
    NcduExportInfo info;
    info.rootName = m_strListedPath;
    info.progver = DSCP_VERSION_TEXT;
    info.timestamp = IsSavedScan() ? m_opened.takenAt : static_cast<int64_t>(std::time(nullptr));
    info.nOwnBytes = snapshot.OwnBytes(folder);
    info.nOwnDiskBytes = snapshot.OwnAllocated(folder);
    const CModelWakeWnd* pWake = &m_fileWakeWnd;
    m_saver.Start(snapshot, folder, std::move(info), path, [pWake] { pWake->Post(kScanWritten); });
}

void CDirscopeDoc::TakeSavedResult() {
    const SavedScanSaver::Result result = m_saver.Take();
    if (!result.error.empty())
        SayWhy("Could not save the scan to " + result.path + ":\n" + result.error);
}

void CDirscopeDoc::Select(CView* pSender, const ModelEntry& entry) {
    if (entry == m_selection)
        return;
    m_selection = entry;
    UpdateAllViews(pSender, HintParam(ModelHint::Selection));
}

void CDirscopeDoc::SelectType(CView* pSender, const ModelType& type) {
    if (type == m_type)
        return;
    m_type = type;
    UpdateAllViews(pSender, HintParam(ModelHint::TypeSelection));
}

void CDirscopeDoc::SetMeasure(SizeMeasure measure) {
    if (measure == m_measure)
        return;
    m_measure = measure;
    Tell(ModelHint::Measure);
}

void CDirscopeDoc::EntriesRemoved(const std::vector<std::string>& paths) {
    if (IsSavedScan())
        return; // a saved scan is never changed: nothing of it is on this computer's disk
    m_scan.EntriesRemoved(paths);
    TellRemoved(paths);
    Refresh();
}

void CDirscopeDoc::TellRemoved(const std::vector<std::string>& paths) {
    if (paths.empty())
        return;
    CRemovedHint hint;
    hint.paths = paths;
    UpdateAllViews(nullptr, HintParam(ModelHint::Removed), &hint);
}

void CDirscopeDoc::EntriesPasted(const std::vector<std::string>& destinations,
                                 const std::vector<std::string>& movedFrom) {
    if (IsSavedScan())
        return;
    m_scan.EntriesPasted(m_strListedPath, destinations, movedFrom);
    TellRemoved(movedFrom);
    Refresh();
}

// --- Changes on disk

namespace {

// The shown folder's rows are shown afresh at most this often while its entries change.
constexpr DWORD kLevelShowMs = 1000;
// Changes are applied at most this often: every batch costs each view a pass, so a burst
// is taken in a few large batches rather than thousands of small ones.
constexpr DWORD kApplyEveryMs = 250;
// A batch is applied in slices of about this long, with this pause between them.
constexpr DWORD kSliceMs = 25;
constexpr DWORD kSlicePauseMs = 10;
// Entries coming and going in the shown folder edit its rows at most this often.
constexpr DWORD kLevelEditMs = 250;

// A file of the shown level that a change only wrote: its row takes the new size in place.
struct WrittenFile {
    size_t index; // in the level's files
    int64_t modified;
};

// The files of the shown level `shown` (its path without a trailing separator) that
// `changes` from `first` to before `last` wrote, by their index in `files`. True when any
// other change touches that level (an entry added, removed or renamed, the level walked
// afresh): its entries are then edited too.
bool WrittenFilesOfLevel(const std::vector<DiskChange>& changes, size_t first, size_t last,
                         const std::string& shown, const std::vector<FolderEntry>& files,
                         std::vector<WrittenFile>& written) {
    bool bEntries = false;
    std::unordered_map<std::string_view, size_t> byName;
    // A drive's root keeps its separator.
    const std::string prefix = JoinPath(shown, "");
    auto inShown = [&prefix](const std::string& path) {
        return path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0 &&
               path.find_first_of("\\/", prefix.size()) == std::string::npos;
    };
    for (size_t i = first; i < last; ++i) {
        const DiskChange& change = changes[i];
        const bool bPath = inShown(change.path);
        if (change.kind != DiskChange::Kind::File) {
            bEntries = bEntries || bPath || (!change.to.empty() && inShown(change.to)) ||
                       TrimTrailingSeparators(change.path) == shown;
            continue;
        }
        if (!bPath)
            continue;
        if (byName.empty())
            for (size_t k = 0; k < files.size(); ++k)
                byName.emplace(files[k].strName, k);
        const auto found = byName.find(std::string_view(change.path).substr(prefix.size()));
        if (found == byName.end())
            bEntries = true; // a new file
        else
            written.push_back({found->second, change.modified});
    }
    return bEntries;
}

// Puts the entries `now` (of one kind, by name) in the place of `was`: an entry of both keeps
// its place and what `was` knew of it, those only in `was` go, those only in `now` come
// after. Numbers as the rows': `was` from `wasFirst`, the result from `nowFirst`; each entry
// of `was` gets its new number in `edit`, and each that came is added to it. `written`
// (when given) collects the indexes (in the result) of kept entries whose size or time
// changed, which take them from `now`.
std::vector<FolderEntry> EditedEntries(const std::vector<FolderEntry>& was,
                                       std::vector<FolderEntry> now, size_t wasFirst,
                                       size_t nowFirst, CLevelHint& edit,
                                       std::vector<size_t>* pWritten) {
    std::unordered_map<std::string_view, size_t> byName;
    byName.reserve(now.size());
    for (size_t i = 0; i < now.size(); ++i)
        byName.emplace(now[i].strName, i);
    std::vector<bool> kept(now.size(), false);
    std::vector<FolderEntry> edited;
    edited.reserve(now.size());
    for (size_t i = 0; i < was.size(); ++i) {
        const auto found = byName.find(was[i].strName);
        if (found == byName.end() || kept[found->second])
            continue; // gone: its number stays SIZE_MAX
        kept[found->second] = true;
        edit.newNumbers[wasFirst + i] = nowFirst + edited.size();
        edited.push_back(was[i]);
        const FolderEntry& fresh = now[found->second];
        FolderEntry& entry = edited.back();
        if (pWritten && (entry.nSize != fresh.nSize || entry.tModified != fresh.tModified ||
                         entry.nDiskSize != fresh.nDiskSize)) {
            entry.nSize = fresh.nSize;
            entry.nDiskSize = fresh.nDiskSize;
            entry.tModified = fresh.tModified;
            pWritten->push_back(edited.size() - 1);
        }
    }
    for (size_t i = 0; i < now.size(); ++i) {
        if (kept[i])
            continue;
        edit.added.push_back(nowFirst + edited.size());
        edited.push_back(std::move(now[i]));
    }
    return edited;
}

} // namespace

void CDirscopeDoc::EditChangedLevel() {
    if (!m_bLevelEdit)
        return;
    m_bLevelEdit = false;
    // A show or scan under way takes the level afresh; changes that wait for it come after.
    if (m_bFilling || m_scan.IsScanning() || IsSavedScan())
        return;
    m_nLevelEditedAt = ::GetTickCount();
    CTotalsHint totals;
    if (EditShownLevel(totals)) {
        Tell(ModelHint::Totals, &totals);
        return;
    }
    m_bLevelChanged = true;
    ShowChangedLevel();
}

bool CDirscopeDoc::EditShownLevel(CTotalsHint& totals) {
    const FolderSnapshot& snapshot = m_scan.Snapshot();
    const FolderSnapshot::Index folder = snapshot.Find(m_strListedPath);
    // A comparison numbers the rows of gone entries after the listed ones: the folder is then
    // listed afresh, as it is when the snapshot does not hold its level.
    if (IsComparing() || m_bFilling || m_scan.IsScanning() || folder == FolderSnapshot::kNone ||
        !snapshot.IsRead(folder) || !snapshot.FilesHeld(folder))
        return false;
    FolderListing now = ListHeldFolder(snapshot, folder, m_strListedPath);
    const std::vector<FolderEntry>& wasFolders = m_scan.Subfolders();
    CLevelHint edit;
    edit.newNumbers.assign(wasFolders.size() + m_files.size(), SIZE_MAX);
    std::vector<FolderEntry> folders =
        EditedEntries(wasFolders, std::move(now.folders), 0, 0, edit, nullptr);
    std::vector<size_t> written;
    m_files = EditedEntries(m_files, std::move(now.files), wasFolders.size(), folders.size(), edit,
                            &written);
    // The rows told before the edit are numbered afresh; the written files' rows take
    // their sizes.
    std::vector<size_t> rows;
    for (size_t row : totals.rows)
        if (edit.newNumbers[row] != SIZE_MAX)
            rows.push_back(edit.newNumbers[row]);
    totals.rows = std::move(rows);
    totals.files = std::move(written);
    m_nFolderCount = static_cast<int>(folders.size());
    m_nFileCount = static_cast<int>(m_files.size());
    m_scan.TakeEditedLevel(std::move(folders), m_files,
                           [&totals](size_t index) { totals.rows.push_back(index); });
    Tell(ModelHint::LevelEdited, &edit);
    return true;
}

void CDirscopeDoc::WatchShownFolder() {
    // An opened saved scan is not on this computer's disk: nothing of it is watched.
    if (IsSavedScan() || m_strFolder.empty() || !m_bEnumerated) {
        StopWatching();
        return;
    }
    if (m_watcher.IsRunning() && m_watcher.Root() == m_strListedPath)
        return;
    StopWatching();
    std::unique_ptr<ChangeSource> source = WatchFolderTree(m_strListedPath);
    if (!source)
        m_strWatchNote = "not watched: changes show after Refresh";
    const CModelWakeWnd* pWake = &m_watchWakeWnd;
    // Never waits for this thread: the wake-up is posted.
    m_watcher.Start(m_strListedPath, std::move(source), [pWake] { return pWake->Post(0); });
}

void CDirscopeDoc::StopWatching() {
    // What was heard of the tree and not applied yet is of no use to the next watch.
    m_watcher.Stop();
    m_waitingChanges.clear();
    m_nNextWaiting = 0;
    m_bLevelEdit = false;
    m_bLevelChanged = false;
    m_bShownGone = false;
    m_strWatchNote.clear();
}

void CDirscopeDoc::TakeDiskChanges() {
    for (DiskChange& change : m_watcher.Take())
        m_waitingChanges.push_back(std::move(change));
    // A burst half applied goes on after a short pause; a new one waits its turn.
    const DWORD nPause = m_nNextWaiting > 0 ? kSlicePauseMs : kApplyEveryMs;
    const DWORD nSinceApplied = ::GetTickCount() - m_nAppliedAt;
    if (!m_waitingChanges.empty() && nSinceApplied < nPause) {
        // The wake-up then shows the level too.
        m_watchWakeWnd.WakeAfter(nPause - nSinceApplied);
        return;
    }
    ApplyWaitingChanges();
    ShowChangedLevel();
}

void CDirscopeDoc::ApplyWaitingChanges() {
    // A running scan would put back what it read before the changes: they wait for it.
    if (m_waitingChanges.empty() || m_scan.IsScanning() || m_bFilling || IsSavedScan())
        return;
    CTotalsHint totals;
    const std::string shown = TrimTrailingSeparators(m_strListedPath);
    std::vector<WrittenFile> written;
    // A slice of the changes at a time, each whole, so that input and paint get in between:
    // every total is exact after each (the views are told once per slice).
    const size_t nFirst = m_nNextWaiting;
    const DWORD nStart = ::GetTickCount();
    const AppliedChanges applied = m_scan.ApplyDiskChanges(
        m_waitingChanges, m_nNextWaiting, m_changes, static_cast<int64_t>(std::time(nullptr)),
        [nStart] { return ::GetTickCount() - nStart >= kSliceMs; },
        [&totals](size_t index) { totals.rows.push_back(index); });
    const bool bEntries =
        WrittenFilesOfLevel(m_waitingChanges, nFirst, m_nNextWaiting, shown, m_files, written);
    if (m_nNextWaiting < m_waitingChanges.size()) {
        m_watchWakeWnd.WakeAfter(kSlicePauseMs);
    } else {
        m_waitingChanges.clear();
        m_nNextWaiting = 0;
    }
    m_nAppliedAt = ::GetTickCount();
    for (const std::string& folder : applied.toWalk)
        m_watcher.RequestWalk(folder);
    if (applied.bGone)
        m_bShownGone = true;
    else if (applied.bWatchFailed)
        m_strWatchNote = "watch failed: changes show after Refresh";
    else if (applied.bRescanned)
        m_strWatchNote = "too many changes at once: rescanned";
    bool bLevelTouched = false;
    for (const std::string& folder : applied.touched)
        bLevelTouched = bLevelTouched || TrimTrailingSeparators(folder) == shown;
    bool bEdit = bLevelTouched && bEntries;
    // Written files keep their rows: the size (as the snapshot now holds it) goes into them.
    for (const WrittenFile& file : written) {
        FolderEntry& entry = m_files[file.index];
        const std::string path = JoinPath(shown, entry.strName.c_str());
        const int64_t bytes = m_scan.Snapshot().FileBytes(path);
        if (bytes < 0) {
            bEdit = true; // gone since, or the level's files no longer held
            continue;
        }
        entry.nSize = bytes;
        entry.nDiskSize = m_scan.Snapshot().FileAllocatedAt(path);
        entry.tModified = file.modified;
        totals.files.push_back(file.index);
    }
    if (bEdit && !m_bLevelEdit) {
        // Entries came or went: the rows follow in a message of their own, at most so often.
        m_bLevelEdit = true;
        const DWORD nSinceEdit = ::GetTickCount() - m_nLevelEditedAt;
        m_levelWakeWnd.WakeAfter(
            std::max(kSlicePauseMs, nSinceEdit < kLevelEditMs ? kLevelEditMs - nSinceEdit : 0));
    }
    // The views that let go of the snapshot take it again, even when no row's total moved
    // (a rename deep down, a file the program deleted already).
    Tell(ModelHint::Totals, &totals);
}

void CDirscopeDoc::ShowChangedLevel() {
    if (m_bShownGone && !m_bFilling && !IsSavedScan()) {
        // Its rows would stand for what is no longer there: it is shown as it is now.
        m_bShownGone = false;
        const std::string gone = m_strFolder;
        Refresh();
        if (m_strFolder == gone)
            m_strWatchNote = "the folder is gone";
        return;
    }
    if (!m_bLevelChanged || m_bFilling || m_scan.IsScanning() || m_strFolder.empty() ||
        IsSavedScan())
        return;
    const DWORD nNow = ::GetTickCount();
    if (nNow - m_nLevelShownAt < kLevelShowMs) {
        m_watchWakeWnd.WakeAfter(kLevelShowMs - (nNow - m_nLevelShownAt));
        return;
    }
    const FolderSnapshot& snapshot = m_scan.Snapshot();
    const FolderSnapshot::Index folder = snapshot.Find(m_strListedPath);
    if (folder == FolderSnapshot::kNone || !snapshot.IsRead(folder) || !snapshot.FilesHeld(folder))
        return; // its level is being walked afresh: shown when that comes
    FolderListing listing = ListHeldFolder(snapshot, folder, m_strListedPath);
    m_bLevelChanged = false;
    m_nLevelShownAt = nNow;
    const ModelEntry selection = m_selection;
    const ModelType type = m_type;
    ClearShown();
    m_pacer = ShowPacer(::GetTickCount(), m_nPumpAfterMs);
    m_scan.BeginFolder();
    TakeListing(m_scan, m_strListedPath, std::move(listing));
    m_bKnownBeforeScan = m_scan.FillFromSnapshot() > 0;
    const bool bKnown = m_scan.TakeTotalFromSnapshot();
    m_compared.ShowFolder(m_strListedPath, m_scan.Subfolders(), m_files);

    const std::weak_ptr<int> alive = m_pLifeToken;
    const unsigned nGeneration = m_nShowGeneration;
    m_bFilling = true;
    Tell(ModelHint::Shown);
    if (IsOvertaken(alive, nGeneration) || !m_bFilling)
        return;
    m_bFilling = false;
    m_selection = selection;
    m_type = type;
    if (!m_selection.IsNone())
        Tell(ModelHint::Selection);
    if (m_type.bAny)
        Tell(ModelHint::TypeSelection);
    if (!bKnown) {
        const CModelWakeWnd* pWake = &m_wakeWnd;
        m_scan.Start([pWake](unsigned nScan) { return pWake->Post(nScan); });
    }
}

void CDirscopeDoc::CompareWithScan(const std::string& file) {
    EndComparison();
    m_loader.Start(file);
    Tell(ModelHint::ComparisonRead);
}

void CDirscopeDoc::EndComparison() {
    const bool bWasReading = m_loader.IsReading();
    m_loader.Stop();
    if (!IsComparing() && !bWasReading)
        return;
    m_compared.End();
    Tell(ModelHint::Comparison);
}

void CDirscopeDoc::TakeLoadedScan(bool bDone) {
    if (!bDone) {
        if (m_loader.IsReading())
            Tell(ModelHint::ComparisonRead);
        return;
    }
    std::optional<LoadedScan> loaded = m_loader.Take();
    if (!loaded)
        return; // given up meanwhile
    if (!loaded->scan) {
        Tell(ModelHint::Comparison);
        AfxMessageBox(
            ("The scan in " + loaded->file + " cannot be compared.\n\n" + loaded->error).c_str(),
            MB_ICONEXCLAMATION);
        return;
    }
    // Compared with the folder shown now, of this computer or of an opened scan (the drive
    // overview has nothing to compare).
    if (IsDriveOverview() || !IsEnumerated()) {
        Tell(ModelHint::Comparison);
        return;
    }
    m_compared.Begin(std::move(loaded->scan), m_strListedPath, loaded->file);
    m_compared.ShowFolder(m_strListedPath, Subfolders(), m_files);
    Tell(ModelHint::Comparison);
}
