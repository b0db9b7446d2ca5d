// File > Compare With Scan in the running program: a tree saved as a scan, then changed by
// the test in every way a tree changes (files grown, shrunk, added, removed, renamed, a
// folder moved), shows exactly those changes in the Change column, largest growth first,
// the entries gone as rows of their own, and the totals then and now in the status line;
// showing a folder outside the compared one ends the comparison.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dscp_app_fixture.h"
#include "file_types_view.h"
#include "largest_files_view.h"
#include "list_columns.h"
#include "resource.h"
#include "scan_comparison.h"
#include "temp_tree.h"

namespace {

class DscpCompare : public DscpAppFixture {
protected:
    // The rows as "name|change", top to bottom.
    std::vector<std::string> ChangeRows() const {
        std::vector<std::string> rows;
        CListCtrl list = List();
        for (int i = 0; i < list.GetItemCount(); ++i)
            rows.push_back(list.GetItemText(i, kNameColumn) + "|" +
                           list.GetItemText(i, kChangeColumn));
        return rows;
    }
    std::string StatusText() const { return m_pFrame->StatusBar().GetPaneText(0); }
    CLargestFilesView& Largest() const {
        return *m_pFrame->QueryPane<CLargestFilesView>(ID_VIEW_LARGEST_FILES);
    }
    // Largest Files' rows as "name|change", top to bottom, once its answer is in.
    std::vector<std::string> LargestRows() {
        EXPECT_TRUE(PumpUntil([this] { return Largest().IsAnswerCurrent(); }, 20000));
        std::vector<std::string> rows;
        CListCtrl list = Largest().GetListCtrl();
        for (int i = 0; i < list.GetItemCount(); ++i)
            rows.push_back(list.GetItemText(i, CFileListView::kName) + "|" +
                           list.GetItemText(i, CFileListView::kChange));
        return rows;
    }
    // A click on Largest Files' column header, as the list reports it.
    void ClickLargestHeader(int nColumn) {
        NMLISTVIEW click{};
        click.hdr.hwndFrom = Largest().m_hWnd;
        click.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(Largest().m_hWnd));
        click.hdr.code = LVN_COLUMNCLICK;
        click.iItem = -1;
        click.iSubItem = nColumn;
        ::SendMessageA(::GetParent(Largest().m_hWnd), WM_NOTIFY, click.hdr.idFrom,
                       reinterpret_cast<LPARAM>(&click));
    }
};

// The tree as it was, in ncdu's export format: the folder's own size counts nothing.
const char kOlderScan[] = R"([1,2,{"progname":"test","progver":"1","timestamp":1},
[{"name":"then"},
 {"name":"a.txt","asize":100},
 {"name":"grow.bin","asize":1000},
 {"name":"shrink.bin","asize":5000},
 {"name":"old-name.doc","asize":300},
 {"name":"gone.tmp","asize":50},
 [{"name":"src"},{"name":"x.c","asize":10},
  [{"name":"move-me"},{"name":"big.iso","asize":7000}]]]])";

// The same tree as the test's after its changes, saved elsewhere.
const char kNewerScan[] = R"([1,2,{"progname":"test","progver":"1","timestamp":2},
[{"name":"/srv/now"},
 {"name":"a.txt","asize":100},
 {"name":"grow.bin","asize":3000},
 {"name":"shrink.bin","asize":2000},
 {"name":"new-name.doc","asize":300},
 {"name":"added.log","asize":70},
 [{"name":"src"},{"name":"x.c","asize":10}],
 [{"name":"moved"},{"name":"big.iso","asize":7000}]]])";

void WriteText(const std::string& path, const char* pszText) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs(pszText, file);
    std::fclose(file);
}

// The Change column of the tree as the test changes it, largest growth first.
std::vector<std::string> ExpectedChanges() {
    return {
        "moved|new",         "grow.bin|" + SignedSizeText(2000),    "new-name.doc|new",
        "added.log|new",     "a.txt|" + SignedSizeText(0),          "gone.tmp|gone",
        "old-name.doc|gone", "shrink.bin|" + SignedSizeText(-3000), "src|" + SignedSizeText(-7000),
    };
}

} // namespace

TEST_F(DscpCompare, ShowsEveryChangeOfTheTreeAndEndsOutsideIt) {
    TempTree tree;
    tree.File("a.txt", 100);
    tree.File("grow.bin", 3000);
    tree.File("shrink.bin", 2000);
    tree.File("new-name.doc", 300);
    tree.File("added.log", 70);
    tree.File("src/x.c", 10);
    tree.File("moved/big.iso", 7000);
    const std::string olderFile = tree.Root() + "-older.json";
    WriteText(olderFile, kOlderScan);
    Command(ID_VIEW_LARGEST_FILES);
    Show(tree.Root());
    ASSERT_TRUE(WaitForScan());
    m_pDoc->CompareWithScan(olderFile);
    ASSERT_TRUE(PumpUntil([this] { return !m_pDoc->IsReadingComparison(); }, 20000));
    ASSERT_TRUE(m_pDoc->IsComparing());
    // The scan had ended: the rows go largest growth first at once.
    m_pView->SendMessage(WM_TIMER, CDirscopeView::kStatusTimer);

    EXPECT_EQ(ChangeRows(), ExpectedChanges());
    const int64_t nThen = 100 + 1000 + 5000 + 300 + 50 + 10 + 7000;
    const int64_t nNow = 100 + 3000 + 2000 + 300 + 70 + 10 + 7000;
    EXPECT_NE(StatusText().find("Compared: " + ChangeTotalText(nThen, nNow)), std::string::npos)
        << StatusText();

    // Largest Files tells each file's change; its Change header orders by largest growth.
    EXPECT_EQ(LargestRows().front(), "big.iso|new");
    ClickLargestHeader(CFileListView::kChange);
    EXPECT_TRUE(Largest().IsGrowthOrder());
    const std::vector<std::string> growth = LargestRows();
    ASSERT_GE(growth.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(growth.begin(), growth.begin() + 3),
              (std::vector<std::string>{"big.iso|new", "grow.bin|" + SignedSizeText(2000),
                                        "new-name.doc|new"}));
    EXPECT_EQ(growth.back(), "shrink.bin|" + SignedSizeText(-3000));

    // Beneath the compared folder the comparison holds: the moved folder is gone from src.
    Show(tree.Path("src"));
    ASSERT_TRUE(WaitForScan());
    EXPECT_EQ(ChangeRows(), (std::vector<std::string>{"x.c|" + SignedSizeText(0), "move-me|gone"}));

    // Outside it, the comparison ends and the Change column goes.
    TempTree elsewhere;
    elsewhere.File("other.txt", 10);
    Show(elsewhere.Root());
    ASSERT_TRUE(WaitForScan());
    EXPECT_FALSE(m_pDoc->IsComparing());
    EXPECT_EQ(List().GetColumnCount(), kChangeColumn);
    std::remove(olderFile.c_str());
}

TEST_F(DscpCompare, AnOpenedScanComparesWithAnotherSavedScan) {
    TempTree files;
    WriteText(files.Path("older.json"), kOlderScan);
    WriteText(files.Path("newer.json"), kNewerScan);
    Command(ID_VIEW_FILE_TYPES);
    m_pDoc->OpenScanFile(files.Path("newer.json"));
    ASSERT_TRUE(PumpUntil([this] { return m_pDoc->IsSavedScan() && !m_pDoc->IsFilling(); }, 20000));
    m_pDoc->CompareWithScan(files.Path("older.json"));
    ASSERT_TRUE(PumpUntil([this] { return !m_pDoc->IsReadingComparison(); }, 20000));
    ASSERT_TRUE(m_pDoc->IsComparing());
    EXPECT_EQ(ChangeRows(), ExpectedChanges());
    // File Types tells each type's change: .bin went from 6,000 bytes to 5,000.
    CFileTypesView& types = *m_pFrame->QueryPane<CFileTypesView>(ID_VIEW_FILE_TYPES);
    ASSERT_TRUE(PumpUntil([&] { return types.IsAnswerCurrent(); }, 20000));
    const int nBin = types.FindType("bin");
    ASSERT_GE(nBin, 0);
    EXPECT_EQ(types.GetListCtrl().GetItemText(nBin, CFileTypesView::kChange),
              SignedSizeText(-1000));

    // Within the opened scan the comparison follows its folders.
    m_pDoc->ShowScanFolder(m_pDoc->ListedFolderPath() + "/src");
    ASSERT_TRUE(PumpUntil([this] { return !m_pDoc->IsFilling(); }, 20000));
    EXPECT_TRUE(m_pDoc->IsComparing());
    EXPECT_EQ(ChangeRows(), (std::vector<std::string>{"x.c|" + SignedSizeText(0), "move-me|gone"}));
}
