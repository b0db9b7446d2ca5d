// The program in-process under Wine: start-up, main window, menus, toolbar, status bar
// and the folder list, with real windows, a real registry and real folders.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "date_text.h"
#include "dirscope_app.h"
#include "dirscope_view.h"
#include "dscp_app_fixture.h"
#include "doc_template.h"
#include "document.h"
#include "gui_test_support.h"
#include "main_frame.h"
#include "resource.h"
#include "shell_tree_ctrl.h"
#include "size_text.h"
#include "temp_tree.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

// Sets a file's or folder's last-write time (seconds since 1970, UTC).
void SetWriteTime(const std::string& path, int64_t t) {
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    const uint64_t ticks = static_cast<uint64_t>(t + 11644473600LL) * 10000000ULL;
    FILETIME ft{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
}

std::string ShellTypeName(const std::string& path) {
    SHFILEINFOA sfi{};
    SHGetFileInfoA(path.c_str(), 0, &sfi, sizeof(sfi), SHGFI_TYPENAME);
    return sfi.szTypeName;
}

class DscpApp : public DscpAppFixture {
protected:
    int ColumnCount() const { return List().GetColumnCount(); }
    std::vector<std::string> Headings() const {
        std::vector<std::string> headings;
        for (int i = 0; i < ColumnCount(); ++i)
            headings.push_back(List().GetColumnHeading(i));
        return headings;
    }
    Rows AllRows() const {
        Rows rows;
        const int nColumns = ColumnCount();
        for (int i = 0; i < List().GetItemCount(); ++i) {
            std::vector<std::string> row;
            for (int c = 0; c < nColumns; ++c)
                row.push_back(List().GetItemText(i, c));
            rows.push_back(row);
        }
        return rows;
    }
    bool ButtonEnabled(UINT nID) const {
        return m_pFrame->ToolBar().SendMessage(TB_ISBUTTONENABLED, nID) != 0;
    }
};

// A folder with the subfolders b and A and the files z.txt and C.txt.
struct MixedFolder {
    TempTree tree;
    static constexpr int64_t kTime = 1148918700; // 2006-05-29 16:05 UTC
    MixedFolder() {
        tree.Folder("b");
        tree.Folder("A");
        tree.File("b/inside.bin", 5000);
        tree.File("z.txt", 5);
        tree.File("C.txt", 2000);
        for (const char* name : {"b", "A", "z.txt", "C.txt"})
            SetWriteTime(tree.Path(name), kTime);
    }
};

} // namespace

TEST_F(DscpApp, TheTitleReadsDirscope30) {
    EXPECT_EQ(m_pFrame->GetWindowText(), "Dirscope 3.0");
    EXPECT_FALSE(m_pFrame->GetStyle() & FWS_ADDTOTITLE);
    EXPECT_TRUE(m_pFrame->IsWindowVisible());
    EXPECT_EQ(m_pApp->m_strAppName, "Dirscope");
    EXPECT_EQ(m_pApp->Profile().KeyPath(), "Software\\Tarnwick\\Dirscope");
}

TEST_F(DscpApp, TheMainMenuHoldsItsCommandsByIdAndText) {
    HMENU hMenu = GetMenu(m_pFrame->m_hWnd);
    ASSERT_EQ(GetMenuItemCount(hMenu), 3);
    auto text = [](HMENU h, UINT item, UINT flags) {
        char buffer[128] = {};
        GetMenuStringA(h, item, buffer, sizeof(buffer), flags);
        return std::string(buffer);
    };
    EXPECT_EQ(text(hMenu, 0, MF_BYPOSITION), "&File");
    EXPECT_EQ(text(hMenu, 1, MF_BYPOSITION), "&View");
    EXPECT_EQ(text(hMenu, 2, MF_BYPOSITION), "&Help");
    HMENU hFile = GetSubMenu(hMenu, 0);
    // The scan files' commands, the report, the restart as administrator, Exit; separators
    // between.
    const std::vector<std::pair<UINT, std::string>> fileItems = {
        {ID_FILE_OPEN_SCAN, "&Open Scan..."},
        {ID_FILE_SAVE_SCAN, "&Save Scan As..."},
        {ID_FILE_COMPARE_SCAN, "&Compare With Scan..."},
        {ID_FILE_END_COMPARISON, "&End Comparison"},
        {ID_FILE_STOP_OPENING, "S&top Opening\tEsc"},
        {0, ""},
        {ID_OUTPUT_TO_TEXT_FILE, "&Output To Text File"},
        {0, ""},
        {ID_FILE_RESTART_ELEVATED, "Restart as Administrator for a faster scan"},
        {0, ""},
        {57665u, "E&xit"}};
    ASSERT_EQ(GetMenuItemCount(hFile), static_cast<int>(fileItems.size()));
    for (size_t i = 0; i < fileItems.size(); ++i) {
        const int n = static_cast<int>(i);
        EXPECT_EQ(GetMenuItemID(hFile, n), fileItems[i].first) << i;
        EXPECT_EQ(text(hFile, static_cast<UINT>(n), MF_BYPOSITION), fileItems[i].second) << i;
    }
    HMENU hView = GetSubMenu(hMenu, 1);
    EXPECT_EQ(GetMenuItemID(hView, 0), 59392u);
    EXPECT_EQ(text(hView, 0, MF_BYPOSITION), "&Toolbar");
    EXPECT_EQ(GetMenuItemID(hView, 1), 59393u);
    EXPECT_EQ(text(hView, 1, MF_BYPOSITION), "&Status Bar");
    HMENU hHelp = GetSubMenu(hMenu, 2);
    EXPECT_EQ(GetMenuItemID(hHelp, 0), 57664u);
    EXPECT_EQ(text(hHelp, 0, MF_BYPOSITION), "&About Dirscope...");

    // Exit is enabled; the bars' items are checked while the bars show.
    m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hFile), 0);
    EXPECT_FALSE(GetMenuState(hFile, 57665, MF_BYCOMMAND) & MF_GRAYED);
    m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hView), 1);
    EXPECT_TRUE(GetMenuState(hView, 59392, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(hView, 59393, MF_BYCOMMAND) & MF_CHECKED);

    // The prompts: the program's own, typo included, and the framework's.
    m_pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_OUTPUT_TO_TEXT_FILE, MF_STRING),
                          reinterpret_cast<LPARAM>(hFile));
    EXPECT_EQ(m_pFrame->StatusBar().GetPaneText(0), "Output To Ttext File");
    m_pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(57665, MF_STRING),
                          reinterpret_cast<LPARAM>(hFile));
    EXPECT_FALSE(m_pFrame->StatusBar().GetPaneText(0).empty());
    m_pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(m_pFrame->StatusBar().GetPaneText(0), "Ready");
}

TEST_F(DscpApp, ThePopupMenusAndAcceleratorsAreThereByNumber) {
    struct Item {
        UINT nID;
        const char* text;
    };
    auto check = [](UINT nMenu, const char* popup, const std::vector<Item>& items) {
        HMENU hMenu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nMenu));
        ASSERT_NE(hMenu, nullptr) << nMenu;
        char name[64] = {};
        GetMenuStringA(hMenu, 0, name, sizeof(name), MF_BYPOSITION);
        EXPECT_STREQ(name, popup);
        HMENU hPopup = GetSubMenu(hMenu, 0);
        ASSERT_EQ(GetMenuItemCount(hPopup), static_cast<int>(items.size()));
        for (size_t i = 0; i < items.size(); ++i) {
            char text[64] = {};
            GetMenuStringA(hPopup, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
            EXPECT_EQ(GetMenuItemID(hPopup, static_cast<int>(i)), items[i].nID);
            EXPECT_STREQ(text, items[i].text);
        }
        DestroyMenu(hMenu);
    };
    check(134, "OnBack",
          {{32784, "BackFolder0"},
           {32785, "BackFolder1"},
           {32786, "BackFolder2"},
           {32787, "BackFolder3"},
           {32788, "BackFolder4"},
           {32789, "BackFolder5"},
           {32790, "BackFolder6"},
           {32791, "BackFolder7"}});
    check(135, "OnForward",
          {{32794, "ForwardFolder0"},
           {32795, "ForwardFolder1"},
           {32796, "ForwardFolder2"},
           {32797, "ForwardFolder3"},
           {32798, "ForwardFolder4"},
           {32799, "ForwardFolder5"},
           {32800, "ForwardFolder6"},
           {32801, "ForwardFolder7"}});
    check(136, "ViewType", {{32782, "Icon"}, {32781, "Detail"}});

    // Menu 137: View and Arrange submenus, Refresh, Paste.
    HMENU hList = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(137));
    ASSERT_NE(hList, nullptr);
    HMENU hPopup = GetSubMenu(hList, 0);
    ASSERT_EQ(GetMenuItemCount(hPopup), 6);
    HMENU hViewSub = GetSubMenu(hPopup, 0);
    HMENU hArrange = GetSubMenu(hPopup, 2);
    ASSERT_NE(hViewSub, nullptr);
    ASSERT_NE(hArrange, nullptr);
    EXPECT_EQ(GetMenuItemID(hViewSub, 0), 32782u);
    EXPECT_EQ(GetMenuItemID(hViewSub, 1), 32781u);
    EXPECT_EQ(GetMenuItemID(hArrange, 0), 32807u);
    EXPECT_EQ(GetMenuItemID(hArrange, 3), 32810u);
    EXPECT_EQ(GetMenuItemID(hPopup, 1), 0u); // separator
    EXPECT_EQ(GetMenuItemID(hPopup, 3), 32803u);
    EXPECT_EQ(GetMenuItemID(hPopup, 5), 208u);
    // Nothing handles the Arrange commands: they show disabled. Icon and Detail are checked
    // by the view type.
    m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hArrange), 0);
    for (UINT nID = 32807; nID <= 32810; ++nID)
        EXPECT_TRUE(GetMenuState(hArrange, nID, MF_BYCOMMAND) & MF_GRAYED) << nID;
    m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hViewSub), 0);
    EXPECT_TRUE(GetMenuState(hViewSub, 32781, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(hViewSub, 32782, MF_BYCOMMAND) & MF_CHECKED);
    m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup), 0);
    EXPECT_FALSE(GetMenuState(hPopup, 32803, MF_BYCOMMAND) & MF_GRAYED);
    DestroyMenu(hList);

    HACCEL hAccel = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128));
    ASSERT_NE(hAccel, nullptr);
    ACCEL table[32];
    const int n = CopyAcceleratorTableA(hAccel, table, 32);
    std::vector<std::string> entries;
    for (int i = 0; i < n; ++i) {
        std::string mods;
        if (table[i].fVirt & FCONTROL)
            mods += "Ctrl+";
        if (table[i].fVirt & FALT)
            mods += "Alt+";
        if (table[i].fVirt & FSHIFT)
            mods += "Shift+";
        entries.push_back(mods + std::to_string(table[i].key) + "=" + std::to_string(table[i].cmd));
    }
    const std::vector<std::string> expected = {
        "Ctrl+78=57600", "Ctrl+79=57601", "Ctrl+83=57603", "Ctrl+80=57607",
        // Ctrl+F shows the Search pane.
        "Ctrl+70=32823", "Ctrl+90=57643", "Alt+8=57643", "Ctrl+88=57635", "Shift+46=57635",
        "Ctrl+67=57634", "Ctrl+45=57634", "Ctrl+86=57637", "Shift+45=57637", "117=57680",
        "Shift+117=57681",
        // Tab and Shift+Tab between the panes, F5 Refresh, Enter opens, Backspace and Alt+Up
        // go up, Alt+Left and Alt+Right go back and forward.
        "9=57680", "Shift+9=57681", "116=32803", "13=32814", "8=203", "Alt+38=203", "Alt+37=201",
        "Alt+39=202"};
    EXPECT_EQ(entries, expected);
}

TEST_F(DscpApp, TheToolbarHasItsButtonsArrowsAndColourImages) {
    CColorToolBar& bar = m_pFrame->ToolBar();
    EXPECT_EQ(bar.GetDlgCtrlID(), 59392);
    EXPECT_EQ(bar.GetBarStyle(), 0x00402834u);
    EXPECT_TRUE(bar.GetStyle() & TBSTYLE_FLAT);
    EXPECT_EQ(bar.SendMessage(TB_GETEXTENDEDSTYLE), TBSTYLE_EX_DRAWDDARROWS);
    const UINT ids[] = {201, 202, 203, 0, 204, 32803, 206, 0, 209};
    ASSERT_EQ(bar.GetCount(), 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(bar.GetItemID(i), ids[i]) << i;
        const bool bDropDown = ids[i] == 201 || ids[i] == 202 || ids[i] == 209;
        EXPECT_EQ((bar.GetButtonStyle(i) & TBSTYLE_DROPDOWN) != 0, bDropDown) << i;
    }
    for (UINT get : {TB_GETIMAGELIST, TB_GETHOTIMAGELIST, TB_GETDISABLEDIMAGELIST}) {
        auto hList = reinterpret_cast<HIMAGELIST>(bar.SendMessage(get));
        ASSERT_NE(hList, nullptr) << get;
        EXPECT_EQ(ImageList_GetImageCount(hList), 7);
        int cx = 0;
        int cy = 0;
        ImageList_GetIconSize(hList, &cx, &cy);
        EXPECT_EQ(cx, 30);
        EXPECT_EQ(cy, 30);
    }
    // At start there is one visit: Back and Forward are disabled, Up (to the desktop)
    // and Folder work. Delete, Refresh and the view type are always enabled.
    for (UINT nID : {201u, 202u})
        EXPECT_FALSE(ButtonEnabled(nID)) << nID;
    for (UINT nID : {203u, 204u, 206u, 32803u, 209u})
        EXPECT_TRUE(ButtonEnabled(nID)) << nID;
    // The toolbar commands have no prompts and no tooltips.
    NMTTDISPINFOA info{};
    info.hdr.hwndFrom = bar.m_hWnd;
    info.hdr.idFrom = 32803;
    info.hdr.code = TTN_GETDISPINFOA;
    m_pFrame->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(info.lpszText, "");
}

TEST_F(DscpApp, TheStatusBarHasItsFourPanes) {
    CStatusBar& bar = m_pFrame->StatusBar();
    EXPECT_EQ(bar.GetDlgCtrlID(), 59393);
    EXPECT_EQ(bar.GetBarStyle(), 0x00008200u);
    ASSERT_EQ(bar.GetCount(), 4);
    EXPECT_EQ(bar.GetItemID(0), 0u);
    EXPECT_EQ(bar.GetItemID(1), 59137u);
    EXPECT_EQ(bar.GetItemID(2), 59138u);
    EXPECT_EQ(bar.GetItemID(3), 59139u);
    EXPECT_EQ(bar.SendMessage(SB_GETPARTS), 4);
    // The frame's idle prompt, unless the view's two-second status timer has already
    // written the drive overview's counts over it.
    const std::string first = bar.GetPaneText(0);
    EXPECT_TRUE(first == "Ready" || first == "0 directory, 0 files") << first;
    // Laid out: toolbar on top, the path bar across the frame below it, status bar at the
    // bottom, the list and below it the treemap pane's dock bar in between.
    const CRect list = m_pView->GetWindowRect();
    const CRect path = m_pFrame->PathBar().GetWindowRect();
    RECT dock{};
    ::GetWindowRect(m_pFrame->TreemapBar().GetParent(), &dock);
    EXPECT_EQ(path.top, m_pFrame->ToolBar().GetWindowRect().bottom);
    EXPECT_EQ(path.Width(), m_pFrame->GetClientRect().Width());
    EXPECT_EQ(list.top, path.bottom);
    EXPECT_EQ(list.bottom, dock.top);
    EXPECT_EQ(dock.bottom, bar.GetWindowRect().top);
}

TEST_F(DscpApp, StartsWithTheDriveOverviewColumnsAndTheShellsImageLists) {
    char cls[64] = {};
    GetClassNameA(m_pView->m_hWnd, cls, sizeof(cls));
    EXPECT_STREQ(cls, "SysListView32");
    EXPECT_EQ(m_pView->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    EXPECT_EQ(m_pView->GetStyle() & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
    EXPECT_TRUE(m_pView->GetStyle() & LVS_SHAREIMAGELISTS);
    EXPECT_EQ(m_pView->Mode(), CDirscopeView::ListMode::Detail);
    EXPECT_TRUE(m_pDoc->IsDriveOverview());
    EXPECT_EQ(Headings(), (std::vector<std::string>{"Name", "Size", "Free Space"}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(List().GetColumnWidth(i), 100);
    EXPECT_EQ(List().GetColumnFormat(1), LVCFMT_RIGHT);
    // The frame showed the drive overview once after the initial update.
    EXPECT_GE(List().GetItemCount(), 2); // C: and Z: at least
    EXPECT_EQ(m_pDoc->ListedFolderPath(), "");

    SHFILEINFOA sfi{};
    auto hSmall = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("", 0, &sfi, sizeof(sfi), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    auto hLarge =
        reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("", 0, &sfi, sizeof(sfi), SHGFI_SYSICONINDEX));
    // The drive icons are in lists of the view's own; a folder's rows use the shell's.
    EXPECT_NE(List().GetImageList(LVSIL_SMALL), hSmall);
    EXPECT_NE(List().GetImageList(LVSIL_NORMAL), hLarge);
    TempTree tree;
    tree.File("a.txt", 1);
    Show(tree.Root());
    EXPECT_EQ(List().GetImageList(LVSIL_SMALL), hSmall);
    EXPECT_EQ(List().GetImageList(LVSIL_NORMAL), hLarge);
}

TEST_F(DscpApp, ShowFolderListsSubfoldersThenFilesEachByName) {
    MixedFolder folder;
    Show(folder.tree.Root());
    EXPECT_FALSE(m_pDoc->IsDriveOverview());
    EXPECT_EQ(Headings(),
              (std::vector<std::string>{"Name", "Size", "Type", "Date", "Folders", "Files"}));
    const int widths[] = {200, 80, 100, 120, 80, 80};
    const int formats[] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_LEFT,
                           LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_RIGHT};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(List().GetColumnWidth(i), widths[i]) << i;
        EXPECT_EQ(List().GetColumnFormat(i), formats[i]) << i;
    }
    const std::string date = FormatDateTime(MixedFolder::kTime);
    ASSERT_FALSE(date.empty());
    const std::string folderType = ShellTypeName(folder.tree.Path("A"));
    const std::string textType = ShellTypeName(folder.tree.Path("z.txt"));
    const Rows expected = {
        {"A", "", folderType, date, "", ""},
        {"b", "", folderType, date, "", ""},
        {"C.txt", FormatSize(2000), textType, date, "", ""},
        {"z.txt", FormatSize(5), textType, date, "", ""},
    };
    EXPECT_EQ(AllRows(), expected);
    EXPECT_EQ(m_pDoc->FolderCount(), 2);
    EXPECT_EQ(m_pDoc->FileCount(), 2);
    EXPECT_EQ(m_pDoc->TotalSize(), 0);
    EXPECT_EQ(m_pDoc->ListedFolderPath(), folder.tree.Root());
    ASSERT_EQ(m_pDoc->Subfolders().size(), 2u);
    EXPECT_STREQ(m_pDoc->Subfolders()[0].szName, "A");
    EXPECT_STREQ(m_pDoc->Subfolders()[1].szName, "b");
    // Each row has the entry's icon from the system list.
    SHFILEINFOA sfi{};
    SHGetFileInfoA(folder.tree.Path("C.txt").c_str(), 0, &sfi, sizeof(sfi),
                   SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    EXPECT_EQ(List().GetItemImage(2), sfi.iIcon);
}

TEST_F(DscpApp, ColumnsSwitchSixThreeSixAndTwoFoldersInARowKeepThem) {
    MixedFolder first;
    TempTree second;
    second.File("only.dat", 10);
    Show(first.tree.Root());
    EXPECT_EQ(ColumnCount(), 6);
    ListView_SetColumnWidth(m_pView->m_hWnd, 0, 321); // a rebuild would forget this
    Show(second.Root());
    EXPECT_EQ(ColumnCount(), 6);
    EXPECT_EQ(List().GetColumnWidth(0), 321);
    EXPECT_EQ(AllRows().size(), 1u);

    Show(""); // the computer node
    EXPECT_TRUE(m_pDoc->IsDriveOverview());
    EXPECT_EQ(Headings(), (std::vector<std::string>{"Name", "Size", "Free Space"}));
    EXPECT_EQ(m_pDoc->ListedFolderPath(), second.Root()); // kept
    EXPECT_EQ(m_pDoc->FileCount(), 1);

    Show(first.tree.Root());
    EXPECT_EQ(ColumnCount(), 6);
    EXPECT_EQ(List().GetColumnWidth(0), 200);
    EXPECT_EQ(AllRows().size(), 4u);
}

TEST_F(DscpApp, IconAndDetailKeepTheRowsAndTheirCells) {
    MixedFolder folder;
    Show(folder.tree.Root());
    const Rows before = AllRows();
    Command(ID_VIEW_ICON);
    EXPECT_EQ(m_pView->Mode(), CDirscopeView::ListMode::Icon);
    EXPECT_EQ(m_pView->GetStyle() & LVS_TYPEMASK, static_cast<DWORD>(LVS_ICON));
    EXPECT_TRUE(m_pView->GetStyle() & LVS_SHAREIMAGELISTS); // only the report bit changed
    EXPECT_EQ(AllRows(), before);
    Command(ID_VIEWTYPE); // the toolbar button toggles back
    EXPECT_EQ(m_pView->Mode(), CDirscopeView::ListMode::Detail);
    EXPECT_EQ(m_pView->GetStyle() & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
    EXPECT_EQ(AllRows(), before);
    Command(ID_VIEWTYPE);
    EXPECT_EQ(m_pView->Mode(), CDirscopeView::ListMode::Icon);
    Command(ID_VIEW_DETAIL);
    EXPECT_EQ(m_pView->Mode(), CDirscopeView::ListMode::Detail);
    EXPECT_EQ(AllRows(), before);

    // The drop-down menu's items are checked by the view type.
    HMENU hMenu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(136));
    HMENU hPopup = GetSubMenu(hMenu, 0);
    Command(ID_VIEW_ICON);
    m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup), 0);
    EXPECT_TRUE(GetMenuState(hPopup, 32782, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(hPopup, 32781, MF_BYCOMMAND) & MF_CHECKED);
    DestroyMenu(hMenu);
}

TEST_F(DscpApp, RefreshShowsTheFolderAgain) {
    MixedFolder folder;
    Show(folder.tree.Root());
    folder.tree.File("new.txt", 1);
    Command(ID_REFRESH);
    EXPECT_EQ(AllRows().size(), 5u);
    EXPECT_EQ(m_pDoc->FileCount(), 3);
}

TEST_F(DscpApp, AFolderThatCannotBeReadGivesAnEmptyList) {
    MixedFolder folder;
    Show(folder.tree.Root());
    Show(folder.tree.Path("missing"));
    EXPECT_EQ(ColumnCount(), 6);
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_EQ(m_pDoc->FolderCount(), 0);
    EXPECT_EQ(m_pDoc->FileCount(), 0);
    EXPECT_TRUE(m_pDoc->Subfolders().empty());
    EXPECT_EQ(m_pDoc->ListedFolderPath(), folder.tree.Path("missing"));

    // A path longer than the 259-character field is refused the same way, never cut.
    Show(folder.tree.Root() + "\\" + std::string(300, 'x'));
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_EQ(m_pDoc->ListedFolderPath(), "");
}

TEST_F(DscpApp, FileNewClearsTheHeaderBeforeInsertingTheColumnsAgain) {
    MixedFolder folder;
    Show(folder.tree.Root());
    Command(ID_FILE_NEW);
    // The tree pane selects the computer again: the drive overview, its columns once.
    EXPECT_EQ(Headings(), (std::vector<std::string>{"Name", "Size", "Free Space"}));
    EXPECT_GE(List().GetItemCount(), 2);
    EXPECT_TRUE(m_pDoc->Subfolders().empty());
    EXPECT_EQ(m_pFrame->GetWindowText(), "Dirscope 3.0");
    EXPECT_EQ(m_pFrame->GetActiveView(), m_pView);
    Show("");
    Command(ID_FILE_NEW);
    EXPECT_EQ(Headings(), (std::vector<std::string>{"Name", "Size", "Free Space"}));
    Show(folder.tree.Root());
    EXPECT_EQ(AllRows().size(), 4u);
}

TEST_F(DscpApp, SaveNeverTruncatesTheFileNamedOnTheCommandLine) {
    TempTree tree;
    tree.File("named.dsc", 0);
    const std::string path = tree.Path("named.dsc");
    {
        std::ofstream out(path, std::ios::binary);
        out << "this stays";
    }
    StopApp();
    ASSERT_TRUE(StartApp({path}));
    EXPECT_EQ(m_pFrame->GetWindowText(), "Dirscope 3.0");
    // Ctrl+S, as the accelerator sends it.
    m_pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(57603, 1), 0);
    std::ifstream in(path, std::ios::binary);
    std::stringstream contents;
    contents << in.rdbuf();
    EXPECT_EQ(contents.str(), "this stays");
}

TEST_F(DscpApp, SaveNeverTruncatesAFileOpenedWithCtrlO) {
    TempTree tree;
    tree.File("opened.dsc", 0);
    const std::string path = tree.Path("opened.dsc");
    {
        std::ofstream out(path, std::ios::binary);
        out << "still here";
    }
    // The open dialog is answered by a helper thread: it types the name and presses OK.
    DialogAnswerer answer([&](HWND hDlg) {
        HWND hName = GetDlgItem(hDlg, 0x47C); // the file name box
        if (!hName)
            hName = GetDlgItem(hDlg, 0x480);
        SendMessageA(hName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    m_pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(57601, 1), 0);
    ASSERT_TRUE(answer.Join());
    CDocument* pDoc = m_pView->GetDocument();
    ASSERT_NE(pDoc, nullptr);
    EXPECT_EQ(pDoc->GetTitle(), "opened.dsc");
    m_pFrame->SendMessage(WM_COMMAND, MAKEWPARAM(57603, 1), 0);
    std::ifstream in(path, std::ios::binary);
    std::stringstream contents;
    contents << in.rdbuf();
    EXPECT_EQ(contents.str(), "still here");
}

TEST_F(DscpApp, DestroyingTheListLeavesTheShellsImageListsIntact) {
    SHFILEINFOA sfi{};
    auto hSmall = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("", 0, &sfi, sizeof(sfi), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    ASSERT_NE(hSmall, nullptr);
    TempTree tree;
    tree.File("a.txt", 1);
    Show(tree.Root());
    ASSERT_EQ(List().GetImageList(LVSIL_SMALL), hSmall);
    // Wine's shell keeps its lists alive either way; the style is what protects them on
    // Windows.
    ASSERT_TRUE(m_pView->GetStyle() & LVS_SHAREIMAGELISTS);
    const int nImages = ImageList_GetImageCount(hSmall);
    ASSERT_GT(nImages, 0);
    StopApp(); // the view and its list control go
    EXPECT_EQ(ImageList_GetImageCount(hSmall), nImages);
    int cx = 0;
    int cy = 0;
    EXPECT_TRUE(ImageList_GetIconSize(hSmall, &cx, &cy));
    EXPECT_GT(cx, 0);
    // A new list gets the very same lists again.
    ASSERT_TRUE(StartApp({}));
    Show(tree.Root());
    EXPECT_EQ(List().GetImageList(LVSIL_SMALL), hSmall);
}

TEST_F(DscpApp, StartingWithAnEmptyProfileWritesNothingOfTheProgramsOwn) {
    MixedFolder folder;
    Show(folder.tree.Root());
    Command(ID_VIEW_ICON);
    Command(ID_VIEW_TOOLBAR);
    m_pFrame->PostMessage(WM_COMMAND, 57665); // File Exit
    EXPECT_EQ(m_pApp->Run(), 0);
    EXPECT_EQ(m_pApp->GetMainWnd(), nullptr);
    m_pApp.reset();
    EXPECT_FALSE(RegistryKeyExists("Software\\Tarnwick"));
}

TEST_F(DscpApp, TheCloseBoxEndsTheProgram) {
    m_pFrame->PostMessage(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_EQ(m_pApp->Run(), 0);
    EXPECT_EQ(m_pApp->GetMainWnd(), nullptr);
    EXPECT_EQ(m_pApp->GetDocTemplate()->GetOnlyDocument(), nullptr);
}
