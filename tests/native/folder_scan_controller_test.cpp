#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "folder_scan.h"
#include "folder_scan_controller.h"
#include "snapshot_files.h"
#include "size_text.h"
#include "status_text.h"
#include "temp_tree.h"

namespace fs = std::filesystem;

namespace {

FolderEntry Subfolder(const std::string& name) {
    FolderEntry entry{};
    entry.strName = name;
    entry.nSize = -1;
    return entry;
}

std::vector<FolderEntry> Files(int64_t nBytes) {
    FolderEntry entry{};
    entry.strName = "f";
    entry.nSize = nBytes;
    return {entry};
}

// Stands in for the window: counts the wake-ups and remembers the last generation.
struct Window {
    std::atomic<int> wakes{0};
    std::atomic<unsigned> generation{0};
    FolderScanController::WakeFn Wake() {
        return [this](unsigned nGeneration) {
            generation = nGeneration;
            ++wakes;
            return true;
        };
    }
    // Takes results as each wake-up comes, until the scan finishes; false after a minute.
    bool RunUntilFinished(FolderScanController& scan, std::vector<size_t>& told) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        int seen = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            if (wakes.load() == seen) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            seen = wakes.load();
            if (scan.TakeResults(generation, [&told](size_t index) { told.push_back(index); }))
                return true;
        }
        return false;
    }
};

#ifndef _WIN32
// What du says the tree at `path` takes on disk, its folders' own blocks included.
int64_t DuBytes(const std::string& path) {
    FILE* pipe = popen(("du -B1 -s '" + path + "' 2>/dev/null").c_str(), "r");
    long long bytes = -1;
    if (!pipe || std::fscanf(pipe, "%lld", &bytes) != 1)
        bytes = -1;
    if (pipe)
        pclose(pipe);
    if (bytes < 0)
        throw std::runtime_error("du (package coreutils) is needed as this test's oracle");
    return bytes;
}
#endif

} // namespace

TEST(FolderScanController, RecordsEachSubfolderAndTheTotalOnceTheScanHasFinished) {
    TempTree tree;
    tree.File("a/one", 100);
    tree.File("b/two", 10);
    tree.File("b/sub/three", 5);
    FolderScanController scan;
    scan.BeginFolder();
    scan.SetListing(tree.Root(), {Subfolder("a"), Subfolder("b")}, Files(7));
    Window window;
    ASSERT_TRUE(scan.Start(window.Wake()));
    EXPECT_TRUE(scan.IsScanning());
    std::vector<size_t> told;
    ASSERT_TRUE(window.RunUntilFinished(scan, told));
    std::sort(told.begin(), told.end()); // rows come as each one's totals are final
    EXPECT_EQ(told, (std::vector<size_t>{0, 1}));
    EXPECT_EQ(scan.Subfolders()[0].nSize, 100);
    EXPECT_EQ(scan.Subfolders()[1].nSize, 15);
    EXPECT_EQ(scan.Subfolders()[1].nFolders, 1);
    EXPECT_EQ(scan.Subfolders()[1].nFiles, 2);
    EXPECT_EQ(scan.TotalSize(), 7 + 100 + 15);
    EXPECT_FALSE(scan.IsScanning());

    // Clearing the rows keeps the total (the drive overview shows it); a new folder does not.
    scan.Clear();
    EXPECT_TRUE(scan.Subfolders().empty());
    EXPECT_EQ(scan.TotalSize(), 122);
    scan.BeginFolder();
    EXPECT_EQ(scan.TotalSize(), 0);
}

TEST(FolderScanController, DropsWhatAStoppedOrReplacedScanLeft) {
    TempTree tree;
    tree.File("a/one", 100);
    FolderScanController scan;
    scan.SetListing(tree.Root(), {Subfolder("a")}, {});
    Window window;
    ASSERT_TRUE(scan.Start(window.Wake()));
    const unsigned first = window.generation; // 0 when it has not woken the window yet
    scan.Stop();
    EXPECT_FALSE(scan.IsScanning());
    bool bTold = false;
    EXPECT_FALSE(scan.TakeResults(first, [&bTold](size_t) { bTold = true; }));
    EXPECT_FALSE(scan.TakeWaitingResults([&bTold](size_t) { bTold = true; }));
    EXPECT_FALSE(bTold);
    EXPECT_EQ(scan.Subfolders()[0].nSize, -1);

    // A replaced scan's generation is stale too: only the running one's results count.
    ASSERT_TRUE(scan.Start(window.Wake()));
    std::vector<size_t> told;
    ASSERT_TRUE(window.RunUntilFinished(scan, told));
    EXPECT_NE(window.generation.load(), first);
    EXPECT_EQ(told, std::vector<size_t>{0});

    // Totals known from elsewhere go in the same way; there is no subfolder beyond the list.
    EXPECT_TRUE(scan.ApplyTotals(0, FolderTotals{42, 1, 2}));
    EXPECT_EQ(scan.Subfolders()[0].nSize, 42);
    EXPECT_FALSE(scan.ApplyTotals(1, FolderTotals{}));
}

TEST(FolderScanController, AFolderBeneathAFinishedScanFillsFromItsSnapshotAndDeletesStayDeleted) {
    TempTree tree;
    tree.File("a/one", 100);
    tree.File("b/two", 10);
    tree.File("b/sub/three", 5);
    tree.File("b/sub/four", 3);
    FolderScanController scan;
    Window window;
    scan.SetListing(tree.Root(), {Subfolder("a"), Subfolder("b")}, {});
    EXPECT_EQ(scan.FillFromSnapshot(), 0u); // nothing walked yet
    ASSERT_TRUE(scan.Start(window.Wake()));
    std::vector<size_t> told;
    ASSERT_TRUE(window.RunUntilFinished(scan, told));

    // Into b: its subfolder's totals are known before any scan of b, and so is b's total.
    scan.BeginFolder();
    FolderEntry two{};
    two.strName = "two";
    two.nSize = 10;
    scan.SetListing(tree.Path("b"), {Subfolder("sub")}, {two});
    EXPECT_EQ(scan.FillFromSnapshot(), 1u);
    EXPECT_EQ(scan.Subfolders()[0].nSize, 8);
    EXPECT_EQ(scan.Subfolders()[0].nFiles, 2);
    EXPECT_EQ(scan.TotalSize(), 18);

    // A file deleted through the program is never shown again from memory, above it
    // either. (The scan of b is held, so that it records nothing before it is stopped.)
    scan.HoldStart(true);
    ASSERT_TRUE(scan.Start(window.Wake()));
    EXPECT_TRUE(scan.IsScanning());
    scan.EntriesRemoved({tree.Path("b/sub/four")});
    scan.BeginFolder();
    scan.SetListing(tree.Root(), {Subfolder("a"), Subfolder("b")}, {});
    EXPECT_EQ(scan.FillFromSnapshot(), 2u);
    EXPECT_EQ(scan.Subfolders()[0].nSize, 100);
    EXPECT_EQ(scan.Subfolders()[1].nSize, 15);
    EXPECT_EQ(scan.Subfolders()[1].nFiles, 2);

    // A file pasted into b goes in with its size: b's total is known at once.
    tree.File("b/new", 50);
    scan.EntriesPasted(tree.Path("b"), {tree.Path("b/new")}, {});
    scan.BeginFolder();
    scan.SetListing(tree.Root(), {Subfolder("a"), Subfolder("b")}, {});
    EXPECT_EQ(scan.FillFromSnapshot(), 2u);
    EXPECT_EQ(scan.Subfolders()[1].nSize, 65);
    EXPECT_EQ(scan.Subfolders()[1].nFiles, 3);

    // A folder pasted into b leaves it and everything above unknown until walked again.
    tree.File("b/pasted/inside", 1);
    scan.EntriesPasted(tree.Path("b"), {tree.Path("b/pasted")}, {});
    scan.BeginFolder();
    scan.SetListing(tree.Root(), {Subfolder("a"), Subfolder("b")}, {});
    EXPECT_EQ(scan.FillFromSnapshot(), 1u);
    EXPECT_EQ(scan.Subfolders()[1].nSize, -1);
    EXPECT_EQ(scan.TotalSize(), 0);
}

// While the scan runs, a query over what is final so far sees exactly the folder's own files
// and the trees of the subfolders told so far (read while the scan still writes the others),
// and once it has finished, everything from the snapshot.
TEST(FolderScanController, WhatIsFinalSoFarIsTheFolderFilesAndEveryFinishedSubfolder) {
    TempTree tree;
    tree.File("top.txt", 3);
    tree.File("top.jpg", 5);
    for (int i = 0; i < 8; ++i) {
        const std::string sub = "s" + std::to_string(i);
        for (int j = 0; j < 20; ++j)
            tree.File(sub + "/deep/f" + std::to_string(j) + ".bin", static_cast<size_t>(i + j));
        tree.File(sub + "/own.txt", 7);
    }
    const FolderListing listing = ListFolder(tree.Root().c_str());
    ASSERT_EQ(listing.folders.size(), 8u);
    // The files a find-style walk sees beneath `relative` ("" for the folder's own only).
    auto found = [&](const std::string& relative) {
        std::vector<std::string> paths;
        const fs::path root = fs::u8path(tree.Root());
        if (relative.empty()) {
            for (const auto& entry : fs::directory_iterator(root))
                if (entry.is_regular_file())
                    paths.push_back(fs::relative(entry.path(), root).u8string());
        } else {
            for (const auto& entry : fs::recursive_directory_iterator(root / fs::u8path(relative)))
                if (entry.is_regular_file())
                    paths.push_back(fs::relative(entry.path(), root).u8string());
        }
        return paths;
    };
    auto queried = [](const FolderSnapshot& s, const SnapshotScope& scope) {
        std::vector<std::string> paths;
        ForEachFolderWithFiles(s, scope, nullptr, [&](FolderSnapshot::Index folder) {
            for (uint32_t i = 0; i < s.OwnFileCount(folder); ++i)
                paths.push_back(RelativePath(s, scope.top, {folder, i}));
        });
        std::sort(paths.begin(), paths.end());
        return paths;
    };

    FolderScanController scan;
    int nChanging = 0;
    scan.SetSnapshotChangingFn([&] { ++nChanging; });
    scan.SetListing(tree.Root(), listing.folders, listing.files);
    Window window;
    ASSERT_TRUE(scan.Start(window.Wake()));
    std::vector<std::string> expected = found("");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool bFinished = false;
    while (!bFinished && std::chrono::steady_clock::now() < deadline) {
        bFinished = scan.TakeWaitingResults([&](size_t index) {
            const std::vector<std::string> more = found(scan.Subfolders()[index].strName);
            expected.insert(expected.end(), more.begin(), more.end());
            std::sort(expected.begin(), expected.end());
            const FolderSnapshot* pSnapshot = nullptr;
            SnapshotScope scope;
            ASSERT_TRUE(scan.FinalSoFar(pSnapshot, scope));
            EXPECT_EQ(queried(*pSnapshot, scope), expected);
        });
        std::this_thread::yield();
    }
    ASSERT_TRUE(bFinished);
    EXPECT_EQ(expected.size(), 2u + 8 * 21);
    EXPECT_GE(nChanging, 1); // the recording was lent: its readers let go before it moved
    const FolderSnapshot* pSnapshot = nullptr;
    SnapshotScope scope;
    EXPECT_FALSE(scan.FinalSoFar(pSnapshot, scope));
    const FolderSnapshot::Index top = scan.Snapshot().Find(tree.Root());
    ASSERT_TRUE(scan.Snapshot().IsHeld(top));
    EXPECT_EQ(queried(scan.Snapshot(), top), expected);
}

// Bytes on disk differ from sizes both ways: a sparse file takes less, a one-byte file a
// whole block. The rows, the total, the snapshot and a folder shown again from memory agree.
TEST(FolderScanController, SizesOnDiskOfTheRowsAndTheTotalAgreeWithTheSnapshot) {
    TempTree tree;
    tree.Folder("sparse");
    tree.SparseFile("sparse/hole", 8 << 20);
    tree.File("small/one", 1);
    tree.File("small/deeper/two", 5000);
    tree.File("tiny", 1);
    FolderListing listing = ListFolder(tree.Root().c_str());
    ASSERT_EQ(listing.files.size(), 1u);
    const int64_t nTinyOnDisk = listing.files[0].nDiskSize;
    EXPECT_GE(nTinyOnDisk, 0);
    FolderScanController scan;
    scan.BeginFolder();
    scan.SetListing(tree.Root(), std::move(listing.folders), listing.files);
    Window window;
    ASSERT_TRUE(scan.Start(window.Wake()));
    std::vector<size_t> told;
    ASSERT_TRUE(window.RunUntilFinished(scan, told));

    const FolderSnapshot& snapshot = scan.Snapshot();
    int64_t nRows = nTinyOnDisk;
    for (const FolderEntry& row : scan.Subfolders()) {
        const std::string path = tree.Path(row.strName);
        EXPECT_EQ(row.nDiskSize, snapshot.TotalAllocated(snapshot.Find(path))) << path;
#ifndef _WIN32
        EXPECT_EQ(row.nDiskSize, DuBytes(path)) << path;
#endif
        nRows += row.nDiskSize;
    }
    ASSERT_EQ(scan.Subfolders()[1].strName, "sparse"); // by name
    EXPECT_LT(scan.Subfolders()[1].nDiskSize, scan.Subfolders()[1].nSize);
    EXPECT_GT(scan.Subfolders()[0].nDiskSize, scan.Subfolders()[0].nSize);
    EXPECT_EQ(scan.TotalDiskSize(), nRows);
    EXPECT_EQ(FormatStatusText(2, 1, scan.TotalDiskSize(), SizeMeasure::OnDisk),
              "2 directory, 1 files, Size on Disk:" + FormatSize(nRows));

    // Shown again, from the snapshot alone.
    scan.BeginFolder();
    listing = ListFolder(tree.Root().c_str());
    scan.SetListing(tree.Root(), std::move(listing.folders), listing.files);
    ASSERT_TRUE(scan.FillHeldFolder());
    EXPECT_EQ(scan.TotalDiskSize(), nRows);
    EXPECT_EQ(scan.Subfolders()[0].nDiskSize,
              scan.Snapshot().TotalAllocated(scan.Snapshot().Find(tree.Path("small"))));
}
