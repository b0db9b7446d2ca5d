// The background scan, the status line, column sorting and the drive overview of the
// program, in-process under Wine with real windows and real folders.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "dirscope_app.h"
#include "dirscope_view.h"
#include "dscp_app_fixture.h"
#include "drive_rules.h"
#include "gui_test_support.h"
#include "main_frame.h"
#include "query_view.h"
#include "resource.h"
#include "size_text.h"
#include "temp_tree.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

class DscpScan : public DscpAppFixture {
protected:
    // The status line changes at the test's own ticks only: the view's two-second timer
    // would tick whenever a wait took that long.
    void SetUp() override {
        DscpAppFixture::SetUp();
        ::KillTimer(m_pView->m_hWnd, CDirscopeView::kStatusTimer);
    }
    void Tick() { m_pView->SendMessage(WM_TIMER, CDirscopeView::kStatusTimer); }
    std::string Status() const { return m_pFrame->StatusBar().GetPaneText(0); }
    void ClickHeader(int nColumn) {
        NMLISTVIEW nm{};
        nm.hdr.hwndFrom = m_pView->m_hWnd;
        nm.hdr.idFrom = AFX_IDW_PANE_FIRST;
        nm.hdr.code = LVN_COLUMNCLICK;
        nm.iItem = -1;
        nm.iSubItem = nColumn;
        m_pFrame->SendMessage(WM_NOTIFY, AFX_IDW_PANE_FIRST, reinterpret_cast<LPARAM>(&nm));
    }
    Rows AllRows() const {
        Rows rows;
        const int nColumns = List().GetColumnCount();
        for (int i = 0; i < List().GetItemCount(); ++i) {
            std::vector<std::string> row;
            for (int c = 0; c < nColumns; ++c)
                row.push_back(List().GetItemText(i, c));
            rows.push_back(row);
        }
        return rows;
    }
    std::vector<std::string> Column(int nColumn) const {
        std::vector<std::string> cells;
        for (const auto& row : AllRows())
            cells.push_back(row[nColumn]);
        return cells;
    }
};

std::string ScanTree() {
    const char* tree = std::getenv("DSCP_SCAN_TREE");
    return tree ? tree : "";
}

// The large tree's subfolder dirNN holds 40 folders of 25 files each, of
// 1000 * (NN + 1) + f bytes.
int64_t LargeTotal(int d) {
    return 1000000LL * (d + 1) + 12000;
}

// The file that this process's common controls were loaded from. Through the manifest
// it is the common controls 6 assembly's, in the side-by-side store of this architecture
// (Wine's copy reports version 5 from DllGetVersion either way, so the path tells).
std::string CommonControlsPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), path, MAX_PATH);
    return path;
}

} // namespace

TEST_F(DscpScan, GreekAndChineseNamesShowAndTotalUnderTheProgramsManifest) {
    // The manifest, made for this build's architecture, gives the UTF-8 code page and
    // common controls 6; without it these names turn into others that cannot be opened.
    EXPECT_EQ(GetACP(), 65001u);
#ifdef _WIN64
    const char* assembly = "\\winsxs\\amd64_microsoft.windows.common-controls_";
#else
    const char* assembly = "\\winsxs\\x86_microsoft.windows.common-controls_";
#endif
    EXPECT_NE(CommonControlsPath().find(assembly), std::string::npos) << CommonControlsPath();
    EXPECT_NE(CommonControlsPath().find("_6.0."), std::string::npos) << CommonControlsPath();
    TempTree tree;
    const std::string omega = "\xCE\xA9mega";               // Greek capital omega
    const std::string chinese = "\xE4\xB8\xAD\xE6\x96\x87"; // two Chinese characters
    tree.Folder(omega);
    tree.Folder(chinese);
    tree.SparseFile(omega + "/data", 3 << 20);
    tree.SparseFile(chinese + "/data", 1 << 20);
    Show(tree.Root());
    ASSERT_TRUE(WaitForScan());
    EXPECT_EQ(Column(0), (std::vector<std::string>{omega, chinese}));
    EXPECT_EQ(AllRows()[0][1], "3.0 MB");
    EXPECT_EQ(AllRows()[1][1], "1.0 MB");
    Tick();
    EXPECT_EQ(Status(), "2 directory, 0 files, Total Size:4.0 MB");
}

TEST_F(DscpScan, RowsFillInThenSortLargestFirstAndTheTotalShowsAtTheNextTick) {
    TempTree tree;
    tree.Folder("A");
    tree.Folder("B");
    tree.SparseFile("A/data", 3 << 20);
    tree.SparseFile("B/data", 5 << 20);
    tree.File("file", 1024);
    Show(tree.Root());
    // At once: the rows by name, the subfolders' cells empty, the direct counts.
    EXPECT_EQ(AllRows()[0][0], "A");
    EXPECT_EQ(AllRows()[0][1], "");
    EXPECT_EQ(Status(), "2 directory, 1 files");
    EXPECT_EQ(m_pDoc->TotalSize(), 0);
    ASSERT_TRUE(WaitForScan());
    EXPECT_EQ(Column(0), (std::vector<std::string>{"B", "A", "file"}));
    EXPECT_EQ(AllRows()[0][1], "5.0 MB");
    EXPECT_EQ(AllRows()[0][4], "0"); // folders beneath B: none
    EXPECT_EQ(AllRows()[0][5], "1");
    EXPECT_EQ(AllRows()[1][1], "3.0 MB");
    EXPECT_EQ(m_pView->SortColumn(), 1);
    EXPECT_FALSE(m_pView->IsSortDescending());   // the scan's sort leaves the direction alone
    EXPECT_EQ(Status(), "2 directory, 1 files"); // until the timer ticks
    Tick();
    EXPECT_EQ(Status(), "2 directory, 1 files, Total Size:8.0 MB");
    EXPECT_EQ(m_pDoc->TotalSize(), (8LL << 20) + 1024);

    // The first click on Size sorts descending, as the scan did; the second reverses.
    ClickHeader(1);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"B", "A", "file"}));
    ClickHeader(1);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"file", "A", "B"}));
}

TEST_F(DscpScan, ASubfolderOfAFinishedScanShowsItsCellsFromMemoryBeforeItsOwnScan) {
    TempTree tree;
    tree.Folder("A/y");
    tree.Folder("B");
    tree.SparseFile("A/x", 1 << 20);
    tree.SparseFile("A/y/z", 3 << 20);
    tree.File("A/y/w", 1024);
    tree.Folder("A/empty");
    tree.SparseFile("B/data", 2 << 20);
    Show(tree.Root());
    ASSERT_TRUE(WaitForScan());
    // The fresh scans below are held: whatever the cells show came from the root's scan.
    FolderScanController& scan = m_pDoc->ScanController();
    scan.HoldStart(true);
    Show(tree.Path("A"));
    ASSERT_TRUE(m_pDoc->IsScanning());
    const Rows drilled = {{"y", "3.0 MB", "", "", "0", "2"},
                          {"x", "1.0 MB", "", "", "", ""},
                          {"empty", "0 KB", "", "", "0", "0"}};
    Rows shown = AllRows();
    for (auto& row : shown)
        row[2] = row[3] = ""; // type and date are the shell's and the disk's
    EXPECT_EQ(shown, drilled);
    EXPECT_EQ(m_pView->SortColumn(), 1);
    EXPECT_EQ(Status(), "2 directory, 1 files, Total Size:4.0 MB");
    // Up, still held: the root's rows are known too, largest first.
    Show(tree.Root());
    EXPECT_EQ(Column(0), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"4.0 MB", "2.0 MB"}));
    EXPECT_EQ(m_pDoc->TotalSize(), (6LL << 20) + 1024);
    // Released, the fresh scan writes the same cells again.
    scan.ReleaseStart();
    ASSERT_TRUE(WaitForScan());
    EXPECT_EQ(Column(1), (std::vector<std::string>{"4.0 MB", "2.0 MB"}));
}

// Windows' list control stops every timer it is handed and does not know; Wine's does
// not. This stand-in, a class of the program's own under the list control's name, does it
// in front of the real control for the windows created while it is registered.
class TimerStoppingListClass {
public:
    TimerStoppingListClass() {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        GetClassInfoExA(nullptr, WC_LISTVIEWA, &wc);
        s_pfnList = wc.lpfnWndProc;
        wc.lpfnWndProc = &Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.style &= ~CS_GLOBALCLASS;
        m_bRegistered = RegisterClassExA(&wc) != 0;
    }
    ~TimerStoppingListClass() {
        if (m_bRegistered)
            UnregisterClassA(WC_LISTVIEWA, GetModuleHandleA(nullptr));
    }
    bool m_bRegistered = false;

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_TIMER)
            KillTimer(hWnd, wParam);
        return CallWindowProcA(s_pfnList, hWnd, message, wParam, lParam);
    }
    static WNDPROC s_pfnList;
};
WNDPROC TimerStoppingListClass::s_pfnList = nullptr;

TEST_F(DscpScan, TheStatusTimerKeepsTickingAfterTheScan) {
    StopApp();
    TimerStoppingListClass listClass;
    ASSERT_TRUE(listClass.m_bRegistered);
    StartApp({});
    TempTree tree;
    tree.Folder("A");
    tree.SparseFile("A/data", 3 << 20);
    Show(tree.Root());
    ASSERT_TRUE(WaitForScan());
    // The view's own timer, made quicker; each real tick writes the total again over
    // whatever else was put in the pane.
    m_pView->SetTimer(CDirscopeView::kStatusTimer, 50);
    for (int tick = 0; tick < 4; ++tick) {
        m_pFrame->StatusBar().SetPaneText(0, "Ready", true);
        const DWORD start = GetTickCount();
        while (Status() != "1 directory, 0 files, Total Size:3.0 MB" &&
               GetTickCount() - start < 5000) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            PumpMessages();
        }
        EXPECT_EQ(Status(), "1 directory, 0 files, Total Size:3.0 MB") << tick;
    }
    StopApp(); // the list goes before its class
}

TEST_F(DscpScan, TheTotalCountsEveryByteOfSmallFiles) {
    TempTree tree;
    for (int i = 0; i < 300; ++i)
        tree.File("f" + std::to_string(i), 100);
    Show(tree.Root());
    ASSERT_TRUE(WaitForScan());
    Tick();
    // Summing the rounded "0.1 KB" texts would give 30 KB; the bytes give 29.3 KB.
    EXPECT_EQ(Status(), "0 directory, 300 files, Total Size:29.3 KB");
}

TEST_F(DscpScan, NothingToTotalKeepsTheShortTextAndTheWordsNeverChange) {
    TempTree tree;
    tree.Folder("empty");
    tree.File("zero", 0);
    Show(tree.Root());
    ASSERT_TRUE(WaitForScan());
    Tick();
    EXPECT_EQ(Status(), "1 directory, 1 files");
    EXPECT_EQ(AllRows()[0], (std::vector<std::string>{"empty", "0 KB", AllRows()[0][2],
                                                      AllRows()[0][3], "0", "0"}));
    // The drive overview leaves the last folder's figures on the status line.
    Show("");
    Tick();
    EXPECT_EQ(Status(), "1 directory, 1 files");
    EXPECT_FALSE(m_pDoc->IsScanning());
}

TEST_F(DscpScan, HeaderClicksSortEachColumnByItsRule) {
    TempTree tree;
    tree.File("a.txt", 9 * 1024 * 1024 + 512 * 1024); // 9.5 MB
    tree.File("B.txt", 12 * 1024 * 1024);             // 12.0 MB
    tree.File("c.txt", 900 * 1024);                   // 900.0 KB
    tree.SetModified("a.txt", 1133395200);            // 12/1/2005
    tree.SetModified("B.txt", 1148918700);            // 5/29/2006
    tree.SetModified("c.txt", 1000000000);            // 9/9/2001
    for (int i = 0; i < 10; ++i)
        tree.File("ten/" + std::to_string(i), 1);
    for (int i = 0; i < 9; ++i)
        tree.File("nine/" + std::to_string(i), 1);
    Show(tree.Root());
    ASSERT_TRUE(WaitForScan());
    using Names = std::vector<std::string>;
    ClickHeader(0);
    EXPECT_EQ(Column(0), (Names{"ten", "nine", "c.txt", "B.txt", "a.txt"}));
    ClickHeader(0);
    EXPECT_EQ(Column(0), (Names{"a.txt", "B.txt", "c.txt", "nine", "ten"}));
    ClickHeader(1); // "ten" and "nine" both read 0.0 KB: equal, in either order
    const Names bySize = Column(0);
    EXPECT_EQ(Names(bySize.begin(), bySize.begin() + 3), (Names{"B.txt", "a.txt", "c.txt"}));
    ClickHeader(3); // by time, not by the text "12/1/2005" above "5/29/2006"
    const std::vector<std::string> dates = Column(0);
    EXPECT_EQ(std::find(dates.begin(), dates.end(), "B.txt") - dates.begin() <
                  std::find(dates.begin(), dates.end(), "a.txt") - dates.begin(),
              true);
    EXPECT_LT(std::find(dates.begin(), dates.end(), "a.txt") - dates.begin(),
              std::find(dates.begin(), dates.end(), "c.txt") - dates.begin());
    ClickHeader(5); // 10 above 9
    EXPECT_EQ(Column(0)[0], "ten");
    EXPECT_EQ(Column(0)[1], "nine");
    EXPECT_TRUE(m_pView->IsSortDescending());
    EXPECT_EQ(m_pView->SortColumn(), 5);
}

// 2.0 KB against 2.9 KB and 0.1 KB against 0.9 KB: whole kilobytes would tie them and
// leave them in name order. Equal sizes keep their order, after the scan and both ways.
TEST_F(DscpScan, SizeSortsByExactBytesAndEqualSizesKeepTheirOrder) {
    TempTree tree;
    tree.File("a", 2048);
    tree.File("b", 2970);
    tree.File("c", 102);
    tree.File("d", 922);
    for (const char* name : {"e1", "e2", "e3"})
        tree.File(name, 1500);
    tree.File("f/inner", 2969); // a subfolder's total is as exact
    Show(tree.Root());
    ASSERT_TRUE(WaitForScan());
    using Names = std::vector<std::string>;
    EXPECT_EQ(Column(0), (Names{"b", "f", "a", "e1", "e2", "e3", "d", "c"}));
    ClickHeader(1);
    EXPECT_EQ(Column(0), (Names{"b", "f", "a", "e1", "e2", "e3", "d", "c"}));
    ClickHeader(1);
    EXPECT_FALSE(m_pView->IsSortDescending());
    EXPECT_EQ(Column(0), (Names{"c", "d", "e1", "e2", "e3", "a", "f", "b"}));
    EXPECT_EQ(m_pView->SortColumn(), 1);
}

TEST_F(DscpScan, TheDriveOverviewListsWinesDrivesInLetterOrder) {
    // Start-up already shows it.
    EXPECT_TRUE(m_pDoc->IsDriveOverview());
    const std::vector<std::string> expected = DriveNamesFromMask(GetLogicalDrives());
    ASSERT_EQ(Column(0), expected);
    EXPECT_NE(std::find(expected.begin(), expected.end(), "C:"), expected.end());
    EXPECT_NE(std::find(expected.begin(), expected.end(), "Z:"), expected.end());

    // The drive icons 141, 140, 142 are the three images of the view's own lists, which
    // a rebuild reuses.
    HIMAGELIST hNormal = List().GetImageList(LVSIL_NORMAL);
    HIMAGELIST hSmall = List().GetImageList(LVSIL_SMALL);
    Show("");
    EXPECT_EQ(List().GetImageList(LVSIL_NORMAL), hNormal);
    EXPECT_EQ(List().GetImageList(LVSIL_SMALL), hSmall);
    EXPECT_EQ(ImageList_GetImageCount(hNormal), 3);
    EXPECT_EQ(ImageList_GetImageCount(hSmall), 3);
    for (int i = 0; i < List().GetItemCount(); ++i) {
        const std::string name = List().GetItemText(i, 0);
        const UINT type = GetDriveTypeA((name + "\\").c_str());
        const int expectedImage = type == DRIVE_REMOVABLE ? 0 : type == DRIVE_CDROM ? 2 : 1;
        EXPECT_EQ(List().GetItemImage(i), expectedImage) << name;
        ULARGE_INTEGER available{}, total{}, free{};
        if (name != "A:" && GetDiskFreeSpaceExA((name + "\\").c_str(), &available, &total, &free)) {
            EXPECT_EQ(List().GetItemText(i, 1), FormatSize(static_cast<int64_t>(total.QuadPart)))
                << name;
            EXPECT_FALSE(List().GetItemText(i, 2).empty()) << name;
        } else {
            EXPECT_EQ(List().GetItemText(i, 1), "") << name;
        }
    }
    EXPECT_EQ(GetDriveTypeA("C:\\"), static_cast<UINT>(DRIVE_FIXED));

    // Size and Free Space both sort by value, largest first.
    for (int nColumn : {1, 2}) {
        ClickHeader(nColumn);
        const std::vector<std::string> cells = Column(nColumn);
        for (size_t i = 1; i < cells.size(); ++i)
            EXPECT_GE(ParseSizeText(cells[i - 1]), ParseSizeText(cells[i])) << nColumn;
    }
    ClickHeader(0);
    EXPECT_EQ(Column(0).front(), expected.back());
}

TEST_F(DscpScan, SwitchingFoldersMidScanNeverLeavesACellOfTheOldScan) {
    const std::string root = ScanTree();
    if (root.empty())
        GTEST_SKIP() << "DSCP_SCAN_TREE not set";
    const std::string large = root + "\\large";
    const std::string small = root + "\\small";
    // Every cell filled at once, from what earlier scans walked, is the shown folder's own.
    const auto onlyOwnCells = [&](bool bLarge, int round) {
        for (const auto& row : AllRows()) {
            const std::string own = bLarge ? FormatSize(LargeTotal(std::atoi(row[0].c_str() + 3)))
                                           : std::string("0 KB");
            ASSERT_TRUE(row[1].empty() || row[1] == own) << round << " " << row[0] << row[1];
        }
    };
    for (int round = 0; round < 200; ++round) {
        Show(large);
        ASSERT_TRUE(m_pDoc->IsScanning());
        onlyOwnCells(true, round);
        // Let the large scan get some way, by a varying number of rows.
        const size_t wanted = round % 4;
        ASSERT_TRUE(PumpUntil([&] {
            const std::vector<std::string> sizes = Column(1);
            return !m_pDoc->IsScanning() ||
                   sizes.size() - std::count(sizes.begin(), sizes.end(), "") >= wanted;
        })) << round;
        if (round % 3 == 0)
            ClickHeader(0);
        Show(small);
        onlyOwnCells(false, round);
        if (round > 0) { // the small tree's scan has finished before: every cell is known
            ASSERT_EQ(Column(1), std::vector<std::string>(24, "0 KB")) << round;
        }
        ASSERT_TRUE(WaitForScan()) << round;
        for (const auto& row : AllRows())
            ASSERT_EQ(row[1], "0 KB") << round << " " << row[0];
        Tick();
        ASSERT_EQ(Status(), "24 directory, 0 files") << round;
    }
    // Left to finish, with a re-sort meanwhile, the large scan writes every row by name.
    Show(large);
    ClickHeader(0);
    ASSERT_TRUE(WaitForScan());
    for (const auto& row : AllRows()) {
        const int d = std::atoi(row[0].c_str() + 3);
        EXPECT_EQ(row[1], FormatSize(LargeTotal(d))) << row[0];
        EXPECT_EQ(row[4], "40") << row[0];
        EXPECT_EQ(row[5], "1000") << row[0];
    }
    EXPECT_EQ(List().GetItemText(0, 0), "dir23"); // sorted largest first at the end
}

TEST_F(DscpScan, TheWindowKeepsAnsweringThroughAScan) {
    const std::string root = ScanTree();
    if (root.empty())
        GTEST_SKIP() << "DSCP_SCAN_TREE not set";
    Show(root + "\\large");
    std::atomic<bool> bDone{false};
    std::atomic<bool> bProberEnded{false};
    std::atomic<int> answered{0};
    std::atomic<int> unanswered{0};
    const HWND hFrame = m_pFrame->m_hWnd;
    // Another thread sends the window a message every few milliseconds.
    std::thread prober([&] {
        while (!bDone) {
            DWORD_PTR result = 0;
            if (SendMessageTimeoutA(hFrame, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result))
                ++answered;
            else
                ++unanswered;
            Sleep(5);
        }
        bProberEnded = true;
    });
    // The program's own loop: wait for messages, handle them.
    EXPECT_TRUE(PumpUntil([&] { return !m_pDoc->IsScanning() && answered > 0; }));
    bDone = true;
    EXPECT_TRUE(PumpUntil([&] { return bProberEnded.load(); })); // its last message too
    prober.join();
    EXPECT_EQ(unanswered.load(), 0);
}

TEST_F(DscpScan, NamesThatDifferOnlyInCaseKeepTheirOwnTotals) {
    const std::string root = ScanTree();
    if (root.empty())
        GTEST_SKIP() << "DSCP_SCAN_TREE not set";
    Show(root + "\\case");
    ASSERT_TRUE(WaitForScan());
    std::map<std::string, std::vector<std::string>> byName;
    for (const auto& row : AllRows())
        byName[row[0]] = {row[1], row[4], row[5]};
    using Cells = std::vector<std::string>;
    EXPECT_EQ(byName["Dup"], (Cells{"4.9 KB", "0", "1"}));
    EXPECT_EQ(byName["dup"], (Cells{"0.1 KB", "0", "1"}));
    EXPECT_EQ(byName["data"], (Cells{"2.9 KB", "0", "1"}));
    EXPECT_EQ(byName["DATA"], (Cells{"0.0 KB", "", ""})); // a file: no counts
    EXPECT_EQ(byName.size(), 4u);
    EXPECT_EQ(m_pDoc->TotalSize(), 5000 + 100 + 3000 + 7);
}

TEST_F(DscpScan, ClosingTheProgramMidScanEndsIt) {
    const std::string root = ScanTree();
    if (root.empty())
        GTEST_SKIP() << "DSCP_SCAN_TREE not set";
    Show(root + "\\large");
    PumpMessages();
    ASSERT_TRUE(m_pDoc->IsScanning());
    m_pFrame->PostMessage(WM_COMMAND, ID_APP_EXIT);
    EXPECT_EQ(m_pApp->Run(), 0);
    EXPECT_EQ(m_pApp->GetMainWnd(), nullptr);
}

// A window of the test's own that runs `m_action` when it gets WM_APP or its timer ticks:
// messages the program handles while it shows a folder, as it would the user's click.
class ActionWindow {
public:
    ActionWindow() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "DscpTestAction";
        RegisterClassA(&wc);
        m_hWnd = CreateWindowA("DscpTestAction", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               wc.hInstance, nullptr);
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~ActionWindow() { DestroyWindow(m_hWnd); }
    void Post() const { PostMessageA(m_hWnd, WM_APP, 0, 0); }

    HWND m_hWnd = nullptr;
    std::function<void()> m_action;

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* pThis = reinterpret_cast<ActionWindow*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        if ((message == WM_APP || message == WM_TIMER) && pThis && pThis->m_action)
            pThis->m_action();
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
};

// The show of a large folder handles messages (at once here: no small-folder grace), so
// these run inside ShowFolder, as the user's clicks would.
class DscpLargeFolder : public DscpScan {
protected:
    void SetUp() override {
        DscpScan::SetUp();
        if (ScanTree().empty())
            GTEST_SKIP() << "DSCP_SCAN_TREE not set";
        m_pDoc->SetPumpAfterMs(0);
    }
    const std::string m_many = ScanTree() + "\\many";
    static constexpr int kManyFiles = 20000;
};

TEST_F(DscpLargeFolder, MessagesAreHandledWhileItShowsAndEveryRowIsThereAfter) {
    m_pView->PostMessage(WM_COMMAND, ID_VIEW_ICON);
    PostQuitMessage(7); // taken by the show's pump, which stops and leaves it for the loop
    Show(m_many);
    EXPECT_EQ(m_pView->Mode(), CDirscopeView::ListMode::Icon);
    EXPECT_EQ(List().GetItemCount(), kManyFiles);
    EXPECT_EQ(List().GetItemText(0, 0), "file00000.txt");
    EXPECT_EQ(List().GetItemText(kManyFiles - 1, 0), "file19999.dat");
    EXPECT_EQ(List().GetItemText(kManyFiles - 1, 1), "0 KB");
    EXPECT_EQ(Status(), "0 directory, 20000 files");
    EXPECT_FALSE(m_pDoc->IsFilling());
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(DscpLargeFolder, AFolderChosenWhileAnotherFillsWinsWholly) {
    const std::string small = ScanTree() + "\\small";
    ActionWindow chooser;
    // Chosen before the large folder has a row (a posted message, handled at the show's
    // first stop), and once it has some (a timer, which ticks at most once per stop): the
    // rows, counts and scan are the small folder's alone.
    for (const bool bOnceItHasRows : {false, true}) {
        bool bChosen = false;
        chooser.m_action = [&] {
            if (bChosen || (bOnceItHasRows && List().GetItemCount() == 0))
                return;
            bChosen = true;
            KillTimer(chooser.m_hWnd, 1);
            Show(small);
        };
        if (bOnceItHasRows)
            SetTimer(chooser.m_hWnd, 1, 1, nullptr);
        else
            chooser.Post();
        Show(m_many);
        KillTimer(chooser.m_hWnd, 1);
        EXPECT_TRUE(bChosen) << bOnceItHasRows;
        EXPECT_EQ(m_pDoc->ListedFolderPath(), small);
        ASSERT_EQ(List().GetItemCount(), 24) << bOnceItHasRows;
        ASSERT_TRUE(WaitForScan());
        for (const auto& row : AllRows()) {
            EXPECT_EQ(row[0].substr(0, 3), "dir");
            EXPECT_EQ(row[1], "0 KB") << row[0];
        }
        Tick();
        EXPECT_EQ(Status(), "24 directory, 0 files") << bOnceItHasRows;
    }
}

TEST_F(DscpLargeFolder, ClosingTheProgramWhileAFolderFillsEndsIt) {
    m_pFrame->PostMessage(WM_COMMAND, ID_APP_EXIT);
    Show(m_many);
    // The fill gave up, the window is still there for the close to come back to it.
    EXPECT_LT(List().GetItemCount(), kManyFiles);
    EXPECT_FALSE(m_pDoc->IsFilling());
    EXPECT_FALSE(m_pDoc->IsScanning());
    EXPECT_EQ(m_pApp->Run(), 0);
    EXPECT_EQ(m_pApp->GetMainWnd(), nullptr);
}

// While a scan runs, Largest Files shows the files of the subfolders the scan has finished
// (here the first, of one file, at once), and nothing of one still being walked; once it has
// ended, the largest files of the whole tree.
TEST_F(DscpScan, LargestFilesFollowsARunningScanWithWhatIsFinal) {
    const std::string root = ScanTree();
    ASSERT_FALSE(root.empty()) << "run through run_with_scan_tree.sh (DSCP_SCAN_TREE)";
    Command(ID_VIEW_LARGEST_FILES);
    CQueryView* pPane = nullptr; // the one query pane shown
    for (CView* pView : m_pDoc->GetViews())
        if (auto* pQuery = dynamic_cast<CQueryView*>(pView); pQuery && pQuery->IsWindowVisible())
            pPane = pQuery;
    ASSERT_NE(pPane, nullptr);
    const CListCtrl rows = pPane->GetListCtrl();
    constexpr int kFolderColumn = 4; // Name, Size, Type, Date, Folder
    Show(root + "\\follow");
    ASSERT_TRUE(m_pDoc->IsScanning());
    ASSERT_TRUE(PumpUntil([&] { return rows.GetItemCount() > 0 || !m_pDoc->IsScanning(); }));
    ASSERT_TRUE(m_pDoc->IsScanning()) << "the scan ended before the pane showed a row";
    // Every file shown lies in a subfolder whose total the list shows.
    std::map<std::string, bool> totalled;
    for (const auto& row : AllRows())
        totalled[row[0]] = !row[1].empty();
    ASSERT_TRUE(totalled["a"]);
    for (int i = 0; i < rows.GetItemCount(); ++i) {
        const std::string folder = rows.GetItemText(i, kFolderColumn);
        ASSERT_TRUE(totalled[folder.substr(0, folder.find('\\'))]) << i << ": " << folder;
    }
    ASSERT_TRUE(PumpUntil([&] { return !m_pDoc->IsScanning() && pPane->IsAnswerCurrent(); }));
    ASSERT_EQ(rows.GetItemCount(), 1000);
    EXPECT_EQ(rows.GetItemText(0, 0), "first.txt"); // the one file that is not empty
}
