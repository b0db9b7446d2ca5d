// The folder tree pane and the history in the running program, in-process under Wine:
// the real tree over Wine's shell, the real list, real folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "dirscope_app.h"
#include "dirscope_view.h"
#include "dscp_app_fixture.h"
#include "dock_bar.h"
#include "folder_path.h"
#include "form_tree.h"
#include "gui_test_support.h"
#include "list_columns.h"
#include "main_frame.h"
#include "resource.h"
#include "size_text.h"
#include "temp_tree.h"

namespace {

std::string WithSlash(std::string path) {
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    return path;
}

class DscpNav : public DscpAppFixture {
protected:
    void SetUp() override {
        DscpAppFixture::SetUp();
        ASSERT_NE(m_pFrame->FolderTree(), nullptr);
    }

    CTreeCtrl& Tree() const { return *m_pFrame->FolderTree(); }
    CShellTreeCtrl& ShellTree() const { return static_cast<CShellTreeCtrl&>(Tree()); }
    bool Enabled(UINT nID) {
        RunIdle();
        return m_pFrame->ToolBar().SendMessage(TB_ISBUTTONENABLED, nID) != 0;
    }
    bool Checked(UINT nID) {
        RunIdle();
        return m_pFrame->ToolBar().SendMessage(TB_ISBUTTONCHECKED, nID) != 0;
    }
    std::string Selected() const { return Tree().GetItemText(Tree().GetSelectedItem()); }
    std::vector<std::string> BackLabels() const {
        std::vector<std::string> labels;
        for (const HistoryEntry& e : m_pFrame->History().m_arrBack)
            labels.push_back(e.szLabel);
        return labels;
    }
    std::vector<std::string> ForwardLabels() const {
        std::vector<std::string> labels;
        for (const HistoryEntry& e : m_pFrame->History().m_arrForward)
            labels.push_back(e.szLabel);
        return labels;
    }
    HTREEITEM Computer() const { return Tree().GetParentItem(DriveC()); }
    HTREEITEM DriveC() const {
        // The computer is selected at start; its children are the drives.
        HTREEITEM hRoot = Tree().GetRootItem();
        for (HTREEITEM h = Tree().GetChildItem(hRoot); h; h = Tree().GetNextSiblingItem(h))
            for (HTREEITEM d = Tree().GetChildItem(h); d; d = Tree().GetNextSiblingItem(d))
                if (Tree().GetItemText(d).find("C:") != std::string::npos)
                    return d;
        return nullptr;
    }
    // The node of a file-system folder, reached from drive C: level by level.
    HTREEITEM FolderNode(const std::string& folder) const {
        const std::string target = WithSlash(folder);
        HTREEITEM hNode = DriveC();
        while (hNode) {
            if (_stricmp(WithSlash(ShellTree().GetItemPath(hNode)).c_str(), target.c_str()) == 0)
                return hNode;
            Tree().Expand(hNode, TVE_EXPAND);
            HTREEITEM hNext = nullptr;
            for (HTREEITEM h = Tree().GetChildItem(hNode); h && !hNext;
                 h = Tree().GetNextSiblingItem(h)) {
                const std::string path = WithSlash(ShellTree().GetItemPath(h));
                if (!path.empty() && _strnicmp(target.c_str(), path.c_str(), path.size()) == 0)
                    hNext = h;
            }
            hNode = hNext;
        }
        return nullptr;
    }
    void ExpectShows(const std::string& folder) {
        EXPECT_EQ(m_pDoc->Folder(), folder);
        if (folder.empty()) {
            EXPECT_TRUE(m_pDoc->IsDriveOverview());
        } else {
            EXPECT_FALSE(m_pDoc->IsDriveOverview());
            EXPECT_EQ(m_pDoc->ListedFolderPath(), folder);
        }
    }
};

// Chooses the item at `index` of the next popup menu from a helper thread, after
// recording its items' texts.
class PopupChooser {
public:
    explicit PopupChooser(int index) : m_thread([this, index] { Run(index); }) {}
    ~PopupChooser() { Join(); }
    void Join() {
        if (m_thread.joinable())
            m_thread.join();
    }
    std::vector<std::string> m_texts;
    std::vector<UINT> m_ids;

private:
    void Run(int index) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 60000) {
            HWND hMenuWnd = FindWindowA("#32768", nullptr);
            if (hMenuWnd && IsWindowVisible(hMenuWnd)) {
                auto hMenu = reinterpret_cast<HMENU>(SendMessageA(hMenuWnd, MN_GETHMENU, 0, 0));
                for (int k = 0; hMenu && k < GetMenuItemCount(hMenu); ++k) {
                    char text[260] = {};
                    GetMenuStringA(hMenu, static_cast<UINT>(k), text, sizeof text, MF_BYPOSITION);
                    m_texts.push_back(text);
                    m_ids.push_back(GetMenuItemID(hMenu, k));
                }
                for (int k = 0; k <= index; ++k)
                    PostMessageA(hMenuWnd, WM_KEYDOWN, VK_DOWN, 0);
                PostMessageA(hMenuWnd, WM_KEYDOWN, VK_RETURN, 0);
                return;
            }
            Sleep(10);
        }
    }
    std::thread m_thread;
};

void DropDown(CMainFrame* pFrame, UINT nButton) {
    NMTOOLBARA nm{};
    nm.hdr.hwndFrom = pFrame->ToolBar().m_hWnd;
    nm.hdr.idFrom = AFX_IDW_TOOLBAR;
    nm.hdr.code = TBN_DROPDOWN;
    nm.iItem = static_cast<int>(nButton);
    pFrame->SendMessage(WM_NOTIFY, AFX_IDW_TOOLBAR, reinterpret_cast<LPARAM>(&nm));
    PumpMessages();
}

} // namespace

TEST_F(DscpNav, StartSelectsTheComputerAndShowsTheDrives) {
    // The pane: docked left beside the list, the form and its tree filling it.
    CViewBar& bar = m_pFrame->TreeBar();
    EXPECT_EQ(bar.GetDlgCtrlID(), 101);
    EXPECT_EQ(bar.GetWindowText(), "TreeDir");
    EXPECT_EQ(::GetDlgCtrlID(bar.GetParent()), AFX_IDW_DOCKBAR_LEFT);
    EXPECT_TRUE(bar.IsWindowVisible());
    const CRect rcBar = bar.GetWindowRect();
    const CRect rcList = m_pView->GetWindowRect();
    EXPECT_LE(rcBar.right, rcList.left);
    EXPECT_GT(rcBar.Width(), 100);
    char cls[64] = {};
    GetClassNameA(Tree().m_hWnd, cls, sizeof cls);
    EXPECT_STREQ(cls, "SysTreeView32");
    EXPECT_EQ(Tree().GetDlgCtrlID(), 1000);
    EXPECT_TRUE(Tree().GetStyle() & TVS_HASLINES);
    auto* pForm = dynamic_cast<CFormTree*>(CWnd::FromHandlePermanent(Tree().GetParent()));
    ASSERT_NE(pForm, nullptr);
    EXPECT_EQ(pForm->GetDocument(), m_pView->GetDocument()); // one document for both views
    const CRect rcForm = pForm->GetClientRect();
    const CRect rcTree = Tree().GetWindowRect();
    EXPECT_EQ(rcTree.Width(), rcForm.Width() + 4);
    EXPECT_EQ(rcTree.Height(), rcForm.Height() + 4);

    // The computer node, the drive overview, one visit.
    ASSERT_NE(DriveC(), nullptr);
    EXPECT_EQ(Tree().GetSelectedItem(), Computer());
    ExpectShows("");
    EXPECT_GE(m_pView->GetListCtrl().GetItemCount(), 2);
    EXPECT_EQ(BackLabels(), std::vector<std::string>{Selected()});
    EXPECT_TRUE(ForwardLabels().empty());
    EXPECT_FALSE(Enabled(ID_BACK));
    EXPECT_FALSE(Enabled(ID_FORWARD));
    EXPECT_TRUE(Enabled(ID_UP));
    EXPECT_TRUE(Enabled(ID_FOLDER));
    EXPECT_TRUE(Checked(ID_FOLDER));

    // File New fills the tree again and selects the computer again: a second visit.
    Tree().SelectItem(DriveC());
    Command(ID_FILE_NEW);
    EXPECT_EQ(Tree().GetSelectedItem(), Computer());
    ExpectShows("");
    EXPECT_EQ(BackLabels().size(), 3u);
}

TEST_F(DscpNav, TreeMovesShowFoldersAndHistoryMovesRecordNothing) {
    TempTree tree;
    tree.File("sub/a.bin", 3000);
    tree.File("top.txt", 10);
    const std::string root = tree.Root();
    const std::string sub = tree.Path("sub");
    const std::string computer = Tree().GetItemText(Computer());

    // A drive: letter and colon, no backslash.
    Tree().SelectItem(DriveC());
    ExpectShows("C:");
    const std::string drive = Selected();
    HTREEITEM hRoot = FolderNode(root);
    ASSERT_NE(hRoot, nullptr) << root;
    Tree().SelectItem(hRoot);
    ExpectShows(root);
    EXPECT_EQ(m_pView->GetListCtrl().GetItemCount(), 2); // sub and top.txt
    const std::string rootLabel = Selected();
    HTREEITEM hSub = FolderNode(sub);
    ASSERT_NE(hSub, nullptr);
    Tree().SelectItem(hSub);
    ExpectShows(sub);
    EXPECT_EQ(BackLabels(), (std::vector<std::string>{"sub", rootLabel, drive, computer}));
    EXPECT_TRUE(Enabled(ID_BACK));
    EXPECT_FALSE(Enabled(ID_FORWARD));

    // Back: the tree and the list follow, nothing recorded.
    Command(ID_BACK);
    ExpectShows(root);
    EXPECT_EQ(Tree().GetSelectedItem(), hRoot);
    EXPECT_EQ(BackLabels(), (std::vector<std::string>{rootLabel, drive, computer}));
    EXPECT_EQ(ForwardLabels(), std::vector<std::string>{"sub"});
    EXPECT_TRUE(Enabled(ID_FORWARD));

    // The Back popup lists the older visits by label and id; its second item goes two
    // steps back, to the computer.
    {
        PopupChooser choose(1);
        DropDown(m_pFrame, ID_BACK);
        choose.Join();
        EXPECT_EQ(choose.m_texts, (std::vector<std::string>{drive, computer}));
        EXPECT_EQ(choose.m_ids, (std::vector<UINT>{32784, 32785}));
    }
    PumpMessages();
    ExpectShows("");
    EXPECT_EQ(Tree().GetSelectedItem(), Computer());
    EXPECT_EQ(BackLabels(), std::vector<std::string>{computer});
    EXPECT_EQ(ForwardLabels(), (std::vector<std::string>{drive, rootLabel, "sub"}));
    EXPECT_FALSE(Enabled(ID_BACK));

    // Forward, then the Forward popup's second item (two steps on).
    Command(ID_FORWARD);
    ExpectShows("C:");
    {
        PopupChooser choose(1);
        DropDown(m_pFrame, ID_FORWARD);
        choose.Join();
        EXPECT_EQ(choose.m_texts, (std::vector<std::string>{rootLabel, "sub"}));
        EXPECT_EQ(choose.m_ids, (std::vector<UINT>{32794, 32795}));
    }
    PumpMessages();
    ExpectShows(sub);
    EXPECT_EQ(BackLabels(), (std::vector<std::string>{"sub", rootLabel, drive, computer}));
    EXPECT_TRUE(ForwardLabels().empty());

    // Back by the popup's command, then Up: an ordinary visit, the forward list emptied.
    Command(ID_BACKFOLDER0);
    ExpectShows(root);
    Command(ID_UP);
    EXPECT_EQ(Selected(), Tree().GetItemText(Tree().GetParentItem(hRoot)));
    EXPECT_EQ(BackLabels().front(), Selected());
    EXPECT_EQ(BackLabels().size(), 4u);
    EXPECT_TRUE(ForwardLabels().empty());

    // The ViewType arrow shows its two items unchanged; Detail switches the list.
    Command(ID_VIEW_ICON);
    {
        PopupChooser choose(1);
        DropDown(m_pFrame, ID_VIEWTYPE);
        choose.Join();
        EXPECT_EQ(choose.m_texts, (std::vector<std::string>{"Icon", "Detail"}));
        EXPECT_EQ(choose.m_ids, (std::vector<UINT>{32782, 32781}));
    }
    PumpMessages();
    EXPECT_EQ(m_pView->Mode(), CDirscopeView::ListMode::Detail);

    // Up from the root: disabled, and the command changes nothing.
    Tree().SelectItem(Tree().GetRootItem());
    EXPECT_FALSE(Enabled(ID_UP));
    const size_t nBack = BackLabels().size();
    Command(ID_UP);
    EXPECT_EQ(Tree().GetSelectedItem(), Tree().GetRootItem());
    EXPECT_EQ(BackLabels().size(), nBack);
}

TEST_F(DscpNav, ANodeNoLongerFoundMovesNothingAndUnlocksTheTree) {
    TempTree tree;
    tree.Folder("gone");
    HTREEITEM hGone = FolderNode(tree.Path("gone"));
    ASSERT_NE(hGone, nullptr);
    Tree().SelectItem(hGone);
    Tree().SelectItem(DriveC());
    // The node's text changes, as when the folder is renamed: its stored path leads
    // nowhere now.
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.hItem = hGone;
    item.pszText = const_cast<char*>("renamed");
    Tree().SetItem(item);
    const auto back = BackLabels();
    Command(ID_BACK);
    EXPECT_EQ(Tree().GetSelectedItem(), DriveC());
    ExpectShows("C:");
    EXPECT_EQ(BackLabels(), back);
    EXPECT_TRUE(ForwardLabels().empty());
    EXPECT_TRUE(m_pFrame->IsRecordingHistory());
    // No window is left locked: another lock can be taken.
    EXPECT_TRUE(LockWindowUpdate(m_pView->m_hWnd));
    LockWindowUpdate(nullptr);
    // Two steps back, past the missing one, still works.
    Command(ID_BACKFOLDER0 + 1);
    EXPECT_EQ(Tree().GetSelectedItem(), Computer());
    ExpectShows("");
}

TEST_F(DscpNav, FolderButtonAndCloseButtonHideThePaneAndHistoryWorksWithoutIt) {
    CViewBar& bar = m_pFrame->TreeBar();
    Command(ID_FOLDER);
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_FALSE(Checked(ID_FOLDER));
    EXPECT_TRUE(Enabled(ID_FOLDER));
    // The list takes the pane's room at once.
    EXPECT_LE(m_pView->GetWindowRect().left, m_pFrame->GetWindowRect().left + 8);
    Command(ID_FOLDER);
    EXPECT_TRUE(bar.IsWindowVisible());
    EXPECT_TRUE(Checked(ID_FOLDER));

    // The pane's own close button: a click on its spot in the caption band.
    const CRect rcButton = bar.CloseButton().GetRect();
    const CRect rcWindow = bar.GetWindowRect();
    const POINT pt{rcWindow.left + (rcButton.left + rcButton.right) / 2,
                   rcWindow.top + (rcButton.top + rcButton.bottom) / 2};
    ASSERT_EQ(bar.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)), HTCLOSE);
    bar.SendMessage(WM_NCLBUTTONUP, HTCLOSE, MAKELPARAM(pt.x, pt.y));
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_FALSE(Checked(ID_FOLDER));

    // Hidden, the tree still moves: a drive, Back, Forward, Up.
    Tree().SelectItem(DriveC());
    ExpectShows("C:");
    EXPECT_TRUE(Enabled(ID_BACK));
    Command(ID_BACK);
    ExpectShows("");
    Command(ID_FORWARD);
    ExpectShows("C:");
    EXPECT_TRUE(Enabled(ID_UP));
    Command(ID_UP);
    ExpectShows("");
    EXPECT_EQ(Tree().GetSelectedItem(), Computer());
    Command(ID_FOLDER);
    EXPECT_TRUE(bar.IsWindowVisible());
    EXPECT_TRUE(Checked(ID_FOLDER));
}

bool ViewMenuChecks(CMainFrame& frame, UINT nID) {
    HMENU hView = GetSubMenu(GetMenu(frame.m_hWnd), 1);
    frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hView), 1);
    return (GetMenuState(hView, nID, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

TEST_F(DscpNav, TreemapPaneDocksAtTheBottomAndViewTreemapHidesAndShowsIt) {
    CTreemapBar& bar = m_pFrame->TreemapBar();
    EXPECT_EQ(bar.DockBarId(), static_cast<UINT>(AFX_IDW_DOCKBAR_BOTTOM));
    EXPECT_EQ(bar.GetDlgCtrlID(), 102);
    ASSERT_TRUE(bar.IsWindowVisible());
    EXPECT_TRUE(ViewMenuChecks(*m_pFrame, ID_VIEW_TREEMAP));
    // Below the list, across the frame.
    EXPECT_GE(bar.GetWindowRect().top, m_pView->GetWindowRect().bottom);
    Command(ID_VIEW_TREEMAP);
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_FALSE(ViewMenuChecks(*m_pFrame, ID_VIEW_TREEMAP));
    // Hidden, it draws nothing; shown again, it draws what the list shows now.
    TempTree tree;
    tree.File("a.bin", 5000);
    Show(tree.Root());
    ASSERT_TRUE(WaitForScan());
    EXPECT_FALSE(bar.Treemap().IsPictureCurrent());
    Command(ID_VIEW_TREEMAP);
    EXPECT_TRUE(bar.IsWindowVisible());
    EXPECT_TRUE(ViewMenuChecks(*m_pFrame, ID_VIEW_TREEMAP));
    ASSERT_TRUE(PumpUntil([&] { return bar.Treemap().IsPictureCurrent(); }));
    EXPECT_EQ(bar.Treemap().TipText(1), tree.Path("a.bin") + "\n" + FormatSize(5000));
}

// Refuses to make any window named "Treemap" on this thread while it lives, as a system
// short of window resources would.
class TreemapPaneRefused {
public:
    TreemapPaneRefused() {
        s_hHook = SetWindowsHookExA(WH_CBT, Refuse, nullptr, GetCurrentThreadId());
    }
    ~TreemapPaneRefused() {
        if (s_hHook)
            UnhookWindowsHookEx(s_hHook);
        s_hHook = nullptr;
    }
    bool Works() const { return s_hHook != nullptr; }

private:
    static LRESULT CALLBACK Refuse(int nCode, WPARAM wParam, LPARAM lParam) {
        if (nCode == HCBT_CREATEWND) {
            const CREATESTRUCTA* pcs = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
            if (pcs->lpszName && !IS_INTRESOURCE(pcs->lpszName) &&
                std::strcmp(pcs->lpszName, "Treemap") == 0)
                return 1;
        }
        return CallNextHookEx(s_hHook, nCode, wParam, lParam);
    }
    static HHOOK s_hHook;
};
HHOOK TreemapPaneRefused::s_hHook = nullptr;

// The treemap pane is optional: when it cannot be made the program starts without it, its
// command disabled and harmless, and the list works as ever.
TEST(DscpStart, WithoutTheTreemapPaneTheProgramStartsAllTheSame) {
    DscpInProcess app;
    bool started = false;
    {
        TreemapPaneRefused refused;
        ASSERT_TRUE(refused.Works());
        started = app.StartApp({});
    }
    ASSERT_TRUE(started);
    EXPECT_EQ(app.m_pFrame->TreemapBar().m_hWnd, nullptr);
    HMENU hView = GetSubMenu(GetMenu(app.m_pFrame->m_hWnd), 1);
    app.m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hView), 1);
    EXPECT_TRUE(GetMenuState(hView, ID_VIEW_TREEMAP, MF_BYCOMMAND) & MF_GRAYED);
    app.Command(ID_VIEW_TREEMAP);
    TempTree tree;
    tree.File("sub/a.bin", 5000);
    app.Show(tree.Root());
    ASSERT_TRUE(app.WaitForScan());
    ASSERT_EQ(app.List().GetItemCount(), 1);
    EXPECT_EQ(app.List().GetItemText(0, 1), FormatSize(5000));
    app.StopApp();
}

// A click on a file's tile selects the row of the shown folder's entry that holds it and
// outlines that entry's area; a row selected in the list is outlined too; a double-click
// goes into the subfolder as its row's double-click does (tree and history follow).
TEST_F(DscpNav, TreemapClickSelectsTheHoldingRowAndDoubleClickOpensIt) {
    TempTree tree;
    tree.File("deep/inner/big.bin", 2000000);
    tree.File("deep/small.txt", 1000);
    tree.File("other.txt", 300000);
    tree.File("empty/none.txt", 0);
    HTREEITEM hRoot = FolderNode(tree.Root());
    ASSERT_NE(hRoot, nullptr);
    Tree().SelectItem(hRoot);
    CTreemapWnd& treemap = m_pFrame->TreemapBar().Treemap();
    ASSERT_TRUE(PumpUntil([&] { return !m_pDoc->IsScanning() && treemap.IsPictureCurrent(); }));

    const TreemapLayout& layout = *treemap.Layout();
    const std::string bigPath = tree.Path("deep/inner/big.bin");
    uint32_t big = Tile::kNone;
    for (uint32_t t = 0; t < layout.tiles.size(); ++t)
        if (treemap.TipText(t) == bigPath + "\n" + FormatSize(2000000))
            big = t;
    ASSERT_NE(big, Tile::kNone);
    const TileRect r = layout.tiles[big].PixelRect();
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    treemap.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    std::string name;
    bool bFolder = false;
    ASSERT_TRUE(m_pView->FirstSelectedEntry(name, bFolder));
    EXPECT_EQ(name, "deep");
    EXPECT_TRUE(bFolder);
    EXPECT_EQ(treemap.ClickedTile(), big);
    EXPECT_EQ(treemap.SelectedTile(), layout.ChildOfShown(big));

    m_pView->SelectRow(m_pView->FindEntryRow("other.txt", false));
    ASSERT_NE(treemap.SelectedTile(), Tile::kNone);
    EXPECT_EQ(treemap.TipText(treemap.SelectedTile()),
              tree.Path("other.txt") + "\n" + FormatSize(300000));

    const std::string rootLabel = Selected();
    treemap.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PumpMessages();
    ExpectShows(tree.Path("deep"));
    EXPECT_EQ(Tree().GetSelectedItem(), FolderNode(tree.Path("deep")));
    ASSERT_GE(BackLabels().size(), 2u);
    EXPECT_EQ(BackLabels()[0], "deep");
    EXPECT_EQ(BackLabels()[1], rootLabel);
}

// Writes a DWORD value into the program's profile section `section`.
void WriteProfileDword(const std::string& section, const char* name, DWORD value) {
    const std::string key = "Software\\Tarnwick\\Dirscope\\" + section;
    RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), name, REG_DWORD, &value, sizeof(value));
}

TEST_F(DscpNav, AStoredFloatingPaneGetsItsInitialUpdateShownOrHidden) {
    for (DWORD dwVisible : {1u, 0u}) {
        SCOPED_TRACE(dwVisible);
        StopApp();
        WriteProfileDword("Dirscope.BarState-Summary", "Bars", 1);
        WriteProfileDword("Dirscope.BarState-Bar0", "BarID", 101);
        WriteProfileDword("Dirscope.BarState-Bar0", "DockBarID", AFX_IDW_DOCKBAR_FLOAT);
        WriteProfileDword("Dirscope.BarState-Bar0", "Visible", dwVisible);
        WriteProfileDword("Dirscope.BarState-Bar0", "XPos", 300);
        WriteProfileDword("Dirscope.BarState-Bar0", "YPos", 200);
        StartApp({});
        ASSERT_TRUE(m_pFrame->TreeBar().IsFloating());
        ASSERT_EQ(m_pFrame->TreeBar().IsWindowVisible(), dwVisible == 1);

        // The tree is filled and on the computer; the list shows the drives.
        ASSERT_NE(m_pFrame->FolderTree(), nullptr);
        ASSERT_NE(DriveC(), nullptr);
        EXPECT_EQ(Tree().GetSelectedItem(), Computer());
        ExpectShows("");
        EXPECT_GE(List().GetItemCount(), 2);
        EXPECT_TRUE(Enabled(ID_UP));

        // File New with the pane floating starts the tree over as well as the list.
        Tree().SelectItem(DriveC());
        ExpectShows("C:");
        Command(ID_FILE_NEW);
        EXPECT_EQ(Tree().GetSelectedItem(), Computer());
        ExpectShows("");
        EXPECT_GE(List().GetItemCount(), 2);
    }
}

// ---- the keyboard, the path bar, the treemap you can read ----

class DscpKeys : public DscpNav {
protected:
    // Gives `hWnd` the focus in the foreground window, so that real keys reach it.
    void FocusOn(HWND hWnd) {
        SetForegroundWindow(m_pFrame->m_hWnd);
        SetFocus(hWnd);
        PumpMessages();
        ASSERT_EQ(GetFocus(), hWnd);
    }
    void ShowThroughTree(const std::string& folder) {
        HTREEITEM hNode = FolderNode(folder);
        ASSERT_NE(hNode, nullptr) << folder;
        Tree().SelectItem(hNode);
        ExpectShows(folder);
    }
    CTreemapWnd& Treemap() { return m_pFrame->TreemapBar().Treemap(); }
    HWND PathBox() { return m_pFrame->PathBar().EditWindow(); }
    void Type(const std::string& text) {
        FocusOn(PathBox());
        SetWindowTextA(PathBox(), text.c_str());
        ASSERT_TRUE(SendKeys({VK_RETURN}));
    }
};

// Enter opens the selected folder row, Backspace and Alt+Up go up, Alt+Left and Alt+Right go
// back and forward, F5 lists the folder again; Tab, Shift+Tab, F6 and Shift+F6 go round the
// tree, the list and the treemap; none acts while the path bar's box has the focus.
TEST_F(DscpKeys, KeysMoveBetweenFoldersAndPanes) {
    TempTree tree;
    tree.File("sub/a.bin", 3000);
    tree.File("top.txt", 10);
    ShowThroughTree(tree.Root());
    const HWND hList = m_pView->m_hWnd;

    FocusOn(hList);
    m_pView->SelectRow(m_pView->FindEntryRow("sub", true));
    ASSERT_TRUE(SendKeys({VK_RETURN}));
    ExpectShows(tree.Path("sub"));
    EXPECT_EQ(BackLabels().front(), "sub");
    EXPECT_EQ(Tree().GetSelectedItem(), FolderNode(tree.Path("sub")));
    ASSERT_TRUE(SendKeys({VK_BACK}));
    ExpectShows(tree.Root());
    ASSERT_TRUE(SendKeys({VK_MENU, VK_LEFT}));
    ExpectShows(tree.Path("sub"));
    ASSERT_TRUE(SendKeys({VK_MENU, VK_RIGHT}));
    ExpectShows(tree.Root());
    ASSERT_TRUE(SendKeys({VK_MENU, VK_UP}));
    EXPECT_EQ(Tree().GetSelectedItem(), Tree().GetParentItem(FolderNode(tree.Root())));
    ShowThroughTree(tree.Root());
    tree.File("new.txt", 5);
    FocusOn(hList);
    ASSERT_TRUE(SendKeys({VK_F5}));
    EXPECT_EQ(List().GetItemCount(), 3);

    // Round the panes, both ways.
    const HWND hTree = Tree().m_hWnd, hMap = Treemap().m_hWnd;
    FocusOn(hTree);
    ASSERT_TRUE(SendKeys({VK_TAB}));
    EXPECT_EQ(GetFocus(), hList);
    ASSERT_TRUE(SendKeys({VK_TAB}));
    EXPECT_EQ(GetFocus(), hMap);
    ASSERT_TRUE(SendKeys({VK_F6}));
    EXPECT_EQ(GetFocus(), hTree);
    ASSERT_TRUE(SendKeys({VK_SHIFT, VK_TAB}));
    EXPECT_EQ(GetFocus(), hMap);
    ASSERT_TRUE(SendKeys({VK_SHIFT, VK_F6}));
    EXPECT_EQ(GetFocus(), hList);

    // In the path bar's box the keys are the box's own.
    FocusOn(PathBox());
    const std::string shown = m_pDoc->Folder();
    ASSERT_TRUE(SendKeys({VK_BACK}));
    ASSERT_TRUE(SendKeys({VK_F5}));
    ASSERT_TRUE(SendKeys({VK_TAB}));
    EXPECT_EQ(GetFocus(), PathBox());
    EXPECT_EQ(m_pDoc->Folder(), shown);
    EXPECT_EQ(m_pFrame->PathBar().Text(), shown.substr(0, shown.size() - 1));
}

// A typed folder is shown through the tree (the history records it); a file shows its folder
// with its row selected; a path that leads nowhere says so and changes nothing; Escape puts
// the shown path back.
TEST_F(DscpKeys, PathBarShowsTypedPathsThroughTheTree) {
    TempTree tree;
    tree.File("deep/inner/f.bin", 100);
    tree.File("deep/Notes.txt", 10);
    CPathBar& bar = m_pFrame->PathBar();
    EXPECT_EQ(bar.Text(), Tree().GetItemText(Computer()));

    Type(tree.Path("deep/inner"));
    ExpectShows(tree.Path("deep/inner"));
    EXPECT_EQ(Tree().GetSelectedItem(), FolderNode(tree.Path("deep/inner")));
    EXPECT_EQ(BackLabels().front(), "inner");
    EXPECT_EQ(bar.Text(), tree.Path("deep/inner"));
    EXPECT_EQ(bar.Note(), "");

    const size_t nBack = BackLabels().size();
    Type(tree.Path("deep/nothing here"));
    EXPECT_EQ(bar.Note(), CPathBar::kNotFoundNote);
    ExpectShows(tree.Path("deep/inner"));
    EXPECT_EQ(BackLabels().size(), nBack);
    ASSERT_TRUE(SendKeys({VK_ESCAPE}));
    EXPECT_EQ(bar.Text(), tree.Path("deep/inner"));
    EXPECT_EQ(bar.Note(), "");

    // A file, typed in another case: its folder, its row.
    std::string file = tree.Path("deep/notes.TXT");
    Type(file);
    ExpectShows(tree.Path("deep"));
    std::string name;
    bool bFolder = true;
    ASSERT_TRUE(m_pView->FirstSelectedEntry(name, bFolder));
    EXPECT_EQ(name, "Notes.txt");
    EXPECT_FALSE(bFolder);
    EXPECT_EQ(bar.Text(), tree.Path("deep"));

    // The computer's name, as the bar shows it on the drive overview, goes back there.
    Type(Tree().GetItemText(Computer()));
    ExpectShows("");
    EXPECT_EQ(Tree().GetSelectedItem(), Computer());
}

// The shown folder's subfolders are framed and named with their sizes; a type keeps its
// colour from folder to folder; the arrows move the selection to the neighbouring block,
// Enter goes in and Backspace out; the clicked tile's outline goes with another selection.
TEST_F(DscpKeys, TreemapNamesFramesKeepsColoursAndTakesTheKeys) {
    TempTree tree;
    tree.File("alpha/movie.avi", 3000000);
    tree.File("alpha/song.mp3", 600000);
    tree.File("beta/clip.avi", 500000);
    tree.File("beta/tune.mp3", 1500000);
    tree.File("beta/more/x.bin", 700000);
    ShowThroughTree(tree.Root());
    CTreemapWnd& map = Treemap();
    ASSERT_TRUE(PumpUntil([&] { return !m_pDoc->IsScanning() && map.IsPictureCurrent(); }));
    const TreemapLayout& layout = *map.Layout();
    const CTreemapCanvas& canvas = map.Canvas();

    // Frames on the subfolders' edges, a label with text inside a big block.
    const uint32_t alpha = map.Labels().empty() ? Tile::kNone : map.Labels()[0].label.tile;
    ASSERT_NE(alpha, Tile::kNone);
    for (const CTreemapCanvas::LabelText& label : map.Labels()) {
        const TileRect r = layout.tiles[label.label.tile].PixelRect();
        EXPECT_EQ(canvas.Pixel(r.left, (r.top + r.bottom) / 2), kTreemapFrame) << label.name;
        EXPECT_EQ(canvas.Pixel((r.left + r.right) / 2, r.bottom - 1), kTreemapFrame) << label.name;
    }
    EXPECT_EQ(map.Labels()[0].name, "alpha");
    EXPECT_EQ(map.Labels()[0].size, FormatSize(3600000));
    const TileRect box = map.Labels()[0].label.box;
    std::set<uint32_t> colours;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < std::min(box.right, box.left + 40); ++x)
            colours.insert(canvas.Pixel(x, y));
    EXPECT_GE(colours.size(), 3u); // the card and the letters on it

    // The .avi tiles in both folders: one hue (the shading scales all channels alike).
    auto hueOf = [&](const std::string& path) {
        for (uint32_t t = 0; t < layout.tiles.size(); ++t)
            if (map.TipText(t).rfind(path + "\n", 0) == 0) {
                const TileRect r = layout.tiles[t].PixelRect();
                const uint32_t p = canvas.Pixel((r.left + r.right) / 2, (r.top + r.bottom) / 2);
                const double red = (p >> 16) & 0xFF, green = (p >> 8) & 0xFF, blue = p & 0xFF;
                const double sum = red + green + blue;
                return std::vector<double>{red / sum, green / sum, blue / sum};
            }
        ADD_FAILURE() << "no tile for " << path;
        return std::vector<double>{};
    };
    const std::vector<double> a = hueOf(tree.Path("alpha/movie.avi"));
    const std::vector<double> b = hueOf(tree.Path("beta/clip.avi"));
    ASSERT_EQ(a.size(), 3u);
    ASSERT_EQ(b.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_NEAR(a[i], b[i], 0.03) << i;

    // The keyboard: the first arrow selects the largest block, the next its neighbour, the
    // other folder; Enter goes in, Backspace out.
    FocusOn(map.m_hWnd);
    ASSERT_TRUE(SendKeys({VK_RIGHT}));
    std::string name;
    bool bFolder = false;
    ASSERT_TRUE(m_pView->FirstSelectedEntry(name, bFolder));
    EXPECT_EQ(name, "alpha");
    EXPECT_EQ(map.SelectedTile(), alpha);
    const bool bBeside = layout.NeighbourOf(alpha, TileDirection::Right) != Tile::kNone;
    ASSERT_TRUE(SendKeys({static_cast<WORD>(bBeside ? VK_RIGHT : VK_DOWN)}));
    EXPECT_EQ(GetFocus(), map.m_hWnd);
    ASSERT_TRUE(m_pView->FirstSelectedEntry(name, bFolder));
    EXPECT_EQ(name, "beta");
    ASSERT_TRUE(SendKeys({VK_RETURN}));
    ExpectShows(tree.Path("beta"));
    EXPECT_EQ(BackLabels().front(), "beta");
    ASSERT_TRUE(SendKeys({VK_BACK}));
    ExpectShows(tree.Root());

    // A click outlines its tile; another row selected takes the outline away, and with no
    // row selected nothing is outlined.
    ASSERT_TRUE(PumpUntil([&] { return map.IsPictureCurrent(); }));
    const TreemapLayout& now = *map.Layout();
    const TileRect r = now.tiles[now.tiles[0].firstChild].PixelRect(); // alpha
    map.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON,
                    MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    EXPECT_NE(map.ClickedTile(), Tile::kNone);
    EXPECT_EQ(GetFocus(), map.m_hWnd);
    m_pView->SelectRow(m_pView->FindEntryRow("beta", true));
    EXPECT_EQ(map.ClickedTile(), Tile::kNone);
    EXPECT_NE(map.SelectedTile(), Tile::kNone);
    m_pView->SelectRow(-1);
    PumpMessages();
    EXPECT_EQ(map.SelectedTile(), Tile::kNone);
}

// The header's arrow names the sort: Size, largest first, after the scan; a click on Name
// moves it there (last in the alphabet first), a second click turns it.
TEST_F(DscpKeys, TheHeaderShowsTheSort) {
    TempTree tree;
    tree.File("a/x.bin", 100);
    tree.File("b.txt", 10);
    ShowThroughTree(tree.Root());
    ASSERT_TRUE(WaitForScan());
    bool bDescending = false;
    EXPECT_EQ(SortArrowColumn(List(), bDescending), kSizeColumn);
    EXPECT_TRUE(bDescending);
    NMLISTVIEW click{};
    click.hdr.hwndFrom = m_pView->m_hWnd;
    click.hdr.idFrom = static_cast<UINT_PTR>(m_pView->GetDlgCtrlID());
    click.hdr.code = LVN_COLUMNCLICK;
    click.iSubItem = kNameColumn;
    m_pFrame->SendMessage(WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(SortArrowColumn(List(), bDescending), kNameColumn);
    EXPECT_TRUE(bDescending);
    m_pFrame->SendMessage(WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(SortArrowColumn(List(), bDescending), kNameColumn);
    EXPECT_FALSE(bDescending);
}

// Without a stored height the treemap keeps 40% of the room between the top and bottom
// rows through a resize; at the least window size the list keeps its height.
TEST_F(DscpKeys, TheTreemapKeepsItsShareAndTheListItsLeastHeight) {
    CTreemapBar& bar = m_pFrame->TreemapBar();
    auto room = [&] {
        return m_pFrame->StatusBar().GetWindowRect().top -
               m_pFrame->PathBar().GetWindowRect().bottom;
    };
    for (const SIZE size : {SIZE{900, 700}, SIZE{1000, 900}, SIZE{700, 560}}) {
        m_pFrame->SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE);
        RunIdle();
        EXPECT_EQ(bar.GetWindowRect().Height(), static_cast<int>(std::lround(0.4 * room())))
            << size.cx << "x" << size.cy;
    }
    MINMAXINFO info{};
    m_pFrame->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    m_pFrame->SetWindowPos(nullptr, 0, 0, info.ptMinTrackSize.x, info.ptMinTrackSize.y,
                           SWP_NOZORDER | SWP_NOMOVE);
    RunIdle();
    EXPECT_GE(m_pView->GetWindowRect().Height(), CMainFrame::kListKeep);
    EXPECT_TRUE(bar.IsWindowVisible());
    EXPECT_GE(bar.GetWindowRect().Height(), 60);
    EXPECT_TRUE(m_pFrame->ToolBar().IsWindowVisible());

    // A height the stored layout gives is kept as it is, whatever the window's size.
    StopApp();
    WriteProfileDword("Dirscope.BarState-SCBar-102", "sizeHorzCY", 150);
    ASSERT_TRUE(StartApp({}));
    for (const SIZE size : {SIZE{900, 700}, SIZE{1000, 900}}) {
        m_pFrame->SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE);
        RunIdle();
        EXPECT_EQ(m_pFrame->TreemapBar().GetWindowRect().Height(), 150);
    }
}
