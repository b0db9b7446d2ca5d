#include <gtest/gtest.h>

#include <atomic>
#include <random>

#include "folder_snapshot.h"
#include "temp_tree.h"
#include "tree_totals.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

bool SameTotals(const FolderTotals& a, const FolderTotals& b) {
    return a.nSize == b.nSize && a.nFolders == b.nFolders && a.nFiles == b.nFiles;
}

} // namespace

TEST(TotalFolderTrees, ParallelAndSequentialWalksAgreeOnRandomTrees) {
    std::mt19937 rng(20261208);
    TempTree tree;
    std::vector<std::string> roots;
    std::vector<FolderTotals> expected;
    for (int i = 0; i < 12; ++i) {
        const std::string top = "tree" + std::to_string(i);
        expected.push_back(MakeRandomTree(tree, top, rng));
        roots.push_back(tree.Path(top));
    }
    roots.push_back(tree.Path("missing"));
    expected.push_back(FolderTotals{});
#ifndef _WIN32
    WithoutPermissionOverride asUser;
    if (!asUser.Works())
        GTEST_SKIP() << "cannot drop the permission override";
#endif

    for (int round = 0; round < 20; ++round) {
        for (unsigned threads : {1u, 2u, 4u}) {
            std::vector<FolderTotals> totals;
            std::vector<WalkResult> results;
            ASSERT_EQ(TotalFolderTrees(roots, totals, results, nullptr, threads),
                      WalkResult::Complete);
            for (size_t i = 0; i < roots.size(); ++i) {
                ASSERT_TRUE(SameTotals(totals[i], expected[i]))
                    << "root " << i << " threads " << threads << ": " << totals[i].nSize << " "
                    << totals[i].nFolders << " " << totals[i].nFiles;
                EXPECT_EQ(results[i],
                          i + 1 == roots.size() ? WalkResult::Unreadable : WalkResult::Complete);
            }
        }
    }
}

TEST(TotalFolderTrees, ReportsEachRootOnceWithItsFinalTotals) {
    std::mt19937 rng(7);
    TempTree tree;
    std::vector<std::string> roots;
    std::vector<FolderTotals> expected;
    for (int i = 0; i < 8; ++i) {
        expected.push_back(MakeRandomTree(tree, "r" + std::to_string(i), rng));
        roots.push_back(tree.Path("r" + std::to_string(i)));
    }
#ifndef _WIN32
    WithoutPermissionOverride asUser;
    if (!asUser.Works())
        GTEST_SKIP() << "cannot drop the permission override";
#endif
    std::vector<int> calls(roots.size(), 0);
    std::vector<FolderTotals> totals;
    std::vector<WalkResult> results;
    TotalFolderTrees(roots, totals, results, nullptr, 2,
                     [&](size_t index, const FolderTotals& sum, WalkResult result) {
                         ++calls[index];
                         EXPECT_TRUE(SameTotals(sum, expected[index])) << index;
                         EXPECT_EQ(result, WalkResult::Complete);
                     });
    EXPECT_EQ(calls, std::vector<int>(roots.size(), 1));
    std::vector<FolderTotals> none;
    EXPECT_EQ(TotalFolderTrees({}, none, results), WalkResult::Complete);
    EXPECT_TRUE(none.empty());
}

TEST(TotalFolderTrees, StopDuringALargeWalkEndsItAndLeavesNoThread) {
    TempTree tree;
    std::vector<std::string> roots;
    for (int r = 0; r < 40; ++r) {
        for (int d = 0; d < 20; ++d)
            tree.File("r" + std::to_string(r) + "/d" + std::to_string(d) + "/f", 1);
        roots.push_back(tree.Path("r" + std::to_string(r)));
    }
#ifndef _WIN32
    const int threadsBefore = ThreadCount();
#endif
    std::atomic<bool> stop{false};
    std::vector<FolderTotals> totals;
    std::vector<WalkResult> results;
    // The first root's totals are in while later roots wait: stop there.
    const WalkResult result =
        TotalFolderTrees(roots, totals, results, &stop, 2,
                         [&](size_t, const FolderTotals&, WalkResult) { stop = true; });
    EXPECT_EQ(result, WalkResult::Stopped);
    EXPECT_EQ(results.back(), WalkResult::Stopped);
#ifndef _WIN32
    EXPECT_EQ(ThreadCount(), threadsBefore);
#endif
}

#ifndef _WIN32
// The walk is the same code on every system; under Wine each level of a 10,000-character
// path costs a lookup per level and Wine's own Unix paths stop at 4,096 bytes, so the
// deep tree is tested natively.
TEST(TotalFolderTrees, VeryDeepTreeIsTotalledAndRecordedWithoutOverflow) {
    TempTree tree;
    const int levels = 5000;
    // Paths here reach 10,000 characters: made level by level, each relative to the last.
    int fd = open(tree.Root().c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < levels; ++i) {
        ASSERT_EQ(mkdirat(fd, "d", 0755), 0);
        const int next = openat(fd, "d", O_RDONLY | O_DIRECTORY);
        close(fd);
        fd = next;
    }
    const int file = openat(fd, "f", O_CREAT | O_WRONLY, 0644);
    ASSERT_EQ(write(file, "xyz", 3), 3);
    close(file);
    close(fd);

    for (unsigned threads : {1u, 2u}) {
        FolderSnapshot snapshot;
        std::vector<FolderTotals> totals;
        std::vector<WalkResult> results;
        ASSERT_EQ(TotalFolderTrees({tree.Root()}, totals, results, nullptr, threads, nullptr,
                                   nullptr, &snapshot),
                  WalkResult::Complete);
        EXPECT_EQ(totals[0].nFolders, levels);
        EXPECT_EQ(totals[0].nFiles, 1);
        EXPECT_EQ(totals[0].nSize, 3);

        // The snapshot holds every level with its own totals, found by its full path.
        std::string path = tree.Root();
        FolderSnapshot::Index folder = snapshot.Find(path);
        for (int level = 0; level <= levels; ++level) {
            FolderTotals recorded;
            ASSERT_TRUE(snapshot.GetTotals(folder, recorded)) << level;
            ASSERT_EQ(recorded.nFolders, levels - level);
            ASSERT_EQ(recorded.nSize, 3);
            ASSERT_EQ(snapshot.OwnFileCount(folder), level == levels ? 1u : 0u);
            folder = snapshot.FirstSubfolder(folder);
            path += "/d";
        }
        EXPECT_EQ(folder, FolderSnapshot::kNone);
        path.resize(path.size() - 2);
        EXPECT_EQ(snapshot.PathOf(snapshot.Find(path)), path);
        EXPECT_EQ(snapshot.FileName(snapshot.Find(path), 0), std::string("f"));
    }

    // Take the chain down through short paths (the temp tree's own removal cannot
    // reach the bottom): pull the second level up to the top, remove the emptied
    // first one, again and again.
    const std::string top = tree.Path("d");
    for (int i = 0; i < levels - 1; ++i) {
        ASSERT_EQ(rename((top + "/d").c_str(), tree.Path("up").c_str()), 0);
        ASSERT_EQ(rmdir(top.c_str()), 0);
        ASSERT_EQ(rename(tree.Path("up").c_str(), top.c_str()), 0);
    }
}
#endif

// A root's totals go out only once all of its tree is in the snapshot, its last folder's
// files and names included: whoever hears of them may read that tree while the walk goes on.
TEST(TotalFolderTrees, ARootIsReportedOnlyOnceItsTreeIsRecorded) {
    TempTree tree;
    std::vector<std::string> roots;
    for (int i = 0; i < 3; ++i) {
        const std::string root = "r" + std::to_string(i);
        tree.File(root + "/a.txt", 1);
        tree.File(root + "/last/x" + std::to_string(i) + ".bin", 2);
        roots.push_back(tree.Path(root));
    }
    FolderSnapshot s;
    std::vector<FolderTotals> totals;
    std::vector<WalkResult> results;
    int nReported = 0;
    TotalFolderTrees(
        roots, totals, results, nullptr, 1,
        [&](size_t index, const FolderTotals&, WalkResult) {
            ++nReported;
            const FolderSnapshot::Index root = s.Find(roots[index]);
            ASSERT_TRUE(s.IsHeld(root));
            ASSERT_EQ(s.OwnFileCount(root), 1u);
            EXPECT_STREQ(s.FileName(root, 0), "a.txt");
            const FolderSnapshot::Index last = s.FirstSubfolder(root);
            ASSERT_TRUE(s.IsRead(last));
            EXPECT_STREQ(s.Name(last), "last");
            ASSERT_EQ(s.OwnFileCount(last), 1u);
            EXPECT_EQ(s.FileName(last, 0), "x" + std::to_string(index) + ".bin");
        },
        nullptr, &s);
    EXPECT_EQ(nReported, 3);
}
