// The scan engine's Windows side where only Windows shows it: names outside the
// legacy code page, and reparse points.
#include <gtest/gtest.h>

#include <cstdlib>
#include <windows.h>

#include "folder_scan.h"
#include "folder_snapshot.h"
#include "temp_tree.h"

namespace {

std::wstring Wide(const std::string& text) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], n);
    wide.resize(wide.size() - 1);
    return wide;
}

} // namespace

TEST(WindowsScan, ManifestMakesTheActiveCodePageUtf8) {
    EXPECT_EQ(GetACP(), 65001u);
}

TEST(WindowsScan, NamesOutsideTheLegacyCodePageRoundTrip) {
    TempTree tree;
    const std::string greek = "\xCE\xB1\xCE\xB2\xCE\xB3.txt"; // αβγ.txt
    const std::string chinese = "\xE4\xB8\xAD\xE6\x96\x87";   // 中文
    for (const std::string& name : {greek, chinese}) {
        const std::wstring path = Wide(tree.Root()) + L"\\" + Wide(name);
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, "1234", 4, &written, nullptr);
        CloseHandle(file);
    }
    const FolderListing listing = ListFolder(tree.Root().c_str());
    ASSERT_EQ(listing.files.size(), 2u);
    EXPECT_EQ(std::string(listing.files[0].szName), greek);
    EXPECT_EQ(std::string(listing.files[1].szName), chinese);
    EXPECT_EQ(std::string(listing.files[1].szPath), tree.Root() + "\\" + chinese);

    // The "A" path the engine built opens the same file.
    FolderTotals totals;
    ASSERT_EQ(TotalFolderTree(tree.Root(), totals), WalkResult::Complete);
    EXPECT_EQ(totals.nSize, 8);
    EXPECT_NE(GetFileAttributesA(listing.files[1].szPath), INVALID_FILE_ATTRIBUTES);
}

TEST(WindowsScan, ReparsePointsCountAsFoldersButAreNotEntered) {
    // Wine shows a Unix link to a folder as a folder that is a reparse point; the
    // test's launcher makes top\real\data (100 bytes) and top\real\loop -> top.
    const char* top = std::getenv("DSCP_LINK_TREE");
    if (!top)
        GTEST_SKIP() << "DSCP_LINK_TREE not set";
    const std::string loop = std::string(top) + "\\real\\loop";
    const DWORD attributes = GetFileAttributesA(loop.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    ASSERT_NE(attributes & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    FolderTotals totals;
    ASSERT_EQ(TotalFolderTree(top, totals), WalkResult::Complete);
    EXPECT_EQ(totals.nFolders, 2); // real, loop
    EXPECT_EQ(totals.nFiles, 1);
    EXPECT_EQ(totals.nSize, 100);

    // The snapshot holds the link as a final folder with nothing in it.
    FolderSnapshot snapshot;
    std::vector<FolderTotals> allTotals;
    std::vector<WalkResult> results;
    TotalFolderTrees({top}, allTotals, results, nullptr, 2, nullptr, nullptr, &snapshot);
    const FolderSnapshot::Index link = snapshot.Find(loop);
    ASSERT_NE(link, FolderSnapshot::kNone);
    EXPECT_TRUE(snapshot.IsLink(link));
    EXPECT_EQ(snapshot.FirstSubfolder(link), FolderSnapshot::kNone);
    FolderTotals recorded;
    ASSERT_TRUE(snapshot.GetTotals(snapshot.Find(top), recorded));
    EXPECT_EQ(recorded.nFolders, 2);
    EXPECT_EQ(recorded.nSize, 100);
}
