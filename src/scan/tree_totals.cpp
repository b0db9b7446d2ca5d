#include "tree_totals.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "dir_enum.h"
#include "folder_snapshot.h"
#include "path_text.h"
#include "snapshot_writer.h"

unsigned DefaultWalkThreads() {
    return std::max(1u, std::min(std::thread::hardware_concurrency(), 16u));
}

namespace {

struct PendingFolder {
    std::string path;
    bool bRoot;    // the root itself: its failure makes the root unreadable
    uint32_t node; // its folder in the snapshot; FolderSnapshot::kNone when not recorded
    std::shared_ptr<const FolderHandle> parent; // to open it from, where one was kept
    FolderKey key;                              // as its parent's listing told it, where it did
};

// The folders a walk has entered, by key: one met again under another name is counted as a
// folder but not entered, so its bytes count once and a link back up closes no loop. Met
// again under the same name (a root given twice, or inside another) it is the same folder of
// the snapshot, and is read as before. Of two roots that are one folder, the one entered
// first carries it.
class VisitedFolders {
public:
    // False when the folder was entered before under another path.
    bool Enter(const FolderKey& key, const std::string& path) {
        const uint64_t pathHash = std::hash<std::string>()(path);
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_keys.emplace(key, pathHash).first->second == pathHash;
    }

private:
    struct Hash {
        size_t operator()(const FolderKey& key) const {
            return std::hash<uint64_t>()((key.nId * 0x9E3779B97F4A7C15ull) ^ key.nDevice ^
                                         static_cast<uint64_t>(key.nChanged));
        }
    };
    std::mutex m_mutex;
    std::unordered_map<FolderKey, uint64_t, Hash> m_keys; // the hash of the path entered by
};

// An entry that could not be read, and why (an errno value).
struct UnreadEntry {
    std::string path;
    int nError;
};

// What reading one folder found.
struct FolderLevel {
    FolderTotals totals;
    std::vector<std::string> subfolders;
    std::vector<FolderKey> subfolderKeys; // as the listing told them, beside subfolders
    std::vector<UnreadEntry> unread;      // the folder itself, or entries in it
    bool bOpened = false;
    bool bStopped = false;
    bool bExcluded = false;                     // on another file system: not read
    bool bRepeated = false;                     // entered before under another name: not read
    std::shared_ptr<const FolderHandle> handle; // for the subfolders, where one is kept
};

// `record`, when given, also receives the names: every file with its size, every subfolder.
void ReadFolderLevel(const PendingFolder& folder, const std::atomic<bool>* stopRequested,
                     const WalkOptions& options, VisitedFolders& visited, FolderLevel& level,
                     SnapshotLevel* record) {
    const std::string& path = folder.path;
    DirEnumerator dir(path, EntryDetails::FileSizesOnly,
                      record && options.pLinks ? FileLinks::Read : FileLinks::Skip,
                      folder.parent.get());
    level.bOpened = dir.IsOpen();
    FolderIdentity identity;
    if (dir.GetIdentity(identity)) {
        // Another file system is not entered, so whether it could be is no matter: a mount
        // point that may not be read is left out like any other.
        if (options.bOneFileSystem && identity.nDevice != options.nDevice) {
            level.bExcluded = true;
            return;
        }
        if (record)
            // Known even where the folder cannot be read.
            record->SetOwn(identity.nOwnBytes, identity.nOwnDiskBytes, identity.tModified);
    }
    FolderKey key = folder.key;
    if (level.bOpened && (key.IsKnown() || dir.GetKey(key)) && !visited.Enter(key, path)) {
        level.bRepeated = true;
        return;
    }
    // The folder's own blocks, as du counts them (not those of a folder counted elsewhere).
    level.totals.nDiskSize += FolderSnapshot::CountedDiskBytes(identity.nOwnDiskBytes);
    if (!level.bOpened)
        level.unread.push_back({path, dir.OpenError()});
    DirItem item;
    while (dir.Next(item)) {
        if (stopRequested && stopRequested->load(std::memory_order_relaxed)) {
            level.bStopped = true;
            return;
        }
        if (IsDotEntry(item.name))
            continue;
        if (item.nError != 0)
            level.unread.push_back({JoinPath(path, item.name), item.nError});
        if (item.bFolder) {
            ++level.totals.nFolders;
            if (!item.bReparsePoint) {
                level.subfolders.push_back(JoinPath(path, item.name));
                level.subfolderKeys.push_back(item.folderKey);
            }
            if (record)
                record->AddFolder(item.name, item.bReparsePoint, item.tModified);
        } else {
            level.totals.nSize += static_cast<int64_t>(item.nSize);
            level.totals.nDiskSize += FolderSnapshot::CountedDiskBytes(item.nDiskBytes);
            ++level.totals.nFiles;
            if (record) {
                record->AddFile(item.name, static_cast<int64_t>(item.nSize), item.tModified,
                                item.nDiskBytes);
                if (options.pLinks && item.nLinks > 1)
                    record->SetFileLinks(item.nLinks, item.nDevice, item.nFileId);
            }
        }
    }
    if (!level.subfolders.empty())
        level.handle = dir.ShareHandle();
}

// One walk over several roots. Folders waiting to be read are kept per root, as
// stacks (depth first keeps the waiting list short); a thread always takes from
// the earliest root that has any.
class TreeWalk {
public:
    TreeWalk(const std::vector<std::string>& roots, std::vector<FolderTotals>& totals,
             std::vector<WalkResult>& results, const std::atomic<bool>* stopRequested,
             const RootTotalledFn& onRootTotalled, const UnreadableFn& onUnreadable,
             FolderSnapshot* snapshot, const WalkOptions& options)
        : m_totals(totals), m_results(results), m_pStop(stopRequested), m_options(options),
          m_onRootTotalled(onRootTotalled), m_onUnreadable(onUnreadable), m_pending(roots.size()),
          m_outstanding(roots.size(), 1) {
        m_totals.assign(roots.size(), FolderTotals{});
        m_results.assign(roots.size(), WalkResult::Complete);
        std::vector<uint32_t> nodes(roots.size(), FolderSnapshot::kNone);
        if (snapshot) {
            m_pWriter.reset(new SnapshotWriter(*snapshot));
            nodes = m_pWriter->PlaceRoots(roots);
        }
        for (size_t i = 0; i < roots.size(); ++i)
            m_pending[i].push_back({roots[i], true, nodes[i], nullptr, FolderKey{}});
        m_nPending = roots.size();
    }

    WalkResult Run(unsigned threads) {
        std::vector<std::thread> helpers;
        Recorder recorder;
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            // Start a helper whenever there is waiting work and room for one more.
            while (helpers.size() + 1 < threads && m_nPending > m_nWaiting + 1) {
                lock.unlock();
                try {
                    helpers.emplace_back([this] { Work(); });
                } catch (const std::system_error&) {
                    threads = static_cast<unsigned>(helpers.size() + 1); // walk with fewer
                }
                lock.lock();
            }
            if (!Step(lock, recorder))
                break;
        }
        lock.unlock();
        for (std::thread& helper : helpers)
            helper.join();
        return m_bStopped ? WalkResult::Stopped : WalkResult::Complete;
    }

private:
    // A walking thread's own: the level it read last, kept until its files and names are in
    // the snapshot. They go in without the lock, while the thread holds no folder of the
    // walk's: after it takes its next folder, or before it waits or leaves.
    // A folder being filled still counts as outstanding for its root: a root's totals go out
    // only once everything of it is in the snapshot, so whoever hears of them may read it.
    struct Recorder {
        SnapshotLevel level;
        SnapshotWriter::Fill fill;
        uint32_t node = FolderSnapshot::kNone;
        size_t root = 0;
        bool bFilling = false;
    };

    // Its files' names in, the level's files with several names go to the sink. Called
    // without the walk's lock.
    void CompleteRecord(Recorder& recorder) {
        if (!recorder.bFilling)
            return;
        m_pWriter->CompleteRead(recorder.level, recorder.fill);
        recorder.bFilling = false;
        const SnapshotLevel& level = recorder.level;
        if (m_options.pLinks && !level.LinkedFiles().empty()) {
            std::lock_guard<std::mutex> serial(m_linkMutex);
            for (const SnapshotLevel::FileLinks& link : level.LinkedFiles())
                m_options.pLinks->Take({link.device, link.id, link.links, level.FileSize(link.file),
                                        recorder.node, link.file});
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        Report(lock, recorder.root, --m_outstanding[recorder.root] == 0, nullptr);
    }

    // Tells of what could not be read, and of a root's totals once `bRootDone`; with the
    // lock held on entry and on return, and without it meanwhile.
    void Report(std::unique_lock<std::mutex>& lock, size_t root, bool bRootDone,
                const std::vector<UnreadEntry>* unread) {
        const bool bRootTotalled = bRootDone && m_onRootTotalled && !m_bStopped;
        const bool bUnread = m_onUnreadable && unread && !unread->empty();
        if (!bRootTotalled && !bUnread)
            return;
        const FolderTotals totals = m_totals[root];
        const WalkResult result = m_results[root];
        lock.unlock();
        {
            std::lock_guard<std::mutex> serial(m_callbackMutex);
            if (bUnread)
                for (const UnreadEntry& entry : *unread)
                    m_onUnreadable(entry.path, entry.nError);
            if (bRootTotalled)
                m_onRootTotalled(root, totals, result);
        }
        lock.lock();
    }

    void Work() {
        Recorder recorder;
        std::unique_lock<std::mutex> lock(m_mutex);
        while (Step(lock, recorder)) {
        }
    }

    // Reads one waiting folder, or waits for one. False once the walk is over.
    bool Step(std::unique_lock<std::mutex>& lock, Recorder& recorder) {
        while (!m_bStopped && m_nPending == 0 && m_nBusy > 0) {
            if (recorder.bFilling) {
                lock.unlock();
                CompleteRecord(recorder);
                lock.lock();
                continue;
            }
            ++m_nWaiting;
            m_wake.wait(lock);
            --m_nWaiting;
        }
        if (m_bStopped || m_nPending == 0) {
            lock.unlock();
            CompleteRecord(recorder);
            lock.lock();
            return false;
        }

        while (m_pending[m_nFirstRoot].empty())
            ++m_nFirstRoot;
        const size_t root = m_nFirstRoot;
        const PendingFolder folder = std::move(m_pending[root].back());
        m_pending[root].pop_back();
        --m_nPending;
        ++m_nBusy;
        lock.unlock();

        CompleteRecord(recorder);
        FolderLevel level;
        const bool bRecord = m_pWriter && folder.node != FolderSnapshot::kNone;
        SnapshotLevel& record = recorder.level;
        record.Clear();
        ReadFolderLevel(folder, m_pStop, m_options, m_visited, level, bRecord ? &record : nullptr);

        lock.lock();
        --m_nBusy;
        if (level.bStopped || (m_pStop && m_pStop->load(std::memory_order_relaxed))) {
            m_bStopped = true;
            m_wake.notify_all();
            return false;
        }
        if (!level.bOpened && !level.bExcluded && folder.bRoot)
            m_results[root] = WalkResult::Unreadable;

        FolderTotals& sum = m_totals[root];
        sum.nSize += level.totals.nSize;
        sum.nDiskSize += level.totals.nDiskSize;
        sum.nFolders += level.totals.nFolders;
        sum.nFiles += level.totals.nFiles;
        if (bRecord && level.bExcluded) {
            m_pWriter->RecordExcluded(folder.node);
        } else if (bRecord && level.bRepeated) {
            m_pWriter->RecordRepeated(folder.node);
        } else if (bRecord && !level.bOpened) {
            m_pWriter->RecordUnreadable(folder.node, record);
        } else if (bRecord) {
            // Subfolders get consecutive nodes in the level's order; links are not entered.
            const uint32_t first = m_pWriter->RecordRead(folder.node, record, recorder.fill);
            recorder.bFilling = true;
            recorder.node = folder.node;
            recorder.root = root;
            size_t next = 0;
            for (size_t i = 0; i < record.FolderCount(); ++i)
                if (!record.FolderIsLink(i)) {
                    m_pending[root].push_back(
                        {std::move(level.subfolders[next]), false,
                         first == FolderSnapshot::kNone ? first : first + static_cast<uint32_t>(i),
                         level.handle, level.subfolderKeys[next]});
                    ++next;
                }
        } else {
            for (size_t i = 0; i < level.subfolders.size(); ++i)
                m_pending[root].push_back({std::move(level.subfolders[i]), false,
                                           FolderSnapshot::kNone, level.handle,
                                           level.subfolderKeys[i]});
        }
        if (!level.subfolders.empty())
            m_nFirstRoot = std::min(m_nFirstRoot, root);
        m_nPending += level.subfolders.size();
        m_outstanding[root] += level.subfolders.size();
        if (!level.subfolders.empty() || (m_nPending == 0 && m_nBusy == 0))
            m_wake.notify_all();
        // Final when no folder of this root is waiting, being read or being filled in.
        Report(lock, root, !recorder.bFilling && --m_outstanding[root] == 0, &level.unread);
        return true;
    }

    std::vector<FolderTotals>& m_totals;
    std::vector<WalkResult>& m_results;
    const std::atomic<bool>* m_pStop;
    const WalkOptions m_options;
    const RootTotalledFn& m_onRootTotalled;
    const UnreadableFn& m_onUnreadable;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<std::vector<PendingFolder>> m_pending; // per root
    std::vector<size_t> m_outstanding; // per root: folders waiting, being read or filled in
    size_t m_nPending = 0;
    size_t m_nFirstRoot = 0; // no root before this one has waiting folders
    size_t m_nBusy = 0;
    size_t m_nWaiting = 0;
    bool m_bStopped = false;
    std::unique_ptr<SnapshotWriter> m_pWriter; // null: nothing is recorded
    VisitedFolders m_visited;
    std::mutex m_callbackMutex;
    std::mutex m_linkMutex; // the sink is called by one thread at a time
};

} // namespace

WalkResult TotalFolderTrees(const std::vector<std::string>& roots,
                            std::vector<FolderTotals>& totals, std::vector<WalkResult>& results,
                            const std::atomic<bool>* stopRequested, unsigned threads,
                            const RootTotalledFn& onRootTotalled, const UnreadableFn& onUnreadable,
                            FolderSnapshot* snapshot, const WalkOptions& options) {
    TreeWalk walk(roots, totals, results, stopRequested, onRootTotalled, onUnreadable, snapshot,
                  options);
    const WalkResult result = walk.Run(threads ? threads : DefaultWalkThreads());
    if (result == WalkResult::Stopped)
        std::fill(results.begin(), results.end(), WalkResult::Stopped);
    return result;
}

WalkResult TotalFolderTree(const std::string& folderPath, FolderTotals& totals,
                           const std::atomic<bool>* stopRequested, unsigned threads) {
    std::vector<FolderTotals> allTotals;
    std::vector<WalkResult> results;
    if (TotalFolderTrees({folderPath}, allTotals, results, stopRequested, threads) ==
        WalkResult::Stopped)
        return WalkResult::Stopped;
    totals = allTotals[0];
    return results[0];
}

FolderSnapshot WalkIntoSnapshot(const std::string& folderPath,
                                const std::atomic<bool>* stopRequested, unsigned threads) {
    FolderSnapshot piece;
    std::vector<FolderTotals> totals;
    std::vector<WalkResult> results;
    TotalFolderTrees({folderPath}, totals, results, stopRequested, threads, nullptr, nullptr,
                     &piece);
    return piece;
}
