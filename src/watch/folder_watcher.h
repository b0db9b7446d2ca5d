#pragma once
// Keeps an eye on a folder tree on a thread of its own: hears what changed from its
// ChangeSource, looks at every name it hears of (sizes, times; a new folder is walked
// whole), and leaves the ready changes for the snapshot's thread, which it wakes once per
// batch and never waits for. When the source overflows or fails, the folder is walked
// afresh (or, when the folder itself is gone, the watch ends). The snapshot's thread may ask for a
// folder to be walked again (RequestWalk): a change it could not apply exactly.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "change_source.h"
#include "disk_change.h"

class FolderWatcher {
public:
    // Wakes the snapshot's thread; must not wait for it. False when it could not.
    using WakeFn = std::function<bool()>;

    FolderWatcher() = default;
    ~FolderWatcher() { Stop(); }
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;

    // Watches `root` through `source` (a watch already running stops first). False when no
    // thread could be started.
    bool Start(const std::string& root, std::unique_ptr<ChangeSource> source, WakeFn wake);
    // Stops the thread; what it had ready and not taken is dropped.
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }
    const std::string& Root() const { return m_root; }

    // The changes ready so far, in order (on the snapshot's thread).
    std::vector<DiskChange> Take();
    // `folder` is to be walked afresh; the result comes as a Rescanned change.
    void RequestWalk(const std::string& folder);

private:
    void Run();
    void Prepare(const std::vector<RawChange>& raw, std::vector<DiskChange>& ready);
    void Failed(std::vector<DiskChange>& ready);
    void PrepareNamed(const RawChange& change, std::vector<DiskChange>& ready);
    DiskChange Walked(DiskChange::Kind kind, const std::string& folder) const;
    void Publish(std::vector<DiskChange>& ready);

    std::string m_root;
    std::unique_ptr<ChangeSource> m_source;
    WakeFn m_wake;
    bool m_bWatching = false;  // on the thread: the source has not failed
    std::string m_renamedFrom; // on the thread: a rename's first half, waiting for its second
    std::atomic<bool> m_bStop{false};
    std::mutex m_mutex; // guards what follows
    std::condition_variable m_wakeThread;
    std::vector<DiskChange> m_ready;
    std::vector<std::string> m_walks;
    bool m_bWakePending = false;
    std::thread m_thread; // last: joined before anything it uses goes
};
