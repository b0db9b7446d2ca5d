#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <map>
#include <random>
#include <set>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include "background_scan.h"
#include "folder_snapshot.h"
#include "item_listing.h"
#include "temp_tree.h"
#include "tree_totals.h"

namespace fs = std::filesystem;

namespace {

// What a find-style walk sees in one folder, made without the engine: std::filesystem
// entries, links not followed (a link is a file of its own size), a folder that cannot be
// listed holding nothing.
struct Seen {
    FolderTotals totals; // beneath it
    std::map<std::string, int64_t> files;
    std::set<std::string> subfolders;
    bool bUnreadable = false;
};
using Oracle = std::map<std::string, Seen>; // by path

FolderTotals See(const std::string& path, Oracle& oracle) {
    Seen seen;
    std::error_code error;
    fs::directory_iterator it(fs::u8path(path), error);
    if (error) {
        seen.bUnreadable = true;
        oracle[path] = seen;
        return {};
    }
    for (; it != fs::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().u8string();
        const fs::file_status status = it->symlink_status();
        if (fs::is_directory(status)) {
            seen.subfolders.insert(name);
            continue;
        }
        const int64_t size =
            fs::is_symlink(status)
                ? static_cast<int64_t>(fs::read_symlink(it->path()).string().size())
                : static_cast<int64_t>(fs::file_size(it->path()));
        seen.files[name] = size;
        seen.totals.nSize += size;
        ++seen.totals.nFiles;
    }
    for (const std::string& name : seen.subfolders) {
        const FolderTotals beneath = See(JoinPath(path, name.c_str()), oracle);
        seen.totals.nSize += beneath.nSize;
        seen.totals.nFolders += 1 + beneath.nFolders;
        seen.totals.nFiles += beneath.nFiles;
    }
    oracle[path] = seen;
    return seen.totals;
}

Oracle SeeTree(const std::string& root) {
    Oracle oracle;
    See(root, oracle);
    return oracle;
}

bool SameTotals(const FolderTotals& a, const FolderTotals& b) {
    return a.nSize == b.nSize && a.nFolders == b.nFolders && a.nFiles == b.nFiles;
}

::testing::AssertionResult HasTotals(const FolderSnapshot& s, const std::string& path,
                                     const FolderTotals& expected) {
    const FolderSnapshot::Index folder = s.Find(path);
    FolderTotals totals;
    if (folder == FolderSnapshot::kNone || !s.GetTotals(folder, totals))
        return ::testing::AssertionFailure() << path << " has no totals";
    if (!SameTotals(totals, expected))
        return ::testing::AssertionFailure()
               << path << ": " << totals.nSize << " " << totals.nFolders << " " << totals.nFiles
               << " instead of " << expected.nSize << " " << expected.nFolders << " "
               << expected.nFiles;
    return ::testing::AssertionSuccess();
}

// Every folder the oracle saw is in the snapshot as it saw it: final, with its totals, its
// subfolders (no other) and its files, unless the memory cap dropped them. Returns how many
// folders' files were dropped.
int ExpectAgrees(const FolderSnapshot& s, const Oracle& oracle, bool bFilesMayBeDropped = false) {
    int dropped = 0;
    for (const auto& [path, seen] : oracle) {
        EXPECT_TRUE(HasTotals(s, path, seen.totals));
        const FolderSnapshot::Index folder = s.Find(path);
        if (folder == FolderSnapshot::kNone)
            continue;
        EXPECT_EQ(s.IsUnreadable(folder), seen.bUnreadable) << path;
        EXPECT_EQ(s.IsHeld(folder), !seen.bUnreadable) << path;
        std::set<std::string> subfolders;
        for (auto c = s.FirstSubfolder(folder); c != FolderSnapshot::kNone; c = s.NextSubfolder(c))
            subfolders.insert(s.Name(c));
        EXPECT_EQ(subfolders, seen.subfolders) << path;
        EXPECT_EQ(s.OwnFileCount(folder), seen.files.size()) << path;
        int64_t ownBytes = 0;
        for (const auto& file : seen.files)
            ownBytes += file.second;
        EXPECT_EQ(s.OwnFileBytes(folder), ownBytes) << path;
        if (!s.FilesHeld(folder)) {
            EXPECT_TRUE(bFilesMayBeDropped || seen.bUnreadable) << path;
            dropped += !seen.bUnreadable;
            continue;
        }
        std::map<std::string, int64_t> files;
        for (uint32_t i = 0; i < s.OwnFileCount(folder); ++i)
            files[s.FileName(folder, i)] = s.FileSize(folder, i);
        EXPECT_EQ(files, seen.files) << path;
    }
    return dropped;
}

// Twelve random trees side by side, and a file beside them.
std::vector<std::string> MakeRandomTrees(const TempTree& tree, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::string> roots;
    for (int i = 0; i < 12; ++i) {
        MakeRandomTree(tree, "t" + std::to_string(i), rng);
        roots.push_back(tree.Path("t" + std::to_string(i)));
    }
    tree.File("loose", 7);
    return roots;
}

// The top folder's level as a listing of it gives it.
SnapshotLevel ListLevel(const std::string& folder) {
    const ItemListing listing = ListFolderItems(folder);
    SnapshotLevel level;
    for (const ListedItem& item : listing.files)
        level.AddFile(item.name.c_str(), item.nSize);
    for (const ListedItem& item : listing.folders)
        level.AddFolder(item.name.c_str());
    return level;
}

// Shows `folder` as the view does: lists it, scans its subfolders in the background with
// the folder's level recorded, and takes the scan's snapshot once the scan has finished.
FolderSnapshot ScanLikeTheView(const std::string& folder, unsigned threads = 2) {
    ScanRecording recording;
    recording.bRecord = true;
    recording.folderPath = folder;
    recording.level = ListLevel(folder);
    std::vector<std::string> subfolders;
    for (size_t i = 0; i < recording.level.FolderCount(); ++i)
        subfolders.push_back(JoinPath(folder, recording.level.FolderName(i)));
    std::promise<void> finished;
    BackgroundScan scan;
    EXPECT_TRUE(scan.Start(
        subfolders, nullptr, [&](int64_t) { finished.set_value(); }, threads,
        std::move(recording)));
    EXPECT_EQ(finished.get_future().wait_for(std::chrono::seconds(60)), std::future_status::ready);
    return scan.TakeSnapshot();
}

} // namespace

// The walk records every folder, file and total exactly as a find-style walk sees them, and
// as the walk itself totals them, with any number of threads; links count as files and a
// folder that cannot be read as a folder holding nothing.
TEST(FolderSnapshot, WalkRecordsWhatAFindStyleWalkSees) {
    TempTree tree;
    const std::vector<std::string> roots = MakeRandomTrees(tree, 20261210);
#ifndef _WIN32
    WithoutPermissionOverride asUser;
    if (!asUser.Works())
        GTEST_SKIP() << "cannot drop the permission override";
#endif
    const Oracle oracle = SeeTree(tree.Root());
    // A root given twice, and one inside another, are each recorded once.
    std::vector<std::string> walked = roots;
    walked.push_back(roots[3]);
    for (const auto& [path, seen] : oracle)
        if (path.size() > roots[5].size() + 1 && path.compare(0, roots[5].size(), roots[5]) == 0)
            walked.insert(walked.begin(), path);
    for (unsigned threads : {1u, 2u, 4u}) {
        for (int round = 0; round < 3; ++round) {
            FolderSnapshot s;
            s.RecordLevel(tree.Root(), ListLevel(tree.Root()));
            std::vector<FolderTotals> totals;
            std::vector<WalkResult> results;
            TotalFolderTrees(walked, totals, results, nullptr, threads, nullptr, nullptr, &s);
            for (size_t i = 0; i < walked.size(); ++i)
                ASSERT_TRUE(HasTotals(s, walked[i], totals[i])) << threads << " threads";
            ASSERT_EQ(ExpectAgrees(s, oracle), 0) << threads << " threads";
            // Nothing besides the tree and the folders above it.
            EXPECT_EQ(s.FolderCount(),
                      oracle.size() +
                          std::count(tree.Root().begin(), tree.Root().end(), kPathSeparator) + 1);
        }
    }
}

// Past the memory cap files are dropped and folders kept, with exact totals; a deleted file
// whose folder's files were dropped makes that folder unread rather than leave a wrong total.
TEST(FolderSnapshot, MemoryCapDropsFilesButKeepsFoldersAndTotals) {
    TempTree tree;
    const std::vector<std::string> roots = MakeRandomTrees(tree, 77);
    for (int i = 0; i < 3000; ++i)
        tree.File("t5/wide/f" + std::to_string(i), 1);
    const Oracle oracle = SeeTree(tree.Root());
    // Room for every folder four times over, not for every file.
    const uint64_t cap = oracle.size() * (FolderSnapshot::kFolderBytes + 16) * 4;
    FolderSnapshot s;
    s.SetMemoryCap(cap);
    s.RecordLevel(tree.Root(), ListLevel(tree.Root()));
    std::vector<FolderTotals> totals;
    std::vector<WalkResult> results;
    TotalFolderTrees(roots, totals, results, nullptr, 2, nullptr, nullptr, &s);
    EXPECT_GT(ExpectAgrees(s, oracle, true), 0);
    EXPECT_LE(s.MemoryHeld(), cap);

    std::string folder, file;
    for (const auto& [path, seen] : oracle)
        if (!seen.files.empty() && !s.FilesHeld(s.Find(path))) {
            folder = path;
            file = JoinPath(path, seen.files.begin()->first.c_str());
        }
    ASSERT_FALSE(file.empty());
    EXPECT_TRUE(s.Remove(file));
    EXPECT_FALSE(s.IsRead(s.Find(folder)));
    FolderTotals unknown;
    EXPECT_FALSE(s.GetTotals(s.Find(tree.Root()), unknown));
}

// A stopped walk offers totals only where they are final; merged into an earlier complete
// snapshot it replaces what it finished and forgets nothing it did not.
TEST(FolderSnapshot, StoppedWalkOffersOnlyFinalTotals) {
    TempTree tree;
    std::vector<std::string> roots;
    for (int r = 0; r < 30; ++r) {
        for (int d = 0; d < 10; ++d)
            tree.File("r" + std::to_string(r) + "/d" + std::to_string(d) + "/e/f", 1 + r);
        roots.push_back(tree.Path("r" + std::to_string(r)));
    }
    const Oracle oracle = SeeTree(tree.Root());
    FolderSnapshot earlier;
    std::vector<FolderTotals> totals;
    std::vector<WalkResult> results;
    TotalFolderTrees(roots, totals, results, nullptr, 2, nullptr, nullptr, &earlier);

    for (int round = 0; round < 10; ++round) {
        std::atomic<bool> stop{false};
        FolderSnapshot s;
        ASSERT_EQ(TotalFolderTrees(
                      roots, totals, results, &stop, 2,
                      [&](size_t, const FolderTotals&, WalkResult) { stop = true; }, nullptr, &s),
                  WalkResult::Stopped);
        int finals = 0;
        for (const auto& [path, seen] : oracle) {
            const FolderSnapshot::Index folder = s.Find(path);
            FolderTotals known;
            if (folder == FolderSnapshot::kNone || !s.GetTotals(folder, known))
                continue;
            ++finals;
            EXPECT_TRUE(SameTotals(known, seen.totals)) << path;
        }
        EXPECT_GE(finals, 4); // the first root, its subfolders, and theirs
        FolderTotals unknown;
        EXPECT_FALSE(s.GetTotals(s.Find(roots.back()), unknown));

        FolderSnapshot store;
        TotalFolderTrees(roots, totals, results, nullptr, 2, nullptr, nullptr, &store);
        store.Merge(std::move(s));
        for (const std::string& root : roots)
            EXPECT_TRUE(HasTotals(store, root, oracle.at(root).totals));
    }
}

// The view's use: a folder shown, then one of its subfolders, then the folder above; changes
// on disk taken in by a fresh scan, deletions and pastes through the program.
TEST(FolderSnapshot, FreshnessAcrossScansDeletesAndPastes) {
    TempTree tree;
    tree.File("a/x/p/f1", 10);
    tree.File("a/x/q", 20);
    tree.File("a/y/f2", 30);
    tree.File("b/f3", 40);
    tree.File("own", 5);
    const std::string top = tree.Root(), a = tree.Path("a"), x = tree.Path("a/x");

    // Show a: a and everything beneath it are known, the folder above only by name.
    FolderSnapshot store;
    store.Merge(ScanLikeTheView(a));
    Oracle oracle = SeeTree(top);
    EXPECT_TRUE(store.IsHeld(store.Find(a)));
    EXPECT_TRUE(store.IsHeld(store.Find(x))); // going into a subfolder needs no walk
    EXPECT_TRUE(HasTotals(store, x, oracle[x].totals));
    EXPECT_FALSE(store.IsFinal(store.Find(top)));
    EXPECT_EQ(store.Find(tree.Path("b")), FolderSnapshot::kNone);
    // Up: the folder above is shown and scanned; everything is known.
    store.Merge(ScanLikeTheView(top));
    EXPECT_EQ(ExpectAgrees(store, oracle), 0);

    // Changes on disk inside a\x, taken in by a fresh scan of x: x's part is replaced and
    // the totals of a and of the top corrected.
    tree.File("a/x/p/new", 100);
    fs::remove(fs::u8path(tree.Path("a/x/q")));
    tree.File("a/x/r/s/t", 1);
    store.Merge(ScanLikeTheView(x));
    oracle = SeeTree(top);
    EXPECT_EQ(ExpectAgrees(store, oracle), 0);

    // Deleted through the program: a file, then a folder.
    fs::remove(fs::u8path(tree.Path("a/x/p/f1")));
    EXPECT_TRUE(store.Remove(tree.Path("a/x/p/f1")));
    fs::remove_all(fs::u8path(tree.Path("a/x/r")));
    EXPECT_TRUE(store.Remove(tree.Path("a/x/r")));
    EXPECT_FALSE(store.Remove(tree.Path("a/x/never")));
    oracle = SeeTree(top);
    EXPECT_EQ(ExpectAgrees(store, oracle), 0);
#ifdef _WIN32
    EXPECT_EQ(store.Find(tree.Path("A/X")), store.Find(x));
#endif

    // Pasted into x: x's own level is no longer known, nor the totals above; what lies
    // beneath x stays.
    store.ForgetLevel(x);
    EXPECT_FALSE(store.IsHeld(store.Find(x)));
    EXPECT_FALSE(store.IsFinal(store.Find(a)));
    EXPECT_FALSE(store.IsFinal(store.Find(top)));
    EXPECT_TRUE(HasTotals(store, tree.Path("a/x/p"), oracle[tree.Path("a/x/p")].totals));
    EXPECT_TRUE(HasTotals(store, tree.Path("a/y"), oracle[tree.Path("a/y")].totals));
    // The next scan of x makes everything final again.
    store.Merge(ScanLikeTheView(x));
    EXPECT_EQ(ExpectAgrees(store, oracle), 0);
}

namespace {

// The bytes on disk as the walk should find them: -1 where the enumeration does not tell.
int64_t AllocatedOnDisk(const std::string& path) {
#ifdef _WIN32
    const HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    FILE_STANDARD_INFO info{};
    const bool bRead = file != INVALID_HANDLE_VALUE &&
                       GetFileInformationByHandleEx(file, FileStandardInfo, &info, sizeof(info));
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return bRead ? static_cast<int64_t>(info.AllocationSize.QuadPart) : -2;
#else
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_blocks) * 512 : -2;
#endif
}

uint32_t FileNamed(const FolderSnapshot& s, FolderSnapshot::Index folder, const char* name) {
    for (uint32_t i = 0; i < s.OwnFileCount(folder); ++i)
        if (std::string(s.FileName(folder, i)) == name)
            return i;
    ADD_FAILURE() << "no file " << name;
    return 0;
}

} // namespace

// Every file keeps its time and bytes on disk, and every folder its own time and the bytes
// on disk beneath it, through a merge into a snapshot holding something else, the removal of
// a file and a compaction; extreme values come back as they went in.
TEST(FolderSnapshot, TimesAndDiskBytesSurviveMergeRemoveAndCompaction) {
    TempTree tree;
    tree.File("a/one", 3000);
    tree.SparseFile("a/sparse", uint64_t{1} << 30);
    tree.File("a/b/two", 10);
    tree.SetModified("a/one", 1000000000);
    tree.SetModified("a/b/two", 1200000000);
    tree.SetModified("a/b", 1300000000);
    tree.SetModified("a", 1400000000);

    FolderSnapshot walked;
    std::vector<FolderTotals> totals;
    std::vector<WalkResult> results;
    TotalFolderTrees({tree.Path("a")}, totals, results, nullptr, 2, nullptr, nullptr, &walked);

    FolderSnapshot s; // already holding another folder, so the walk is merged, not taken over
    SnapshotLevel other;
    other.AddFile("x", 1);
    const FolderSnapshot::Index unknown = s.RecordLevel(tree.Path("other"), other);
    EXPECT_EQ(s.OwnBytes(unknown), -1); // its own size was not told
    EXPECT_EQ(s.OwnAllocated(unknown), -1);
    s.Merge(std::move(walked));

    const int64_t one = AllocatedOnDisk(tree.Path("a/one"));
#ifndef _WIN32 // where the folders' own bytes on disk are known
    const int64_t rest = AllocatedOnDisk(tree.Path("a/sparse")) +
                         AllocatedOnDisk(tree.Path("a/b/two")) + AllocatedOnDisk(tree.Path("a")) +
                         AllocatedOnDisk(tree.Path("a/b"));
#endif
    auto expectFields = [&](const char* when, bool bOneThere) {
        SCOPED_TRACE(when);
        const FolderSnapshot::Index a = s.Find(tree.Path("a"));
        const FolderSnapshot::Index b = s.Find(tree.Path("a/b"));
        ASSERT_NE(a, FolderSnapshot::kNone);
        ASSERT_NE(b, FolderSnapshot::kNone);
#ifndef _WIN32 // a walk's own folder is timed by its lstat; on Windows its parent's listing tells
        EXPECT_EQ(s.Modified(a), 1400000000);
#endif
        EXPECT_EQ(s.Modified(b), 1300000000);
        const uint32_t two = FileNamed(s, b, "two");
        EXPECT_EQ(s.FileModified(b, two), 1200000000);
        EXPECT_EQ(s.FileAllocated(b, two), AllocatedOnDisk(tree.Path("a/b/two")));
        const uint32_t sparse = FileNamed(s, a, "sparse");
        EXPECT_EQ(s.FileSize(a, sparse), int64_t{1} << 30);
        EXPECT_EQ(s.FileAllocated(a, sparse), AllocatedOnDisk(tree.Path("a/sparse")));
        if (bOneThere) {
            EXPECT_EQ(s.FileAllocated(a, FileNamed(s, a, "one")), one);
        }
#ifndef _WIN32
        EXPECT_EQ(s.OwnAllocated(b), AllocatedOnDisk(tree.Path("a/b")));
        EXPECT_EQ(s.TotalAllocated(a), rest + (bOneThere ? one : 0));
#endif
    };
    expectFields("merged", true);

    EXPECT_TRUE(s.Remove(tree.Path("a/one")));
    expectFields("a file removed", false);

    // A large folder taken out leaves more garbage than live data: the snapshot compacts.
    SnapshotLevel large;
    for (int i = 0; i < 30000; ++i)
        large.AddFile(("a fairly long file name number " + std::to_string(i)).c_str(), i);
    s.RecordLevel(tree.Path("large"), large);
    const uint64_t before = s.MemoryUsed();
    EXPECT_TRUE(s.Remove(tree.Path("large")));
    EXPECT_LT(s.MemoryUsed(), before / 10);
    expectFields("compacted", false);

    // Times before 1970 and far ahead; bytes on disk past what 32 bits of blocks hold.
    SnapshotLevel extreme;
    extreme.AddFile("old", 1, -86400, 0);
    extreme.AddFile("huge", int64_t{5} << 40, 4102444800, (int64_t{3} << 40) + 1);
    extreme.AddFile("unknown", 7);
    const FolderSnapshot::Index e = s.RecordLevel(tree.Path("extreme"), extreme);
    EXPECT_EQ(s.FileModified(e, 0), -86400);
    EXPECT_EQ(s.FileAllocated(e, 0), 0);
    EXPECT_EQ(s.FileModified(e, 1), 4102444800);
    EXPECT_EQ(s.FileAllocated(e, 1), (int64_t{3} << 40) + FolderSnapshot::kAllocationUnit);
    EXPECT_EQ(s.FileAllocated(e, 2), -1);
    EXPECT_EQ(s.TotalAllocated(e), (int64_t{3} << 40) + FolderSnapshot::kAllocationUnit);
}

namespace {

// Shows `folder` the way the view does under a bound: makes room, walks its subfolders into
// a snapshot of the room given, merges that in. Returns the walk's snapshot's peak.
uint64_t ShowAndScan(FolderSnapshot& s, const std::string& folder) {
    s.MarkShown(folder);
    FolderSnapshot piece;
    piece.SetMemoryCap(s.MakeRoom(folder));
    const SnapshotLevel level = ListLevel(folder);
    piece.RecordLevel(folder, level);
    std::vector<std::string> subfolders;
    for (size_t i = 0; i < level.FolderCount(); ++i)
        subfolders.push_back(JoinPath(folder, level.FolderName(i)));
    std::vector<FolderTotals> totals;
    std::vector<WalkResult> results;
    TotalFolderTrees(subfolders, totals, results, nullptr, 2, nullptr, nullptr, &piece);
    const uint64_t held = piece.MemoryHeld();
    s.Merge(std::move(piece));
    return held;
}

} // namespace

// Under a small bound the store holds folders, files and names in half of it and keeps the
// rest as room to merge and compact; the trees shown least recently make room first, and a
// tree too large for the room is recorded only as far as the room goes.
TEST(FolderSnapshot, BoundedStoreForgetsTheTreesShownLeastRecently) {
    TempTree tree;
    for (const char* top : {"t0", "t1", "t2"})
        for (int d = 0; d < 60; ++d)
            for (int f = 0; f < 5; ++f)
                tree.File(std::string(top) + "/d" + std::to_string(d) + "/file" + std::to_string(f),
                          10);
    for (int d = 0; d < 2000; ++d)
        tree.Folder("many/folder" + std::to_string(d));
    const uint64_t cap = 64 << 10;
    FolderSnapshot s;
    s.SetMemoryCap(cap);
    auto held = [&](const char* top) {
        const FolderSnapshot::Index folder = s.Find(tree.Path(top));
        return folder != FolderSnapshot::kNone && s.IsHeld(folder);
    };

    for (const char* top : {"t0", "t1", "t2"}) {
        EXPECT_LE(ShowAndScan(s, tree.Path(top)), cap / 2) << top;
        EXPECT_LE(s.MemoryHeld(), cap / 2) << top;
        EXPECT_TRUE(held(top)) << top;
    }
    EXPECT_FALSE(held("t0")); // the oldest made room for t2
    EXPECT_TRUE(held("t1"));

    s.MarkShown(tree.Path("t1")); // shown again from what is held: now newer than t2
    ShowAndScan(s, tree.Path("t0"));
    EXPECT_TRUE(held("t0"));
    EXPECT_TRUE(held("t1"));
    EXPECT_FALSE(held("t2"));
    EXPECT_LE(s.MemoryHeld(), cap / 2);

    // 2,000 folders take more than the room: what fits is recorded, the rest is not, and the
    // bound holds; the totals of a tree not recorded in full are not offered.
    EXPECT_LE(ShowAndScan(s, tree.Path("many")), cap / 2);
    EXPECT_LE(s.MemoryHeld(), cap / 2);
    EXPECT_FALSE(held("many"));
}

namespace {

// The regular files and real folders beneath `root` (no links, nothing in "locked"), as
// paths relative to it with '/'.
void ListTree(const std::string& root, std::vector<std::string>& files,
              std::vector<std::string>& folders) {
    files.clear();
    folders.clear();
    for (auto it = fs::recursive_directory_iterator(fs::u8path(root));
         it != fs::recursive_directory_iterator(); ++it) {
        const std::string relative = fs::relative(it->path(), fs::u8path(root)).generic_u8string();
        const fs::file_status status = it->symlink_status();
        if (relative.find("locked") != std::string::npos || fs::is_symlink(status)) {
            if (fs::is_directory(status))
                it.disable_recursion_pending();
            continue;
        }
        (fs::is_directory(status) ? folders : files).push_back(relative);
    }
}

} // namespace

// Changes seen on disk one at a time (a file written, created, removed or renamed; a folder
// added, removed or moved elsewhere) keep every total exact, after any random sequence of
// them, through compactions: the snapshot agrees with a fresh walk throughout.
TEST(FolderSnapshot, ChangesOnDiskAppliedOneByOneKeepExactTotals) {
    TempTree tree;
    std::mt19937 rng(20261210);
    MakeRandomTree(tree, "w", rng);
    const std::string root = tree.Path("w");
    FolderSnapshot s;
    s.Merge(ScanLikeTheView(root));
    std::vector<std::string> files, folders;
    auto pick = [&rng](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(rng)];
    };
    for (int step = 0; step < 400; ++step) {
        ListTree(root, files, folders);
        folders.push_back("");
        const std::string into = pick(folders);
        const std::string fresh = (into.empty() ? "" : into + "/") + "n" + std::to_string(step);
        const std::string full = tree.Path("w/" + fresh);
        const size_t size = std::uniform_int_distribution<size_t>(0, 5000)(rng);
        switch (std::uniform_int_distribution<int>(0, 6)(rng)) {
        case 0: // written
            if (!files.empty()) {
                const std::string file = pick(files);
                tree.File("w/" + file, size);
                EXPECT_EQ(s.PutFile(tree.Path("w/" + file), static_cast<int64_t>(size), 0, -1),
                          FolderSnapshot::Change::Applied);
            }
            break;
        case 1: // created
            tree.File("w/" + fresh, size);
            EXPECT_EQ(s.PutFile(full, static_cast<int64_t>(size), 0, -1),
                      FolderSnapshot::Change::Applied);
            break;
        case 2: // a file removed
            if (!files.empty()) {
                const std::string file = tree.Path("w/" + pick(files));
                fs::remove(fs::u8path(file));
                EXPECT_TRUE(s.Remove(file));
            }
            break;
        case 3: // a file renamed, maybe into another folder, maybe onto another file
            if (!files.empty()) {
                const std::string from = tree.Path("w/" + pick(files));
                const std::string to =
                    rng() % 4 == 0 && files.size() > 1 ? tree.Path("w/" + pick(files)) : full;
                if (from == to)
                    break;
                fs::rename(fs::u8path(from), fs::u8path(to));
                EXPECT_EQ(s.Rename(from, to), FolderSnapshot::Change::Applied);
            }
            break;
        case 4: { // a folder moved, never beneath itself
            const std::string folder = pick(folders);
            if (folder.empty() || into.compare(0, folder.size(), folder) == 0)
                break;
            fs::rename(fs::u8path(tree.Path("w/" + folder)), fs::u8path(full));
            EXPECT_EQ(s.Rename(tree.Path("w/" + folder), full), FolderSnapshot::Change::Applied);
            break;
        }
        case 5: { // a folder removed
            const std::string folder = pick(folders);
            if (folder.empty() || rng() % 3 != 0)
                break;
            fs::remove_all(fs::u8path(tree.Path("w/" + folder)));
            EXPECT_TRUE(s.Remove(tree.Path("w/" + folder)));
            break;
        }
        case 6: // a folder added with something in it, walked on its own
            tree.File("w/" + fresh + "/a/b", size);
            tree.File("w/" + fresh + "/c", 7);
            s.Merge(WalkIntoSnapshot(full));
            break;
        }
        if (step % 50 == 49) {
            ASSERT_EQ(ExpectAgrees(s, SeeTree(root)), 0) << "after step " << step;
        }
    }
    // The folder above knows the new totals too, through every change.
    EXPECT_TRUE(HasTotals(s, root, SeeTree(root)[root].totals));
}
