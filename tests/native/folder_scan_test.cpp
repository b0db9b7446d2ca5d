#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>

#include "folder_scan.h"
#include "temp_tree.h"

namespace {

std::vector<std::string> Names(const std::vector<FolderEntry>& entries) {
    std::vector<std::string> names;
    for (const FolderEntry& e : entries)
        names.push_back(e.szName);
    return names;
}

FolderEntry SubfolderEntry(const TempTree& tree, const std::string& relative) {
    const FolderListing listing = ListFolder(tree.Root().c_str());
    for (const FolderEntry& e : listing.folders)
        if (relative == e.szName)
            return e;
    ADD_FAILURE() << relative << " not listed";
    return FolderEntry{};
}

} // namespace

TEST(ListFolder, SubfoldersAndFilesEachInNameOrder) {
    TempTree tree;
    tree.File("b.txt", 1);
    tree.File("A.txt", 2);
    tree.Folder("c");
    tree.Folder("D");
    tree.File("_x", 0);
    const FolderListing listing = ListFolder(tree.Root().c_str());
    ASSERT_TRUE(listing.bEnumerated);
    EXPECT_EQ(Names(listing.folders), (std::vector<std::string>{"c", "D"}));
    EXPECT_EQ(Names(listing.files), (std::vector<std::string>{"_x", "A.txt", "b.txt"}));
}

TEST(ListFolder, FillsEveryFieldOfAnEntry) {
    TempTree tree;
    tree.File("five.bin", 5);
    tree.Folder("sub");
    const FolderListing listing = ListFolder(tree.Root().c_str());
    ASSERT_EQ(listing.files.size(), 1u);
    ASSERT_EQ(listing.folders.size(), 1u);
    const FolderEntry& file = listing.files[0];
    EXPECT_EQ(std::string(file.szPath), tree.Path("five.bin"));
    EXPECT_EQ(file.nSize, 5);
    EXPECT_EQ(file.nFolders, 0);
    EXPECT_EQ(file.nFiles, 0);
    const auto age =
        std::chrono::system_clock::now().time_since_epoch() - std::chrono::seconds(file.tModified);
    EXPECT_LT(std::chrono::abs(age), std::chrono::minutes(5));
    const FolderEntry& folder = listing.folders[0];
    EXPECT_EQ(std::string(folder.szPath), tree.Path("sub"));
    EXPECT_EQ(folder.nSize, -1);
}

TEST(ListFolder, ListsDotNamesButNeverThePseudoEntries) {
    TempTree tree;
    tree.File(".profile", 1);
    tree.Folder("..x");
#ifndef _WIN32
    tree.File("...", 1); // Win32 names cannot end in a dot
#endif
    const FolderListing listing = ListFolder(tree.Root().c_str());
    EXPECT_EQ(Names(listing.folders), (std::vector<std::string>{"..x"}));
#ifdef _WIN32
    EXPECT_EQ(Names(listing.files), (std::vector<std::string>{".profile"}));
#else
    EXPECT_EQ(Names(listing.files), (std::vector<std::string>{"...", ".profile"}));
#endif
}

TEST(ListFolder, MissingOrEmptyPathIsNotEnumerated) {
    TempTree tree;
    tree.File("plain", 1);
    for (const std::string& path : {tree.Path("missing"), tree.Path("plain"), std::string()}) {
        const FolderListing listing = ListFolder(path.c_str());
        EXPECT_FALSE(listing.bEnumerated) << path;
        EXPECT_TRUE(listing.folders.empty());
        EXPECT_TRUE(listing.files.empty());
    }
    EXPECT_FALSE(ListFolder(nullptr).bEnumerated);
}

TEST(ListFolder, LargeFolderIsListedWholeInNameOrder) {
#ifdef _WIN32
    const int count = 5000; // file creation under Wine is slow
#else
    const int count = 100000;
#endif
    TempTree tree;
    for (int i = count; i-- > 0;)
        tree.File("f" + std::to_string(i), 0);
    const FolderListing listing = ListFolder(tree.Root().c_str());
    ASSERT_EQ(listing.files.size(), static_cast<size_t>(count));
    for (size_t i = 1; i < listing.files.size(); ++i)
        ASSERT_LE(CompareNoCase(listing.files[i - 1].szName, listing.files[i].szName), 0);
}

TEST(ComputeFolderTotals, SumsEveryLevel) {
    TempTree tree;
    tree.Folder("top/sub");
    tree.File("top/five", 5);
    tree.File("top/sub/three-a", 3);
    tree.File("top/sub/three-b", 3);
    FolderEntry entry = SubfolderEntry(tree, "top");
    ASSERT_TRUE(ComputeFolderTotals(entry));
    EXPECT_EQ(entry.nSize, 11);
    EXPECT_EQ(entry.nFolders, 1);
    EXPECT_EQ(entry.nFiles, 3);
    EXPECT_STREQ(entry.szName, "top");
    EXPECT_EQ(std::string(entry.szPath), tree.Path("top"));
}

TEST(ComputeFolderTotals, EmptyFolderIsZeroAndReadable) {
    TempTree tree;
    tree.Folder("empty");
    FolderEntry entry = SubfolderEntry(tree, "empty");
    EXPECT_TRUE(ComputeFolderTotals(entry));
    EXPECT_EQ(entry.nSize, 0);
    EXPECT_EQ(entry.nFolders, 0);
    EXPECT_EQ(entry.nFiles, 0);
}

TEST(ComputeFolderTotals, MissingFolderIsFalseWithZeroTotals) {
    TempTree tree;
    tree.Folder("gone");
    FolderEntry entry = SubfolderEntry(tree, "gone");
    std::filesystem::remove(tree.Path("gone"));
    entry.nSize = 77;
    EXPECT_FALSE(ComputeFolderTotals(entry));
    EXPECT_EQ(entry.nSize, 0);
    EXPECT_EQ(entry.nFolders, 0);
    EXPECT_EQ(entry.nFiles, 0);
}

#ifndef _WIN32
TEST(ComputeFolderTotals, UnreadableSubfolderCountsAsOneEmptyFolder) {
    TempTree tree;
    tree.Folder("top/locked");
    tree.File("top/ten", 10);
    tree.File("top/locked/hidden", 1000);
    std::filesystem::permissions(tree.Path("top/locked"), std::filesystem::perms::none);
    WithoutPermissionOverride asUser;
    if (!asUser.Works())
        GTEST_SKIP() << "cannot drop the permission override";
    FolderEntry entry = SubfolderEntry(tree, "top");
    ASSERT_TRUE(ComputeFolderTotals(entry));
    EXPECT_EQ(entry.nSize, 10);
    EXPECT_EQ(entry.nFolders, 1);
    EXPECT_EQ(entry.nFiles, 1);

    FolderEntry locked = ListFolder(tree.Path("top").c_str()).folders.at(0);
    EXPECT_FALSE(ComputeFolderTotals(locked));
    EXPECT_EQ(locked.nSize, 0);
}

TEST(ComputeFolderTotals, SymbolicLinksAreFilesOfTheirOwnSize) {
    TempTree tree;
    tree.Folder("top/real");
    tree.File("top/real/data", 100);
    std::filesystem::create_directory_symlink(tree.Path("top/real"), tree.Path("top/link"));
    std::filesystem::create_directory_symlink(tree.Path("top"), tree.Path("top/real/cycle"));
    FolderEntry entry = SubfolderEntry(tree, "top");
    ASSERT_TRUE(ComputeFolderTotals(entry));
    const auto linkSize = static_cast<int64_t>(tree.Path("top/real").size());
    const auto cycleSize = static_cast<int64_t>(tree.Path("top").size());
    EXPECT_EQ(entry.nSize, 100 + linkSize + cycleSize);
    EXPECT_EQ(entry.nFolders, 1);
    EXPECT_EQ(entry.nFiles, 3);
}
#endif

TEST(ComputeFolderTotals, SizesAreSixtyFourBits) {
    TempTree tree;
    tree.Folder("big");
    tree.SparseFile("big/five-gib", INT64_C(5) << 30);
    tree.SparseFile("big/three-gib-a", INT64_C(3) << 30);
    tree.SparseFile("big/three-gib-b", INT64_C(3) << 30);
    const FolderListing listing = ListFolder(tree.Path("big").c_str());
    ASSERT_EQ(listing.files.size(), 3u);
    EXPECT_EQ(listing.files[0].nSize, INT64_C(5) << 30);
    FolderEntry entry = SubfolderEntry(tree, "big");
    ASSERT_TRUE(ComputeFolderTotals(entry));
    EXPECT_EQ(entry.nSize, INT64_C(11) << 30);
}

TEST(ListFolder, LastWriteTimesAfter2038) {
    TempTree tree;
    tree.File("future", 1);
    const int64_t y2040 = INT64_C(2208988800) + 3600;
    tree.SetModified("future", y2040);
    const FolderListing listing = ListFolder(tree.Root().c_str());
    ASSERT_EQ(listing.files.size(), 1u);
    EXPECT_EQ(listing.files[0].tModified, y2040);
}

TEST(ComputeFolderTotals, PathsLongerThanTheFieldsAreStillCounted) {
    TempTree tree;
    // 40 levels of 12-character names: far beyond 259 characters at the bottom.
    std::string relative = "top";
    tree.Folder(relative);
    tree.File("top/f", 1);
    for (int level = 0; level < 40; ++level) {
        relative += "/level-" + std::to_string(10000 + level);
        tree.Folder(relative);
        tree.File(relative + "/f", 1);
    }
    ASSERT_GT(tree.Path(relative).size(), 400u);
    FolderEntry entry = SubfolderEntry(tree, "top");
    ASSERT_TRUE(ComputeFolderTotals(entry));
    EXPECT_EQ(entry.nFolders, 40);
    EXPECT_EQ(entry.nFiles, 41);
    EXPECT_EQ(entry.nSize, 41);
}

TEST(ListFolder, TheLongestNamesAreKeptWholeAndAnEmptyPathIsNeverWalked) {
    TempTree tree;
    std::string relative = "deep";
    while (tree.Path(relative).size() < 230)
        relative += "/0123456789";
    const std::string longName(255, 'n'); // the longest a Linux name can be
    const std::string longFolder(255, 'd');
    tree.File(relative + "/" + longName, 3);
    tree.File(relative + "/" + longFolder + "/inner", 7);
    const FolderListing listing = ListFolder(tree.Path(relative).c_str());
    ASSERT_TRUE(listing.bEnumerated);
    ASSERT_EQ(listing.files.size(), 1u);
    ASSERT_EQ(listing.folders.size(), 1u);
    EXPECT_EQ(listing.files[0].strName, longName);
    EXPECT_STREQ(listing.files[0].szPath, "");
    EXPECT_EQ(listing.files[0].nSize, 3);
    EXPECT_EQ(listing.folders[0].strName, longFolder);

    // The record's own path does not fit: the walk refuses it rather than take "" for
    // a folder (on Windows the current drive's root). Joined whole, it totals itself.
    FolderEntry folder = listing.folders[0];
    EXPECT_FALSE(ComputeFolderTotals(folder));
    EXPECT_EQ(folder.nSize, 0);
    EXPECT_EQ(folder.nFiles, 0);
    FolderTotals totals;
    EXPECT_EQ(TotalFolderTree(JoinPath(tree.Path(relative), folder.strName.c_str()), totals),
              WalkResult::Complete);
    EXPECT_EQ(totals.nSize, 7);
}

TEST(TotalFolderTree, RaisedStopFlagStopsTheWalk) {
    TempTree tree;
    tree.Folder("top/a/b");
    tree.File("top/a/b/f", 4);
    std::atomic<bool> stop{true};
    FolderTotals totals;
    EXPECT_EQ(TotalFolderTree(tree.Path("top"), totals, &stop), WalkResult::Stopped);

    FolderEntry entry = SubfolderEntry(tree, "top");
    EXPECT_FALSE(ComputeFolderTotals(entry, &stop));
    EXPECT_EQ(entry.nSize, -1); // left as it was

    stop = false;
    EXPECT_EQ(TotalFolderTree(tree.Path("top"), totals, &stop), WalkResult::Complete);
    EXPECT_EQ(totals.nSize, 4);
    EXPECT_EQ(totals.nFolders, 2);
}
