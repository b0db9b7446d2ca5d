// Scans as files in the running program: a folder's scan saved and opened again shows what
// the disk showed, in every folder, while nothing acts on the disk; leaving it for a folder
// of this computer returns to the live view, and Back goes into the scan again. A bad file
// names where it went wrong and leaves the window as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dscp_app_fixture.h"
#include "folder_navigator.h"
#include "resource.h"
#include "scan_tree_ctrl.h"
#include "temp_tree.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

class DscpScanFiles : public DscpAppFixture {
protected:
    // Every row's every column, in name order.
    Rows ListRows() {
        Rows rows;
        CListCtrl list = List();
        const int nColumns = Header_GetItemCount(ListView_GetHeader(list.m_hWnd));
        for (int i = 0; i < list.GetItemCount(); ++i) {
            std::vector<std::string> row;
            for (int c = 0; c < nColumns; ++c)
                row.push_back(list.GetItemText(i, c));
            rows.push_back(row);
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    // Waits until `folder` shows, its scan ended and its rows are in.
    bool Settled(const std::string& folder) {
        const bool bSettled = PumpUntil(
            [&] {
                return m_pDoc->Folder() == folder && !m_pDoc->IsFilling() &&
                       !m_pDoc->IsScanning() && !m_pDoc->IsOpeningScan();
            },
            20000);
        if (!bSettled)
            ADD_FAILURE() << "showing \"" << m_pDoc->Folder() << "\", wanted \"" << folder << '"';
        return bSettled;
    }
    bool Open(const std::string& folder) {
        AfxGetNavigator()->OpenFolder(folder);
        return Settled(folder);
    }
    bool Enabled(UINT nID) {
        RunIdle();
        return m_pFrame->ToolBar().SendMessage(TB_ISBUTTONENABLED, nID) != 0;
    }
    bool ScanTreeShows() const {
        return m_pFrame->ScanTree() && m_pFrame->ScanTree()->IsWindowVisible() &&
               !m_pFrame->FolderTree()->IsWindowVisible();
    }
};

TEST_F(DscpScanFiles, ASavedScanShowsWhatTheDiskShowedAndLeavesForThisComputer) {
    // Both made before the tree pane lists their folder, so that it shows both.
    TempTree tree;
    TempTree files;
    tree.File("alpha/one.bin", 1000);
    tree.File("alpha/deep/two.bin", 3000);
    tree.File("alpha/deep/three.txt", 30);
    tree.File("beta/four.txt", 50);
    tree.File("top.dat", 7);
    tree.SetModified("alpha/one.bin", 1500000000);
    tree.SetModified("top.dat", 1600000000);
    tree.SetModified("alpha/deep", 1400000000);
    const std::string alpha = tree.Path("alpha");

    ASSERT_TRUE(Open(alpha));
    const Rows alphaRows = ListRows();
    const int64_t alphaTotal = m_pDoc->TotalSize();
    ASSERT_TRUE(Open(tree.Root()));
    const Rows rootRows = ListRows();
    const int64_t rootTotal = m_pDoc->TotalSize();
    ASSERT_EQ(rootRows.size(), 3u);

    const std::string file = files.Path("scan.json");
    ASSERT_TRUE(m_pDoc->SaveShownScan(file));
    ASSERT_TRUE(PumpUntil([this] { return !m_pDoc->IsSavingScan(); }, 20000));
    m_pDoc->OpenScanFile(file);
    ASSERT_TRUE(PumpUntil([this] { return m_pDoc->IsSavedScan(); }, 20000));
    ASSERT_TRUE(Settled(tree.Root()));
    EXPECT_EQ(ListRows(), rootRows);
    EXPECT_EQ(m_pDoc->TotalSize(), rootTotal);
    EXPECT_TRUE(ScanTreeShows());
    EXPECT_EQ(m_pFrame->PathBar().Note().rfind("Saved scan, taken ", 0), 0u)
        << m_pFrame->PathBar().Note();

    // Nothing acts on the disk: a delete of every row leaves every file where it was.
    EXPECT_FALSE(Enabled(ID_REFRESH));
    EXPECT_FALSE(Enabled(ID_DELETE));
    ListView_SetItemState(List().m_hWnd, -1, LVIS_SELECTED, LVIS_SELECTED);
    m_pView->SendMessage(WM_KEYUP, VK_DELETE, 0);
    Command(ID_DELETE);
    EXPECT_TRUE(std::filesystem::exists(tree.Path("top.dat")));
    EXPECT_TRUE(std::filesystem::exists(tree.Path("alpha/deep/two.bin")));

    // Its folders open within it, with the rows and totals the disk gave.
    ASSERT_TRUE(Open(alpha));
    EXPECT_TRUE(m_pDoc->IsSavedScan());
    EXPECT_EQ(ListRows(), alphaRows);
    EXPECT_EQ(m_pDoc->TotalSize(), alphaTotal);
    Command(ID_UP);
    ASSERT_TRUE(Settled(tree.Root()));
    EXPECT_TRUE(m_pDoc->IsSavedScan());
    EXPECT_FALSE(Enabled(ID_UP)); // the scan's root has nothing above it in the scan

    // A folder of this computer leaves the scan; Back goes into it again.
    ASSERT_TRUE(Open(files.Root()));
    EXPECT_FALSE(m_pDoc->IsSavedScan());
    EXPECT_FALSE(ScanTreeShows());
    EXPECT_TRUE(Enabled(ID_REFRESH));
    EXPECT_EQ(m_pFrame->PathBar().Note(), "");
    Command(ID_BACK);
    ASSERT_TRUE(Settled(tree.Root()));
    EXPECT_TRUE(m_pDoc->IsSavedScan());
    EXPECT_TRUE(ScanTreeShows());
    EXPECT_EQ(ListRows(), rootRows);
}

TEST_F(DscpScanFiles, ABadFileSaysWhereAndLeavesTheWindowAsItWas) {
    TempTree tree;
    tree.File("alpha/one.bin", 1000);
    ASSERT_TRUE(Open(tree.Root()));
    const Rows rows = ListRows();
    // Beside the folder shown: a file written into it would show, as the disk changed.
    TempTree elsewhere;
    const std::string file = elsewhere.Path("bad.json");
    std::ofstream(file, std::ios::binary) << "[1,2,{\"progname\":\"t\"},\n[{\"name\":\"/data\"},\n"
                                             "{\"name\":\"x\",\"asize\":12}}]\n";

    DialogAnswerer answer(IDOK);
    m_pDoc->OpenScanFile(file);
    ASSERT_TRUE(PumpUntil([this] { return !m_pDoc->IsOpeningScan(); }, 20000));
    ASSERT_TRUE(answer.Join());
    EXPECT_NE(answer.Text().find("line 3, byte 24: "), std::string::npos) << answer.Text();
    EXPECT_FALSE(m_pDoc->HasOpenedScan());
    EXPECT_FALSE(m_pDoc->IsSavedScan());
    EXPECT_EQ(m_pDoc->Folder(), tree.Root());
    EXPECT_EQ(ListRows(), rows);
    EXPECT_FALSE(ScanTreeShows());
}

} // namespace
