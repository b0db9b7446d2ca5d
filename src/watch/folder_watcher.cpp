#include "folder_watcher.h"

#include <chrono>
#include <system_error>
#include <utility>

#include "entry_info.h"
#include "told_batch.h"
#include "tree_totals.h"

namespace {

// How long the thread waits for the source before it looks at its own requests again.
constexpr unsigned kWaitMs = 100;

} // namespace

bool FolderWatcher::Start(const std::string& root, std::unique_ptr<ChangeSource> source,
                          WakeFn wake) {
    Stop();
    m_root = root;
    m_source = std::move(source);
    m_wake = std::move(wake);
    m_bWatching = m_source != nullptr;
    m_renamedFrom.clear();
    m_bStop = false;
    try {
        m_thread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        m_source.reset();
        return false;
    }
    return true;
}

void FolderWatcher::Stop() {
    if (m_thread.joinable()) {
        m_bStop = true;
        m_wakeThread.notify_all();
        m_thread.join();
    }
    m_source.reset();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ready.clear();
    m_walks.clear();
    m_bWakePending = false;
}

std::vector<DiskChange> FolderWatcher::Take() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bWakePending = false;
    return std::exchange(m_ready, {});
}

void FolderWatcher::RequestWalk(const std::string& folder) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const std::string& waiting : m_walks)
            if (waiting == folder)
                return;
        m_walks.push_back(folder);
    }
    m_wakeThread.notify_all();
}

void FolderWatcher::Run() {
    std::vector<RawChange> raw;
    std::vector<DiskChange> ready;
    while (!m_bStop) {
        raw.clear();
        if (m_bWatching) {
            m_source->Wait(raw, kWaitMs);
            ThinToldBatch(raw);
        } else {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wakeThread.wait_for(lock, std::chrono::milliseconds(kWaitMs),
                                  [this] { return m_bStop || !m_walks.empty(); });
        }
        Prepare(raw, ready);
        std::vector<std::string> walks;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            walks.swap(m_walks);
        }
        for (const std::string& folder : walks)
            ready.push_back(Walked(DiskChange::Kind::Rescanned, folder));
        if (!ready.empty() && !m_bStop)
            Publish(ready);
    }
}

void FolderWatcher::Prepare(const std::vector<RawChange>& raw, std::vector<DiskChange>& ready) {
    for (const RawChange& change : raw) {
        if (m_bStop)
            return;
        // A rename's first half whose second never came: moved out of the tree.
        if (!m_renamedFrom.empty() && change.kind != RawChange::Kind::RenamedTo) {
            DiskChange gone;
            gone.kind = DiskChange::Kind::Removed;
            gone.path = std::exchange(m_renamedFrom, {});
            ready.push_back(std::move(gone));
        }
        switch (change.kind) {
        case RawChange::Kind::Overflow:
            ready.push_back(Walked(DiskChange::Kind::Rescanned, m_root));
            break;
        case RawChange::Kind::Failed:
            Failed(ready);
            return;
        case RawChange::Kind::Removed: {
            DiskChange gone;
            gone.kind = DiskChange::Kind::Removed;
            gone.path = change.path;
            ready.push_back(std::move(gone));
            break;
        }
        case RawChange::Kind::RenamedFrom:
            m_renamedFrom = change.path;
            break;
        default:
            PrepareNamed(change, ready);
            break;
        }
    }
}

// The source has ended and holds nothing more: the folder is walked afresh, unless it is
// gone itself.
void FolderWatcher::Failed(std::vector<DiskChange>& ready) {
    m_bWatching = false;
    m_source.reset();
    DirItem item;
    DiskChange failed;
    failed.path = m_root;
    if (ReadEntryInfo(m_root, item) && item.bFolder) {
        ready.push_back(Walked(DiskChange::Kind::Rescanned, m_root));
        failed.kind = DiskChange::Kind::WatchFailed;
    } else {
        failed.kind = DiskChange::Kind::Gone;
    }
    ready.push_back(std::move(failed));
}

// Added, Modified and RenamedTo: the name is looked at as it is now. One gone again
// already is left to the removal that follows.
void FolderWatcher::PrepareNamed(const RawChange& change, std::vector<DiskChange>& ready) {
    const std::string from = std::exchange(m_renamedFrom, {});
    DirItem item;
    if (!ReadEntryInfo(change.path, item)) {
        if (!from.empty()) {
            DiskChange gone;
            gone.kind = DiskChange::Kind::Removed;
            gone.path = from;
            ready.push_back(std::move(gone));
        }
        return;
    }
    const bool bFolder = item.bFolder && !item.bReparsePoint;
    DiskChange named;
    named.bFolder = bFolder;
    named.bytes = static_cast<int64_t>(item.nSize);
    named.modified = item.tModified;
    named.allocated = item.nDiskBytes;
    if (change.kind == RawChange::Kind::RenamedTo && !from.empty()) {
        named.kind = DiskChange::Kind::Renamed;
        named.path = from;
        named.to = change.path;
    } else if (bFolder) {
        if (change.kind == RawChange::Kind::Modified)
            return; // a folder's own time: its entries are told of one by one
        ready.push_back(Walked(DiskChange::Kind::Folder, change.path));
        return;
    } else {
        named.kind = DiskChange::Kind::File;
        named.path = change.path;
    }
    ready.push_back(std::move(named));
}

DiskChange FolderWatcher::Walked(DiskChange::Kind kind, const std::string& folder) const {
    DiskChange walked;
    walked.kind = kind;
    walked.path = folder;
    walked.bFolder = true;
    walked.walked = std::make_unique<FolderSnapshot>(WalkIntoSnapshot(folder, &m_bStop));
    return walked;
}

void FolderWatcher::Publish(std::vector<DiskChange>& ready) {
    bool bWake = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (DiskChange& change : ready)
            m_ready.push_back(std::move(change));
        bWake = !m_bWakePending;
        m_bWakePending = true;
    }
    ready.clear();
    // One wake-up stands for every batch until the changes are taken.
    if (bWake && m_wake && !m_wake()) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bWakePending = false;
    }
}
