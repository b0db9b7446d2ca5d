// The window's scan of a folder on a real NTFS volume, in-process under Wine: read from the
// volume's file table through one drive letter, walked through another on the same mount,
// and walked with the reason shown where the table cannot be used
// (run_with_ntfs_volume.sh makes the volume and the letters).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "dscp_app_fixture.h"
#include "resource.h"
#include "temp_tree.h"
#include "volume_table_source.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

constexpr char kRead[] = "Q:\\";   // the image as the raw device: the table is read
constexpr char kWalked[] = "R:\\"; // the same mount, no raw device: walked
constexpr char kTorn[] = "S:\\";   // the mount, a copy with a torn record as the raw device

class DscpNtfs : public DscpAppFixture {
protected:
    // The status line changes at the test's own ticks only.
    void SetUp() override {
        ASSERT_NE(std::getenv("DSCP_NTFS_TORN_RECORD"), nullptr)
            << "run this test through tests/win/run_with_ntfs_volume.sh";
        DscpAppFixture::SetUp();
        ::KillTimer(m_pView->m_hWnd, CDirscopeView::kStatusTimer);
    }
    std::string Status() {
        m_pView->SendMessage(WM_TIMER, CDirscopeView::kStatusTimer);
        return m_pFrame->StatusBar().GetPaneText(0);
    }
    Rows AllRows() const {
        Rows rows;
        for (int i = 0; i < List().GetItemCount(); ++i) {
            std::vector<std::string> row;
            for (int c = 0; c < List().GetColumnCount(); ++c)
                row.push_back(List().GetItemText(i, c));
            rows.push_back(row);
        }
        return rows;
    }
    // Shows the folder and waits for its totals: the rows and the status line then.
    void ShowScanned(const std::string& folder, Rows& rows, std::string& status) {
        Show(folder);
        ASSERT_TRUE(WaitForScan()) << folder;
        rows = AllRows();
        status = Status();
    }
    ScanMethod Method() const { return m_pDoc->ScanController().Method(); }
    bool RestartOffered() {
        HMENU hFile = GetSubMenu(GetMenu(m_pFrame->m_hWnd), 0);
        m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hFile), 0);
        return !(GetMenuState(hFile, ID_FILE_RESTART_ELEVATED, MF_BYCOMMAND) & MF_GRAYED);
    }
};

} // namespace

TEST_F(DscpNtfs, TheFileTableGivesTheWalksRowsAndStatusLine) {
    for (const std::string folder : {"tree", "tree\\wide", ""}) {
        Rows walkedRows, readRows;
        std::string walkedStatus, readStatus;
        ShowScanned(kWalked + folder, walkedRows, walkedStatus);
        EXPECT_EQ(Method().way, ScanMethod::Way::Walk);
        // A drive with no volume's bytes behind it is walked without a word.
        EXPECT_EQ(Method().outcome, WholeTreeSource::Outcome::NotHere);
        EXPECT_FALSE(RestartOffered());
        ShowScanned(kRead + folder, readRows, readStatus);
        EXPECT_EQ(Method().way, ScanMethod::Way::WholeRead) << folder << ": " << Method().why;
        EXPECT_EQ(readRows, walkedRows) << folder;
        EXPECT_EQ(readStatus, walkedStatus) << folder;
        EXPECT_NE(readStatus.find("Total Size:"), std::string::npos) << readStatus;
        EXPECT_FALSE(RestartOffered());
    }
    // The bytes on disk as well.
    m_pDoc->SetMeasure(SizeMeasure::OnDisk);
    Rows rows;
    std::string walkedOnDisk, readOnDisk;
    ShowScanned(std::string(kWalked) + "tree", rows, walkedOnDisk);
    ShowScanned(std::string(kRead) + "tree", rows, readOnDisk);
    EXPECT_EQ(readOnDisk, walkedOnDisk);
    EXPECT_NE(readOnDisk.find("Size on Disk:"), std::string::npos) << readOnDisk;
}

TEST_F(DscpNtfs, WhereTheTableCannotBeUsedTheFolderIsWalkedAndTheStatusLineSaysWhy) {
    Rows walkedRows, rows;
    std::string walkedStatus, status;
    ShowScanned(std::string(kWalked) + "tree", walkedRows, walkedStatus);

    // A table that does not add up: walked, with the reason.
    ShowScanned(std::string(kTorn) + "tree", rows, status);
    EXPECT_EQ(rows, walkedRows);
    const std::string torn = walkedStatus +
                             " (walked, as the drive's file table did not add up: file record " +
                             std::getenv("DSCP_NTFS_TORN_RECORD") + " is damaged";
    EXPECT_EQ(status.substr(0, torn.size()), torn) << status;
    EXPECT_EQ(status.back(), ')');
    EXPECT_FALSE(RestartOffered());

    // A volume only an administrator may open (the test runs as one): walked, and the
    // restart offered.
    m_pDoc->ScanController().SetWholeTreeSource(std::make_shared<VolumeTableSource>(
        [](const std::string&, FolderVolume&, std::string& why) {
            why = "only an administrator may read \\\\.\\Q:";
            return VolumeAccess::Denied;
        }));
    ShowScanned(std::string(kRead) + "tree", rows, status);
    EXPECT_EQ(rows, walkedRows);
    EXPECT_EQ(status, walkedStatus + " (walked: File > Restart as Administrator scans faster)");
    EXPECT_TRUE(RestartOffered());
    // The drive overview says nothing of it, nor offers it.
    Show("");
    EXPECT_EQ(Status().find("walked"), std::string::npos);
    EXPECT_FALSE(RestartOffered());
}

// The elevated copy is started with the shown folder on its command line: it shows it.
TEST(DscpNtfsCommandLine, AFolderOnTheCommandLineIsShown) {
    TempTree tree;
    tree.File("inner/data", 5000);
    DscpInProcess app;
    ASSERT_TRUE(app.StartApp({tree.Root()}));
    EXPECT_EQ(app.m_pDoc->Folder(), tree.Root());
    EXPECT_TRUE(app.WaitForScan());
    EXPECT_EQ(app.m_pDoc->TotalSize(), 5000);
    app.StopApp();
}
