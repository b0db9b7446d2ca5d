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
#include "list_columns.h"
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
    {
        std::FILE* file = std::fopen(olderFile.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs(kOlderScan, file);
        std::fclose(file);
    }
    Show(tree.Root());
    ASSERT_TRUE(WaitForScan());
    m_pDoc->CompareWithScan(olderFile);
    ASSERT_TRUE(PumpUntil([this] { return !m_pDoc->IsReadingComparison(); }, 20000));
    ASSERT_TRUE(m_pDoc->IsComparing());
    // The scan had ended: the rows go largest growth first at once.
    m_pView->SendMessage(WM_TIMER, CDirscopeView::kStatusTimer);

    const std::vector<std::string> expected = {
        "moved|new",         "grow.bin|" + SignedSizeText(2000),    "new-name.doc|new",
        "added.log|new",     "a.txt|" + SignedSizeText(0),          "gone.tmp|gone",
        "old-name.doc|gone", "shrink.bin|" + SignedSizeText(-3000), "src|" + SignedSizeText(-7000),
    };
    EXPECT_EQ(ChangeRows(), expected);
    const int64_t nThen = 100 + 1000 + 5000 + 300 + 50 + 10 + 7000;
    const int64_t nNow = 100 + 3000 + 2000 + 300 + 70 + 10 + 7000;
    EXPECT_NE(StatusText().find("Compared: " + ChangeTotalText(nThen, nNow)), std::string::npos)
        << StatusText();

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

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
