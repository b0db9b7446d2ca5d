#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <random>

#include "change_applier.h"
#include "change_rows.h"
#include "folder_watcher.h"
#include "temp_tree.h"
#include "told_batch.h"
#include "tree_totals.h"

namespace fs = std::filesystem;

namespace {

// What the test tells, as the system would. Shared by the test and the watcher's source:
// a failed watch drops its source while the test may still be telling.
class Teller {
public:
    void Tell(RawChange::Kind kind, const std::string& path = std::string()) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_told.push_back({kind, path});
        }
        m_changed.notify_all();
    }
    void Take(std::vector<RawChange>& changes, unsigned timeoutMs) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [this] { return !m_told.empty(); });
        changes.insert(changes.end(), m_told.begin(), m_told.end());
        m_told.clear();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<RawChange> m_told;
};

class ToldChanges : public ChangeSource {
public:
    explicit ToldChanges(std::shared_ptr<Teller> teller) : m_teller(std::move(teller)) {}
    void Wait(std::vector<RawChange>& changes, unsigned timeoutMs) override {
        m_teller->Take(changes, timeoutMs);
    }

private:
    std::shared_ptr<Teller> m_teller;
};

// The snapshot's thread as the program runs it: woken by the watcher, it takes what is
// ready, applies it and asks for the walks the snapshot needs.
class SnapshotThread {
public:
    // Holds `root` as walked, and watches `watched` beneath it (by default all of it).
    explicit SnapshotThread(const std::string& root, std::string watched = std::string())
        : snapshot(WalkIntoSnapshot(root)) {
        EXPECT_TRUE(watcher.Start(watched.empty() ? root : watched,
                                  std::make_unique<ToldChanges>(told), [this] {
                                      std::lock_guard<std::mutex> lock(m_mutex);
                                      m_bWoken = true;
                                      m_wake.notify_all();
                                      return true;
                                  }));
    }
    // Applies what comes until `done` holds of the log; false at the deadline.
    template <typename Done> bool ApplyUntil(Done done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done(log)) {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (!m_wake.wait_until(lock, deadline, [this] { return m_bWoken; }))
                return false;
            m_bWoken = false;
            lock.unlock();
            // One change per call, as the window applies a burst in slices: every test
            // below then also checks that a batch cut anywhere ends the same.
            std::vector<DiskChange> changes = watcher.Take();
            for (size_t next = 0; next < changes.size();) {
                const size_t before = next;
                const AppliedChanges applied =
                    ApplyDiskChanges(snapshot, changes, next, log, 0, [] { return true; });
                if (next != before + 1)
                    return false;
                for (const std::string& folder : applied.toWalk)
                    watcher.RequestWalk(folder);
            }
        }
        return true;
    }
    bool ApplyUntilLogged(ChangeKind kind) {
        const size_t from = log.Size();
        return ApplyUntil([from, kind](const ChangeLog& l) {
            for (size_t i = from; i < l.Size(); ++i)
                if (l.At(i).kind == kind)
                    return true;
            return false;
        });
    }

    FolderSnapshot snapshot;
    ChangeLog log;
    std::shared_ptr<Teller> told = std::make_shared<Teller>();
    FolderWatcher watcher; // after what it reports into

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_bWoken = false;
};

// Every folder beneath `root` has in the snapshot the totals a fresh walk finds.
int CountDisagreeing(const FolderSnapshot& s, const std::string& root) {
    std::vector<std::string> folders{root};
    for (auto it = fs::recursive_directory_iterator(fs::u8path(root));
         it != fs::recursive_directory_iterator(); ++it)
        if (it->is_directory() && !it->is_symlink())
            folders.push_back(it->path().u8string());
    int disagreeing = 0;
    for (const std::string& folder : folders) {
        FolderTotals walked, held;
        TotalFolderTree(folder, walked, nullptr, 1);
        const FolderSnapshot::Index index = s.Find(folder);
        if (index == FolderSnapshot::kNone || !s.GetTotals(index, held) ||
            held.nSize != walked.nSize || held.nFiles != walked.nFiles ||
            held.nFolders != walked.nFolders) {
            ADD_FAILURE() << folder << " disagrees";
            ++disagreeing;
        }
    }
    return disagreeing;
}

} // namespace

// What the system tells is applied exactly: files written, created, removed and renamed, a
// folder created (walked on its own) and one renamed; after an overflow, and after the
// watch failed, the folder is walked afresh and the totals are exact again; after the
// failure a folder the snapshot asks for is still walked.
TEST(FolderWatcher, ToldChangesOverflowAndFailureEndWithExactTotals) {
    TempTree tree;
    std::mt19937 rng(28);
    MakeRandomTree(tree, "w", rng);
    tree.File("w/a/b/c/deep", 100);
    tree.File("w/a/b/grow", 10);
    tree.File("w/a/gone", 30);
    tree.File("w/a/moved", 40);
    tree.File("w/d/e/f", 50);
    const std::string root = tree.Path("w");
    SnapshotThread ui(root);
    using K = RawChange::Kind;

    tree.File("w/a/b/grow", 5000);
    ui.told->Tell(K::Modified, tree.Path("w/a/b/grow"));
    tree.File("w/a/b/c/new", 77);
    ui.told->Tell(K::Added, tree.Path("w/a/b/c/new"));
    tree.File("w/n/m/inside", 900);
    ui.told->Tell(K::Added, tree.Path("w/n"));
    fs::remove(fs::u8path(tree.Path("w/a/gone")));
    ui.told->Tell(K::Removed, tree.Path("w/a/gone"));
    fs::rename(fs::u8path(tree.Path("w/a/moved")), fs::u8path(tree.Path("w/a/b/c/arrived")));
    ui.told->Tell(K::RenamedFrom, tree.Path("w/a/moved"));
    ui.told->Tell(K::RenamedTo, tree.Path("w/a/b/c/arrived"));
    fs::rename(fs::u8path(tree.Path("w/d/e")), fs::u8path(tree.Path("w/a/e2")));
    ui.told->Tell(K::RenamedFrom, tree.Path("w/d/e"));
    ui.told->Tell(K::RenamedTo, tree.Path("w/a/e2"));
    ASSERT_TRUE(ui.ApplyUntil([](const ChangeLog& l) { return l.Size() >= 6; }));
    EXPECT_EQ(CountDisagreeing(ui.snapshot, root), 0);
    EXPECT_EQ(ui.log.At(0).bytes, 4990);
    EXPECT_EQ(ui.log.At(2).kind, ChangeKind::Added);
    EXPECT_EQ(ui.log.At(2).bytes, 900);
    EXPECT_EQ(ui.log.At(3).bytes, -30);

    // Too much at once: nothing of it is told but that it overflowed.
    tree.File("w/a/b/grow", 1);
    tree.File("w/x/y/z", 1234);
    fs::remove_all(fs::u8path(tree.Path("w/n")));
    ui.told->Tell(K::Overflow);
    ASSERT_TRUE(ui.ApplyUntilLogged(ChangeKind::Rescanned));
    EXPECT_EQ(CountDisagreeing(ui.snapshot, root), 0);

    // The watch fails: the folder is walked once more and nothing is heard after.
    tree.File("w/a/b/c/deep", 1);
    fs::remove_all(fs::u8path(tree.Path("w/x")));
    ui.told->Tell(K::Failed);
    ASSERT_TRUE(ui.ApplyUntilLogged(ChangeKind::WatchFailed));
    EXPECT_EQ(CountDisagreeing(ui.snapshot, root), 0);
    tree.File("w/a/b/late", 3);
    ui.watcher.RequestWalk(tree.Path("w/a/b"));
    ASSERT_TRUE(ui.ApplyUntilLogged(ChangeKind::Rescanned));
    EXPECT_EQ(CountDisagreeing(ui.snapshot, root), 0);
}

// A burst is thinned before anything is looked at: each name once, after its last telling,
// a creation still told as one; what came and went within it not at all; a rename or an
// overflow keeps the tellings before it.
TEST(ToldBatch, EachNameIsLookedAtOnceAfterItsLastTelling) {
    using K = RawChange::Kind;
    std::vector<RawChange> batch{
        {K::Added, "new"},         {K::Modified, "kept"},   {K::Added, "brief"},
        {K::Modified, "new"},      {K::Modified, "brief"},  {K::Modified, "gone"},
        {K::Removed, "brief"},     {K::Removed, "gone"},    {K::Modified, "moved"},
        {K::RenamedFrom, "moved"}, {K::RenamedTo, "there"}, {K::Modified, "there"},
        {K::Modified, "kept"},     {K::Overflow, ""},       {K::Modified, "kept"},
        {K::Modified, "new"},
    };
    ThinToldBatch(batch);
    const std::vector<RawChange> expected{
        {K::Added, "new"},         {K::Removed, "gone"},    {K::Modified, "moved"},
        {K::RenamedFrom, "moved"}, {K::RenamedTo, "there"}, {K::Modified, "there"},
        {K::Modified, "kept"},     {K::Overflow, ""},       {K::Modified, "kept"},
        {K::Modified, "new"},
    };
    ASSERT_EQ(batch.size(), expected.size());
    for (size_t i = 0; i < batch.size(); ++i) {
        EXPECT_EQ(batch[i].kind, expected[i].kind) << i;
        EXPECT_EQ(batch[i].path, expected[i].path) << i;
    }
}

// One write told twice makes one row; a file written again with the same size but a new
// time is still a change the user sees.
TEST(ChangeApplier, AWriteToldTwiceIsOneChange) {
    TempTree tree;
    tree.File("w/log", 10);
    FolderSnapshot snapshot = WalkIntoSnapshot(tree.Path("w"));
    ChangeLog log;
    auto write = [&](int64_t bytes, int64_t modified) {
        std::vector<DiskChange> changes(2);
        for (DiskChange& change : changes) {
            change.path = tree.Path("w/log");
            change.bytes = bytes;
            change.modified = modified;
            change.allocated = 4096;
        }
        size_t next = 0;
        ApplyDiskChanges(snapshot, changes, next, log, 0);
    };
    write(500, 1000);
    ASSERT_EQ(log.Size(), 1u);
    EXPECT_EQ(log.At(0).bytes, 490);
    write(500, 1001);
    ASSERT_EQ(log.Size(), 2u);
    EXPECT_EQ(log.At(1).kind, ChangeKind::Changed);
    EXPECT_EQ(log.At(1).bytes, 0);
}

// The watched folder itself removed: the watch ends without walking it, and the snapshot
// forgets it, its parent's totals exact again.
TEST(FolderWatcher, AWatchedFolderGoneEndsTheWatchAndItsParentsTotalsFollow) {
    TempTree tree;
    tree.File("w/a/f", 100);
    tree.File("w/g", 20);
    tree.File("keep", 7);
    const std::string watched = tree.Path("w");
    SnapshotThread ui(tree.Root(), watched);
    fs::remove_all(fs::u8path(watched));
    ui.told->Tell(RawChange::Kind::Failed);
    ASSERT_TRUE(ui.ApplyUntilLogged(ChangeKind::Removed));
    const LoggedChange& gone = ui.log.At(ui.log.Size() - 1);
    EXPECT_EQ(gone.path, watched);
    EXPECT_EQ(gone.bytes, -120);
    EXPECT_EQ(ui.snapshot.Find(watched), FolderSnapshot::kNone);
    EXPECT_EQ(CountDisagreeing(ui.snapshot, tree.Root()), 0);
}

// The log keeps the newest changes up to its capacity; "grew the most" sums each path's
// changes within the window, largest first, and leaves out what shrank or is too old.
TEST(ChangeLog, KeepsTheNewestAndFindsWhatGrewTheMost) {
    ChangeLog log(3);
    log.Add({100, "old", ChangeKind::Changed, 1000000});
    log.Add({150, "a", ChangeKind::Changed, 10});
    log.Add({160, "b", ChangeKind::Changed, 30});
    log.Add({170, "a", ChangeKind::Changed, 25});
    EXPECT_EQ(log.Size(), 3u);
    EXPECT_EQ(log.At(0).path, "a");
    EXPECT_EQ(log.Added(), 4u);
    log.Add({175, "c", ChangeKind::Removed, -500});
    const std::vector<ChangeLog::Growth> grew = log.GrewMost(175, 60);
    ASSERT_EQ(grew.size(), 2u);
    EXPECT_EQ(grew[0].path, "b");
    EXPECT_EQ(grew[1].path, "a");
    EXPECT_EQ(grew[1].bytes, 25);
    EXPECT_EQ(grew[1].lastTime, 170);
    EXPECT_TRUE(log.GrewMost(300, 60).empty());
}

// The pane's rows: by size change, by path, by kind (ties newest first), and what grew the
// most as one row a path.
TEST(ChangeRows, SortByAnyColumnAndGrewMostAsOneRowAPath) {
    ChangeLog log;
    log.Add({100, "b", ChangeKind::Changed, 10});
    log.Add({110, "a", ChangeKind::Added, 300});
    log.Add({120, "c", ChangeKind::Removed, -50});
    log.Add({130, "b", ChangeKind::Changed, 500});
    std::vector<ChangeRow> rows = AllChangeRows(log);
    const auto order = [&rows, &log] {
        std::string text;
        for (const ChangeRow& row : rows)
            text += ChangeRowPath(log, row) + std::to_string(row.time % 100) + " ";
        return text;
    };
    SortChangeRows(rows, log, ChangeColumn::Bytes, false);
    EXPECT_EQ(order(), "b30 a10 b0 c20 ");
    SortChangeRows(rows, log, ChangeColumn::Path, true);
    EXPECT_EQ(order(), "a10 b30 b0 c20 ");
    SortChangeRows(rows, log, ChangeColumn::Kind, true);
    EXPECT_EQ(order(), "a10 b30 b0 c20 ");
    EXPECT_STREQ(rows[1].kind, "Changed");
    SortChangeRows(rows, log, ChangeColumn::Time, true);
    EXPECT_EQ(order(), "b0 a10 c20 b30 ");

    rows = GrewMostRows(log, 130, 60);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(ChangeRowPath(log, rows[0]), "b");
    EXPECT_EQ(rows[0].bytes, 510);
    EXPECT_EQ(rows[0].time, 130);
    EXPECT_STREQ(rows[0].kind, "Grew");
    // A row whose change has left the log shows no path.
    for (int i = 0; i < 10000; ++i)
        log.Add({140, "later", ChangeKind::Changed, 1});
    EXPECT_EQ(ChangeRowPath(log, rows[0]), "");
}
