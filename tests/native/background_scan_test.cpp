#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

#include "background_scan.h"
#include "scan_inbox.h"
#include "temp_tree.h"

namespace {

// What a scan handed out, gathered from the scan thread.
struct Recorder {
    std::mutex mutex;
    std::vector<size_t> rows;
    std::vector<FolderTotals> totals;
    int finished = 0;
    int64_t bytes = -1;

    BackgroundScan::RowReadyFn Rows() {
        return [this](size_t index, const FolderTotals& sum) {
            std::lock_guard<std::mutex> lock(mutex);
            rows.push_back(index);
            totals.push_back(sum);
        };
    }
    BackgroundScan::FinishedFn Finished() {
        return [this](int64_t subfolderBytes) {
            std::lock_guard<std::mutex> lock(mutex);
            ++finished;
            bytes = subfolderBytes;
        };
    }
};

// Waits for `condition`; false when it still does not hold after a minute.
template <typename Condition>
bool WaitFor(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

bool WaitUntilIdle(const BackgroundScan& scan) {
    return WaitFor([&scan] { return !scan.IsRunning(); });
}

} // namespace

TEST(BackgroundScan, HandsOutEveryRowOnceThenTheTotal) {
    TempTree tree;
    std::vector<std::string> subfolders;
    // The first subfolder is the largest, so later ones are done ahead of it.
    for (int i = 0; i < 30; ++i) {
        const std::string name = "s" + std::to_string(100 + i);
        const int files = i == 0 ? 300 : 1 + i % 4;
        for (int f = 0; f < files; ++f)
            tree.File(name + "/sub/f" + std::to_string(f), 10);
        subfolders.push_back(tree.Path(name));
    }
    subfolders.push_back(tree.Path("missing"));

    Recorder recorder;
    BackgroundScan scan;
    ASSERT_TRUE(scan.Start(subfolders, recorder.Rows(), recorder.Finished(), 2));
    ASSERT_TRUE(WaitUntilIdle(scan));
    scan.Stop();

    ASSERT_EQ(recorder.rows.size(), subfolders.size());
    std::vector<FolderTotals> byIndex(subfolders.size());
    std::vector<int> handedOut(subfolders.size(), 0);
    int64_t bytes = 0;
    for (size_t i = 0; i < recorder.rows.size(); ++i) {
        ++handedOut[recorder.rows[i]];
        byIndex[recorder.rows[i]] = recorder.totals[i];
        bytes += recorder.totals[i].nSize;
    }
    EXPECT_EQ(handedOut, std::vector<int>(subfolders.size(), 1));
    for (size_t i = 0; i < subfolders.size(); ++i)
        EXPECT_EQ(byIndex[i].nFolders, i + 1 == subfolders.size() ? 0 : 1);
    EXPECT_EQ(byIndex[0].nFiles, 300);
    EXPECT_EQ(byIndex.back().nSize, 0); // unreadable: holds nothing
    EXPECT_EQ(recorder.finished, 1);
    EXPECT_EQ(recorder.bytes, bytes);
    EXPECT_TRUE(scan.TakeSnapshot().FolderCount() == 1); // nothing recorded unless asked
}

#ifndef _WIN32
// A row goes out as soon as its own totals are final: the first subfolder is a chain of
// 500 folders, which one thread at a time walks level by level, while the other
// thread finishes the small ones. (Paths this deep are a native matter; see the walk's
// deep-tree test.)
TEST(BackgroundScan, ARowDoesNotWaitForTheRowsBeforeIt) {
    TempTree tree;
    std::string chain = "chain";
    for (int i = 0; i < 500; ++i)
        chain += "/d";
    tree.File(chain + "/f", 1);
    std::vector<std::string> subfolders = {tree.Path("chain")};
    for (int i = 0; i < 8; ++i) {
        tree.File("small" + std::to_string(i) + "/f", 1);
        subfolders.push_back(tree.Path("small" + std::to_string(i)));
    }
    Recorder recorder;
    BackgroundScan scan;
    ASSERT_TRUE(scan.Start(subfolders, recorder.Rows(), recorder.Finished(), 2));
    ASSERT_TRUE(WaitUntilIdle(scan));
    ASSERT_EQ(recorder.rows.size(), subfolders.size());
    EXPECT_NE(recorder.rows.front(), 0u);
    EXPECT_EQ(recorder.totals[std::find(recorder.rows.begin(), recorder.rows.end(), 0u) -
                              recorder.rows.begin()]
                  .nFolders,
              500);
}
#endif

TEST(BackgroundScan, ScanWithoutSubfoldersStillFinishes) {
    Recorder recorder;
    BackgroundScan scan;
    ASSERT_TRUE(scan.Start({}, recorder.Rows(), recorder.Finished()));
    ASSERT_TRUE(WaitUntilIdle(scan));
    EXPECT_EQ(recorder.finished, 1);
    EXPECT_EQ(recorder.bytes, 0);
}

TEST(BackgroundScan, StoppedScanHandsOutNothingMore) {
    TempTree tree;
    std::vector<std::string> subfolders;
    for (int i = 0; i < 60; ++i) {
        for (int f = 0; f < 30; ++f)
            tree.File("s" + std::to_string(i) + "/d" + std::to_string(f) + "/f", 1);
        subfolders.push_back(tree.Path("s" + std::to_string(i)));
    }
#ifndef _WIN32
    const int threadsBefore = ThreadCount();
#endif
    for (int round = 0; round < 20; ++round) {
        Recorder first, second;
        BackgroundScan scan;
        ASSERT_TRUE(scan.Start(subfolders, first.Rows(), first.Finished()));
        // Let the first scan get some way, by a varying number of rows.
        const size_t rows = round % 4 * 10;
        ASSERT_TRUE(WaitFor([&] {
            std::lock_guard<std::mutex> lock(first.mutex);
            return first.rows.size() >= rows || first.finished;
        }));
        // Starting again stops the first scan before the second begins.
        ASSERT_TRUE(scan.Start(subfolders, second.Rows(), second.Finished()));
        scan.Stop();
        EXPECT_FALSE(scan.IsRunning());
#ifndef _WIN32
        // No walking thread is left that could hand out anything more.
        EXPECT_EQ(ThreadCount(), threadsBefore);
#endif
        EXPECT_LE(first.finished + second.finished, 1);
        if (first.finished) {
            EXPECT_EQ(first.rows.size(), subfolders.size());
        }
    }
}

// A wake-up that cannot be posted (the message queue is full) is tried again by the
// next result, and nothing waiting is lost meanwhile.
TEST(ScanInbox, AFailedWakeUpIsTriedAgainByTheNextResult) {
    bool bQueueFull = true;
    int nPosted = 0;
    ScanInbox inbox([&] {
        if (bQueueFull)
            return false;
        ++nPosted;
        return true;
    });
    inbox.AddRow(0, FolderTotals{});
    EXPECT_EQ(nPosted, 0);
    bQueueFull = false;
    inbox.AddRow(1, FolderTotals{});
    EXPECT_EQ(nPosted, 1);
    inbox.Finish(7); // announced already: no second wake-up
    EXPECT_EQ(nPosted, 1);

    ScanInbox::Contents taken = inbox.Take();
    ASSERT_EQ(taken.rows.size(), 2u);
    EXPECT_EQ(taken.rows[0].first, 0u);
    EXPECT_EQ(taken.rows[1].first, 1u);
    EXPECT_TRUE(taken.bFinished);
    EXPECT_EQ(taken.nSubfolderBytes, 7);

    // Taken, the next result announces itself again.
    inbox.AddRow(2, FolderTotals{});
    EXPECT_EQ(nPosted, 2);
}
