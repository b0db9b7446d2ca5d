// The folder list with the real shell under Wine, in-process: Paste from the real
// clipboard, Delete through the shell's file operation with its confirmation answered
// by a helper thread, both context menus, and opening a file with its registered
// program (this test program, which records how it was started).
#include <gtest/gtest.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "dirscope_app.h"
#include "computer_node.h"
#include "dirscope_view.h"
#include "dscp_app_fixture.h"
#include "file_operations.h"
#include "gui_test_support.h"
#include "main_frame.h"
#include "resource.h"
#include "shell_item_menu.h"
#include "shell_tree_ctrl.h"
#include "size_text.h"
#include "temp_tree.h"

namespace {

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Puts a file list on the clipboard as the shell does, with a drop effect of `effectBytes`
// bytes (none when 0).
void PutFilesOnClipboard(HWND hOwner, const std::vector<std::string>& files, DWORD dwEffect,
                         size_t effectBytes = 4) {
    std::string list;
    for (const std::string& file : files)
        list += file + '\0';
    list += '\0';
    HGLOBAL hDrop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    auto* pDrop = static_cast<DROPFILES*>(GlobalLock(hDrop));
    pDrop->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(pDrop) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(hDrop);
    ASSERT_TRUE(OpenClipboardWithin(hOwner, 10000));
    EmptyClipboard();
    SetClipboardData(CF_HDROP, hDrop);
    if (effectBytes) {
        HGLOBAL hEffect = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, effectBytes);
        std::memcpy(GlobalLock(hEffect), &dwEffect, effectBytes < 4 ? effectBytes : 4);
        GlobalUnlock(hEffect);
        SetClipboardData(RegisterClipboardFormatA("Preferred DropEffect"), hEffect);
    }
    CloseClipboard();
}

void PutTextOnClipboard(HWND hOwner) {
    HGLOBAL hText = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 8);
    std::memcpy(GlobalLock(hText), "text", 5);
    GlobalUnlock(hText);
    ASSERT_TRUE(OpenClipboardWithin(hOwner, 10000));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, hText);
    CloseClipboard();
}

BOOL CALLBACK AddShownMenu(HWND hWnd, LPARAM lParam) {
    char cls[16] = {};
    GetClassNameA(hWnd, cls, sizeof(cls));
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (std::strcmp(cls, "#32768") == 0 && pid == GetCurrentProcessId() && IsWindowVisible(hWnd))
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

// The popup menus of this process on the display.
std::vector<HWND> ShownMenus() {
    std::vector<HWND> menus;
    EnumWindows(&AddShownMenu, reinterpret_cast<LPARAM>(&menus));
    return menus;
}

// Polls `condition` every 10 ms; false when it still does not hold after a minute.
bool WaitFor(const std::function<bool()>& condition) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > 60000)
            return false;
        Sleep(10);
    }
    return true;
}

// Works on the next popup menu of this process from a helper thread: `act` gets the
// menu window and its menu, and the items' texts are kept.
class MenuWatcher {
public:
    explicit MenuWatcher(std::function<void(HWND, HMENU)> act)
        : m_thread([this, act] { Run(act); }) {}
    ~MenuWatcher() { Join(); }
    // Gives up watching (the caller knows no menu is coming any more).
    void Stop() {
        m_bStop = true;
        Join();
    }
    void Join() {
        if (m_thread.joinable())
            m_thread.join();
    }
    std::vector<std::string> m_texts;
    bool m_bSeen = false;

private:
    void Run(const std::function<void(HWND, HMENU)>& act) {
        HWND hMenuWnd = nullptr;
        WaitFor([&] {
            const std::vector<HWND> menus = ShownMenus();
            hMenuWnd = menus.empty() ? nullptr : menus.front();
            return hMenuWnd || m_bStop;
        });
        if (!hMenuWnd)
            return;
        auto hMenu = reinterpret_cast<HMENU>(SendMessageA(hMenuWnd, MN_GETHMENU, 0, 0));
        for (int k = 0; hMenu && k < GetMenuItemCount(hMenu); ++k) {
            char text[260] = {};
            GetMenuStringA(hMenu, static_cast<UINT>(k), text, sizeof text, MF_BYPOSITION);
            m_texts.push_back(text);
        }
        m_bSeen = true;
        act(hMenuWnd, hMenu);
    }
    std::atomic<bool> m_bStop{false};
    std::thread m_thread;
};

// The position of the highlighted item of `hMenu`, -1 when none is.
int Highlighted(HMENU hMenu) {
    for (int k = 0; k < GetMenuItemCount(hMenu); ++k)
        if (GetMenuState(hMenu, static_cast<UINT>(k), MF_BYPOSITION) & MF_HILITE)
            return k;
    return -1;
}

// Presses a key in the open menus and waits for its effect: Down highlights another item
// of `hMenu`, Right opens a submenu, Escape closes the last menu, Return closes them all.
bool Key(HWND hMenuWnd, HMENU hMenu, UINT vk) {
    const int nHighlighted = Highlighted(hMenu);
    const size_t nMenus = ShownMenus().size();
    PostMessageA(hMenuWnd, WM_KEYDOWN, vk, 0);
    return WaitFor([&] {
        switch (vk) {
        case VK_DOWN: {
            // (The old item loses its highlight before the new one gets it.)
            const int n = Highlighted(hMenu);
            return n >= 0 && n != nHighlighted;
        }
        case VK_RIGHT:
            return ShownMenus().size() == nMenus + 1;
        case VK_ESCAPE:
            return ShownMenus().size() + 1 == nMenus;
        default:
            return ShownMenus().empty();
        }
    });
}

// Moves the highlight down until the item whose text is `text` is highlighted, then
// chooses it. False (and the menu dismissed) when it is not found.
bool ChooseItem(HWND hMenuWnd, HMENU hMenu, const std::string& text) {
    const int nCount = GetMenuItemCount(hMenu);
    for (int step = 0; step < nCount; ++step) {
        if (!Key(hMenuWnd, hMenu, VK_DOWN))
            break;
        char item[260] = {};
        GetMenuStringA(hMenu, static_cast<UINT>(Highlighted(hMenu)), item, sizeof item,
                       MF_BYPOSITION);
        if (text == item)
            return Key(hMenuWnd, hMenu, VK_RETURN);
    }
    Key(hMenuWnd, hMenu, VK_ESCAPE);
    return false;
}

class DscpShell : public DscpAppFixture {
protected:
    void TearDown() override {
        if (OpenClipboardWithin(nullptr, 10000)) {
            EmptyClipboard();
            CloseClipboard();
        }
        DscpAppFixture::TearDown();
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int i = 0; i < List().GetItemCount(); ++i)
            names.push_back(List().GetItemText(i, 0));
        return names;
    }
    int Row(const std::string& name) const {
        for (int i = 0; i < List().GetItemCount(); ++i)
            if (List().GetItemText(i, 0) == name)
                return i;
        return -1;
    }
    void Select(const std::string& name) {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        m_pView->SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(Row(name)),
                             reinterpret_cast<LPARAM>(&item));
    }
    // The list's own notification, as the control sends it to its parent.
    void Notify(UINT nCode, int nItem, POINT pt = {5, 5}) {
        NMITEMACTIVATE nm{};
        nm.hdr.hwndFrom = m_pView->m_hWnd;
        nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(m_pView->m_hWnd));
        nm.hdr.code = nCode;
        nm.iItem = nItem;
        nm.ptAction = pt;
        SendMessageA(m_pView->GetParent(), WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
    }
    // Whether Paste shows enabled in the list's menu.
    bool PasteEnabled() {
        HMENU hList = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_LIST_MENU));
        HMENU hPopup = GetSubMenu(hList, 0);
        m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup), 0);
        const bool bEnabled = !(GetMenuState(hPopup, ID_PASTE, MF_BYCOMMAND) & MF_GRAYED);
        DestroyMenu(hList);
        return bEnabled;
    }
};

} // namespace

TEST_F(DscpShell, PasteCopiesWithoutADropEffectAndMovesCutFiles) {
    TempTree from;
    TempTree to;
    from.File("a.txt", 10);
    from.File("b.txt", 20);
    from.Folder("sub");
    from.File("sub/inner.txt", 5);
    Show(to.Root());
    EXPECT_TRUE(Names().empty());

    // No drop effect: a copy, and the list shows the new rows at once.
    PutFilesOnClipboard(m_pView->m_hWnd, {from.Path("a.txt"), from.Path("sub")}, 0, 0);
    EXPECT_TRUE(PasteEnabled());
    m_pFrame->SendMessage(WM_COMMAND, ID_PASTE, 0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"sub", "a.txt"}));
    EXPECT_TRUE(Exists(from.Path("a.txt")));
    EXPECT_TRUE(Exists(to.Path("sub/inner.txt")));
    EXPECT_EQ(m_pView->PastedFiles(),
              (std::vector<std::string>{from.Path("a.txt"), from.Path("sub")}));

    // A drop effect too short to hold a value copies, even with the move bit.
    PutFilesOnClipboard(m_pView->m_hWnd, {from.Path("b.txt")}, DROPEFFECT_MOVE, 2);
    EXPECT_EQ(m_pView->ReadClipboardFiles(), 1);

    // Cut files are moved.
    PutFilesOnClipboard(m_pView->m_hWnd, {from.Path("b.txt")}, DROPEFFECT_MOVE);
    m_pFrame->SendMessage(WM_COMMAND, ID_PASTE, 0);
    EXPECT_FALSE(Exists(from.Path("b.txt")));
    EXPECT_TRUE(Exists(to.Path("b.txt")));
    // A pasted file goes in with its size at once. The rows come largest first, once the
    // watch has caught up with the first paste's new folder (it may walk it afresh).
    ASSERT_GE(Row("b.txt"), 0);
    EXPECT_EQ(List().GetItemText(Row("b.txt"), 1), FormatSize(20));
    EXPECT_TRUE(PumpUntil(
        [&] { return Names() == std::vector<std::string>{"b.txt", "a.txt", "sub"}; }, 20000));
}

TEST_F(DscpShell, PasteIsDisabledWithoutFilesAndNeverTakesAWildcard) {
    TempTree from;
    TempTree to;
    from.File("a.txt", 1);
    from.File("b.txt", 1);
    Show(to.Root());
    PutTextOnClipboard(m_pView->m_hWnd);
    EXPECT_FALSE(m_pView->ClipboardHasFiles());
    EXPECT_FALSE(PasteEnabled());
    // A list of one zero byte lacks its end: the shell would walk on past the block.
    PutFilesOnClipboard(m_pView->m_hWnd, {}, 0, 0);
    EXPECT_FALSE(PasteEnabled());
    m_pFrame->SendMessage(WM_COMMAND, ID_PASTE, 0);
    EXPECT_TRUE(Names().empty());

    // "*.txt" would be every text file to the shell: it is left out.
    PutFilesOnClipboard(m_pView->m_hWnd, {from.Path("*.txt")}, 0, 0);
    EXPECT_TRUE(PasteEnabled());
    m_pFrame->SendMessage(WM_COMMAND, ID_PASTE, 0);
    EXPECT_FALSE(Exists(to.Path("a.txt")));
    EXPECT_FALSE(Exists(to.Path("b.txt")));

    // A path longer than 260 characters is read whole, not cut into another name.
    const std::string longPath = from.Root() + "\\" + std::string(300, 'n') + ".txt";
    PutFilesOnClipboard(m_pView->m_hWnd, {longPath, from.Path("a.txt")}, DROPEFFECT_COPY);
    EXPECT_EQ(m_pView->ReadClipboardFiles(), 1);
    EXPECT_EQ(m_pView->PastedFiles(), (std::vector<std::string>{longPath, from.Path("a.txt")}));
}

TEST_F(DscpShell, DeleteActsOnKeyUpOnTheSelectionThroughTheShell) {
    // Wine keeps its Recycle Bin only where the data folder exists (a fresh build tree
    // has none yet); without it the shell deletes for good.
    char data[MAX_PATH] = {};
    if (GetEnvironmentVariableA("XDG_DATA_HOME", data, sizeof(data)))
        std::filesystem::create_directories(std::string("Z:") + data);
    TempTree tree;
    tree.File("a.txt", 1);
    tree.File("b.txt", 1);
    tree.File("keep.txt", 1);
    Show(tree.Root());

    // Nothing selected: nothing happens, no confirmation.
    {
        DialogAnswerer none(IDNO);
        m_pView->SendMessage(WM_KEYUP, VK_DELETE, 0);
        EXPECT_FALSE(none.Stop()); // a confirmation would be modal: it would still be open
    }
    Select("a.txt");
    Select("b.txt");
    // The key going down does nothing; its release deletes after the shell's question.
    m_pView->SendMessage(WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_TRUE(Exists(tree.Path("a.txt")));
    DialogAnswerer yes(IDYES);
    m_pView->SendMessage(WM_KEYUP, VK_DELETE, 0);
    EXPECT_TRUE(yes.Join());
    EXPECT_FALSE(Exists(tree.Path("a.txt")));
    EXPECT_FALSE(Exists(tree.Path("b.txt")));
    EXPECT_TRUE(Exists(tree.Path("keep.txt")));
    EXPECT_EQ(Names(), (std::vector<std::string>{"keep.txt"}));
    // Under Wine the Recycle Bin is the desktop's trash; the test's runner points it into
    // the build tree, and the test empties it.
    if (*data) {
        std::string trash = std::string("Z:") + data + "/Trash/files";
        for (char& c : trash)
            if (c == '/')
                c = '\\';
        EXPECT_TRUE(Exists(trash + "\\a.txt")) << trash;
        std::error_code error;
        std::filesystem::remove_all(trash.substr(0, trash.size() - 6), error);
    }
}

TEST_F(DscpShell, DeleteNeverTakesAWildcardNorDrives) {
    TempTree tree;
    tree.File("a.txt", 1);
    tree.File("b.txt", 1);
    Show(tree.Root());
    // A row whose name reads as a pattern is never handed to the shell.
    List().SetItemText(Row("a.txt"), 0, "*.txt");
    Select("*.txt");
    {
        DialogAnswerer none(IDNO);
        m_pFrame->SendMessage(WM_COMMAND, ID_DELETE, 0);
        EXPECT_FALSE(none.Stop());
    }
    EXPECT_TRUE(Exists(tree.Path("a.txt")));
    EXPECT_TRUE(Exists(tree.Path("b.txt")));

    // The drive overview: drives are not files.
    Show("");
    ASSERT_GT(List().GetItemCount(), 0);
    Select(List().GetItemText(0, 0));
    {
        DialogAnswerer none(IDNO);
        m_pFrame->SendMessage(WM_COMMAND, ID_DELETE, 0);
        EXPECT_FALSE(none.Stop());
    }
    EXPECT_GT(List().GetItemCount(), 0);
}

TEST_F(DscpShell, RightClickWithNothingSelectedShowsTheListMenu) {
    TempTree tree;
    tree.File("a.txt", 1);
    Show(tree.Root());
    bool bArrangeGrayed = false;
    MenuWatcher watcher([&](HWND hMenuWnd, HMENU hMenu) {
        // Open Arrange, whose entries nothing handles.
        Key(hMenuWnd, hMenu, VK_DOWN);
        Key(hMenuWnd, hMenu, VK_DOWN);
        HMENU hArrange = GetSubMenu(hMenu, 2);
        bArrangeGrayed = hArrange != nullptr && Key(hMenuWnd, hMenu, VK_RIGHT);
        for (UINT nID = ID_ARRANGE_NAME; hArrange && nID <= ID_ARRANGE_DATE; ++nID)
            bArrangeGrayed =
                bArrangeGrayed && (GetMenuState(hArrange, nID, MF_BYCOMMAND) & MF_GRAYED);
        Key(hMenuWnd, hMenu, VK_ESCAPE);
        Key(hMenuWnd, hMenu, VK_ESCAPE);
    });
    Notify(NM_RCLICK, -1);
    watcher.Join();
    EXPECT_EQ(watcher.m_texts,
              (std::vector<std::string>{"&View", "", "&Arrange", "&Refresh", "", "&Paste"}));
    EXPECT_TRUE(bArrangeGrayed);

    // The drive overview has no menu.
    Show("");
    // The menu is modal: had one been shown, Notify would return only once it was gone.
    MenuWatcher nothing([](HWND hMenuWnd, HMENU hMenu) { Key(hMenuWnd, hMenu, VK_ESCAPE); });
    Notify(NM_RCLICK, -1);
    nothing.Stop();
    EXPECT_FALSE(nothing.m_bSeen);
}

TEST_F(DscpShell, TheShellMenuCopiesTheSelectionForPasteAndRestoresTheView) {
    TempTree tree;
    TempTree to;
    tree.File("a.txt", 3);
    tree.File("b.txt", 4);
    Show(tree.Root());
    Select("a.txt");
    Select("b.txt");
    const HWND hView = m_pView->m_hWnd;
    const LONG_PTR procBefore = GetWindowLongPtrA(hView, GWLP_WNDPROC);
    // While the menu is open the view hands it its drawing messages through its own
    // table: its procedure stays what it was.
    bool bOpenMenuSeen = false;
    bool bProcKept = false;
    bool bChosen = false;
    MenuWatcher watcher([&](HWND hMenuWnd, HMENU hMenu) {
        bOpenMenuSeen = m_pView->HasOpenShellMenu();
        bProcKept = GetWindowLongPtrA(hView, GWLP_WNDPROC) == procBefore;
        bChosen = ChooseItem(hMenuWnd, hMenu, "&Copy");
    });
    Notify(NM_RCLICK, Row("a.txt"));
    watcher.Join();
    EXPECT_TRUE(bOpenMenuSeen);
    EXPECT_TRUE(bProcKept);
    EXPECT_TRUE(bChosen);
    EXPECT_FALSE(m_pView->HasOpenShellMenu());
    EXPECT_EQ(GetWindowLongPtrA(hView, GWLP_WNDPROC), procBefore);

    // What the shell put on the clipboard is what Paste takes.
    Show(to.Root());
    EXPECT_TRUE(PasteEnabled());
    m_pFrame->SendMessage(WM_COMMAND, ID_PASTE, 0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_TRUE(Exists(tree.Path("a.txt")));
}

TEST_F(DscpShell, ANameLongerThanItsFieldIsARowOfItsOwnInEveryCommand) {
    const char* pszFolder = std::getenv("DSCP_LONG_NAMES");
    if (!pszFolder)
        GTEST_SKIP() << "DSCP_LONG_NAMES not set";
    const std::string folder = pszFolder;
    Show(folder);
    ASSERT_TRUE(WaitForScan());
    // A 300-byte folder (3,000 bytes inside), a 304-byte file of 7 bytes, short.txt (5).
    std::string longFolder;
    std::string longFile;
    for (const std::string& name : Names()) {
        if (name.size() < 300)
            continue;
        const DWORD dwAttributes = GetFileAttributesA((folder + "\\" + name).c_str());
        ASSERT_NE(dwAttributes, INVALID_FILE_ATTRIBUTES) << name;
        (dwAttributes & FILE_ATTRIBUTE_DIRECTORY ? longFolder : longFile) = name;
    }
    ASSERT_EQ(Names().size(), 3u);
    ASSERT_FALSE(longFolder.empty());
    ASSERT_FALSE(longFile.empty());
    EXPECT_EQ(List().GetItemText(Row(longFolder), 1), "2.9 KB");
    EXPECT_EQ(List().GetItemText(Row(longFolder), 5), "1");
    EXPECT_EQ(m_pDoc->TotalSize(), 3000 + 7 + 5);

    // The shell's Copy puts exactly that file on the clipboard.
    Select(longFile);
    bool bChosen = false;
    MenuWatcher watcher(
        [&](HWND hMenuWnd, HMENU hMenu) { bChosen = ChooseItem(hMenuWnd, hMenu, "&Copy"); });
    Notify(NM_RCLICK, Row(longFile));
    watcher.Join();
    ASSERT_TRUE(bChosen);
    m_pView->ReadClipboardFiles();
    EXPECT_EQ(m_pView->PastedFiles(), std::vector<std::string>{folder + "\\" + longFile});

    // Delete asks about that file, as about any file (a nameless row would have been
    // the shown folder, asked about as a folder); declined, everything stays.
    auto deleteCaption = [&](const std::string& name) {
        Show(folder);
        Select(name);
        DialogAnswerer no(IDNO);
        m_pFrame->SendMessage(WM_COMMAND, ID_DELETE, 0);
        EXPECT_TRUE(no.Join());
        return no.Caption();
    };
    const std::string fileCaption = deleteCaption("short.txt");
    EXPECT_EQ(deleteCaption(longFile), fileCaption);
    EXPECT_NE(deleteCaption(longFolder), fileCaption);
    EXPECT_EQ(Names().size(), 3u);
}

// The drop effect the clipboard's "Preferred DropEffect" holds, 0 when there is none.
DWORD ClipboardDropEffect() {
    DWORD dwEffect = 0;
    if (!OpenClipboardWithin(nullptr, 10000))
        return 0;
    if (HANDLE hData = GetClipboardData(RegisterClipboardFormatA("Preferred DropEffect"))) {
        if (GlobalSize(hData) >= sizeof(dwEffect)) {
            std::memcpy(&dwEffect, GlobalLock(hData), sizeof(dwEffect));
            GlobalUnlock(hData);
        }
    }
    CloseClipboard();
    return dwEffect;
}

TEST_F(DscpShell, CutInTheShellMenuIsPastedAsTheShellMarkedIt) {
    TempTree tree;
    TempTree to;
    tree.File("a.txt", 4); // in name order also once sorted largest first
    tree.File("b.txt", 3);
    Show(tree.Root());
    Select("a.txt");
    bool bChosen = false;
    MenuWatcher watcher(
        [&](HWND hMenuWnd, HMENU hMenu) { bChosen = ChooseItem(hMenuWnd, hMenu, "C&ut"); });
    Notify(NM_RCLICK, Row("a.txt"));
    watcher.Join();
    ASSERT_TRUE(bChosen);
    // The shell's command does not touch the list: the row stays until the list is read.
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "b.txt"}));
    // A move when the shell marked the files as cut (Wine's shell does not mark them).
    const bool bMove = (ClipboardDropEffect() & DROPEFFECT_MOVE) != 0;
    Show(to.Root());
    m_pFrame->SendMessage(WM_COMMAND, ID_PASTE, 0);
    EXPECT_EQ(m_pView->PastedFiles(), std::vector<std::string>{tree.Path("a.txt")});
    EXPECT_EQ(Names(), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(Exists(tree.Path("a.txt")), !bMove);
}

// Stands in for a procedure someone else installs on the view while the menu is open.
WNDPROC g_pBelowOther = nullptr;
LRESULT CALLBACK OtherProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(g_pBelowOther, hWnd, message, wParam, lParam);
}

TEST_F(DscpShell, AProcedureInstalledOverTheViewStaysAndEveryLaterMenuWorks) {
    TempTree tree;
    tree.File("a.txt", 3);
    Show(tree.Root());
    Select("a.txt");
    const HWND hView = m_pView->m_hWnd;
    const LONG_PTR procBefore = GetWindowLongPtrA(hView, GWLP_WNDPROC);
    MenuWatcher watcher([&](HWND hMenuWnd, HMENU hMenu) {
        g_pBelowOther = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hView, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OtherProc)));
        Key(hMenuWnd, hMenu, VK_ESCAPE);
    });
    Notify(NM_RCLICK, Row("a.txt"));
    watcher.Join();
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hView, GWLP_WNDPROC)), &OtherProc);
    EXPECT_EQ(m_pView->SendMessage(LVM_GETITEMCOUNT), 1);

    // More menus with that procedure on top: each opens and closes, and the chain still
    // reaches the view without ever coming back to itself.
    for (int round = 0; round < 2; ++round) {
        MenuWatcher again([](HWND hMenuWnd, HMENU hMenu) { Key(hMenuWnd, hMenu, VK_ESCAPE); });
        Notify(NM_RCLICK, Row("a.txt"));
        again.Join();
        EXPECT_TRUE(again.m_bSeen) << round;
        EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hView, GWLP_WNDPROC)), &OtherProc);
        EXPECT_EQ(m_pView->SendMessage(LVM_GETITEMCOUNT), 1);
    }
    Show(tree.Root());
    EXPECT_EQ(Names(), std::vector<std::string>{"a.txt"});
    SetWindowLongPtrA(hView, GWLP_WNDPROC, procBefore);
}

TEST_F(DscpShell, WhatWasDeletedOrAddedSinceShowsFromMemoryAfterTheFreshScanAboveItToo) {
    // Wine finds its trash once per process: an earlier test may have emptied it away.
    char data[MAX_PATH] = {};
    if (GetEnvironmentVariableA("XDG_DATA_HOME", data, sizeof(data))) {
        std::filesystem::create_directories(std::string("Z:") + data + "/Trash/files");
        std::filesystem::create_directories(std::string("Z:") + data + "/Trash/info");
    }
    TempTree tree;
    tree.Folder("A/sub");
    tree.SparseFile("A/sub/f1", 1 << 20);
    tree.SparseFile("A/sub/f2", 2 << 20);
    tree.SparseFile("A/g", 1 << 20);
    Show(tree.Root());
    ASSERT_TRUE(PumpUntil([&] { return !m_pDoc->IsScanning(); }));
    Show(tree.Path("A/sub"));
    ASSERT_TRUE(PumpUntil([&] { return !m_pDoc->IsScanning(); }));
    Select("f2");
    DialogAnswerer yes(IDYES);
    m_pFrame->SendMessage(WM_COMMAND, ID_DELETE, 0);
    EXPECT_TRUE(yes.Join());
    ASSERT_FALSE(Exists(tree.Path("A/sub/f2")));
    tree.SparseFile("A/new", 5 << 20); // on disk, behind the program's back

    // Up, with its fresh scan held: the deleted file is gone from memory too, and the file
    // added on disk is listed with its size.
    FolderScanController& scan = m_pDoc->ScanController();
    scan.HoldStart(true);
    Show(tree.Path("A"));
    EXPECT_EQ(List().GetItemText(Row("sub"), 1), "1.0 MB");
    EXPECT_EQ(List().GetItemText(Row("sub"), 5), "1");
    EXPECT_EQ(Names(), (std::vector<std::string>{"new", "sub", "g"}));
    scan.ReleaseStart();
    ASSERT_TRUE(PumpUntil([&] { return !m_pDoc->IsScanning(); }));
    // A's fresh scan corrected the root's figure for A before the root's own scan ran.
    scan.HoldStart(true);
    Show(tree.Root());
    EXPECT_EQ(List().GetItemText(Row("A"), 1), "7.0 MB");
    EXPECT_EQ(List().GetItemText(Row("A"), 5), "3");
    scan.ReleaseStart();
    ASSERT_TRUE(PumpUntil([&] { return !m_pDoc->IsScanning(); }));
    EXPECT_EQ(List().GetItemText(Row("A"), 1), "7.0 MB");
}

TEST_F(DscpShell, ACancelledDeleteLeavesTheListUnread) {
    TempTree tree;
    tree.File("a.txt", 1);
    Show(tree.Root());
    Select("a.txt");
    List().SetItemText(Row("a.txt"), 2, "marker");
    DialogAnswerer no(IDNO);
    m_pFrame->SendMessage(WM_COMMAND, ID_DELETE, 0);
    EXPECT_TRUE(no.Join());
    EXPECT_TRUE(Exists(tree.Path("a.txt")));
    EXPECT_EQ(List().GetItemText(0, 2), "marker");
}

TEST(ShellItemMenu, UnparsablePathsAreLeftOutAndNoneLeftShowsNothing) {
    TempTree tree;
    tree.File("a.txt", 1);
    CShellItemMenu menu;
    menu.SetPaths({tree.Path("gone.txt"), tree.Path("a.txt"), tree.Path("also gone")});
    EXPECT_EQ(menu.ItemCount(), 1);
    EXPECT_TRUE(menu.HasFolder());

    CShellItemMenu none;
    none.SetPaths({tree.Path("gone.txt")});
    EXPECT_EQ(none.ItemCount(), 0);
    EXPECT_FALSE(none.HasFolder());
    int nVersion = 0;
    EXPECT_FALSE(none.GetContextMenu(&nVersion));
    HWND hWnd =
        CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    CWnd owner;
    owner.m_hWnd = hWnd;
    EXPECT_EQ(none.TrackMenu(&owner, 10, 10), 0u); // returns at once: no menu to dismiss
    owner.m_hWnd = nullptr;
    DestroyWindow(hWnd);
}

TEST(ShellItemMenu, IdListHelpers) {
    TempTree tree;
    tree.File("a.txt", 1);
    IShellFolder* psfDesktop = nullptr;
    ASSERT_EQ(SHGetDesktopFolder(&psfDesktop), S_OK);
    const std::string path = tree.Path("a.txt");
    std::wstring wide(path.begin(), path.end());
    LPITEMIDLIST pidl = nullptr;
    ASSERT_EQ(psfDesktop->ParseDisplayName(nullptr, nullptr, &wide[0], nullptr, &pidl, nullptr),
              S_OK);
    const int nCount = CountIDListItems(pidl);
    ASSERT_GE(nCount, 2);
    EXPECT_EQ(GetIDListSize(pidl), ILGetSize(pidl) - 2);
    EXPECT_EQ(GetIDListItem(pidl, nCount)->mkid.cb, 0);
    EXPECT_EQ(GetIDListItem(pidl, nCount + 1), nullptr);
    EXPECT_EQ(CountIDListItems(nullptr), 0);
    LPITEMIDLIST pCopy = CopyIDList(pidl);
    EXPECT_TRUE(ILIsEqual(pCopy, pidl));
    free(pCopy);
    // The last item, bound in its folder, names the file there.
    IShellFolder* psf = nullptr;
    LPITEMIDLIST pLast = nullptr;
    ASSERT_EQ(BindToParentFolder(pidl, IID_IShellFolder, reinterpret_cast<void**>(&psf), &pLast),
              S_OK);
    EXPECT_EQ(CountIDListItems(pLast), 1);
    STRRET name{};
    ASSERT_EQ(psf->GetDisplayNameOf(pLast, SHGDN_INFOLDER | SHGDN_FORPARSING, &name), S_OK);
    char text[MAX_PATH] = {};
    StrRetToBufA(&name, pLast, text, sizeof(text));
    EXPECT_STREQ(text, "a.txt");
    free(pLast);
    psf->Release();
    EXPECT_EQ(BindToParentFolder(nullptr, IID_IShellFolder, reinterpret_cast<void**>(&psf)),
              E_POINTER);
    CoTaskMemFree(pidl);
    psfDesktop->Release();
}

// A file type whose open command is this program, which records its command line and
// the folder it was started in.
class TestFileType {
public:
    TestFileType() {
        char exe[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, exe, sizeof(exe));
        m_strRecord = m_tree.Path("record.txt");
        SetEnvironmentVariableA("DSCP_OPEN_RECORD", m_strRecord.c_str());
        Set(".dscpopen", "DscpOpenTest");
        Set("DscpOpenTest\\shell\\open\\command", "\"" + std::string(exe) + "\" --record \"%1\"");
    }
    ~TestFileType() {
        SetEnvironmentVariableA("DSCP_OPEN_RECORD", nullptr);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ".dscpopen");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, ".dscpopen");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "DscpOpenTest");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "DscpOpenTest");
    }
    static void Set(const std::string& key, const std::string& value) {
        RegSetKeyValueA(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                        static_cast<DWORD>(value.size() + 1));
    }
    std::string Recorded(DWORD ms = 60000) const {
        const DWORD start = GetTickCount();
        do {
            const std::string text = ReadBytes(m_strRecord);
            if (text.size() > 1 && text.back() == '\n')
                return text.substr(0, text.size() - 1);
            Sleep(50);
        } while (GetTickCount() - start < ms);
        return {};
    }

private:
    TempTree m_tree;
    std::string m_strRecord;
};

TEST_F(DscpShell, DoubleClickOpensAFileInTheShownFolder) {
    TestFileType type;
    TempTree tree;
    tree.File("doc.dscpopen", 1);
    tree.Folder("sub");
    Show(tree.Root());
    Notify(NM_DBLCLK, -1); // empty space: nothing
    Notify(NM_DBLCLK, Row("doc.dscpopen"));
    const std::string line = type.Recorded();
    EXPECT_NE(line.find(tree.Path("doc.dscpopen")), std::string::npos) << line;
    EXPECT_NE(line.find("\ncwd=" + tree.Root()), std::string::npos) << line;
}

std::string WithSlash(std::string path) {
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    return path;
}

// The tree node of a file-system folder, reached from its drive level by level.
HTREEITEM FolderNode(CShellTreeCtrl& tree, const std::string& folder) {
    const std::string target = WithSlash(folder);
    HTREEITEM hNode = FindComputerItem(tree);
    if (hNode)
        tree.Expand(hNode, TVE_EXPAND);
    hNode = hNode ? tree.GetChildItem(hNode) : nullptr;
    while (hNode && _strnicmp(target.c_str(), WithSlash(tree.GetItemPath(hNode)).c_str(), 3) != 0)
        hNode = tree.GetNextSiblingItem(hNode);
    while (hNode) {
        if (_stricmp(WithSlash(tree.GetItemPath(hNode)).c_str(), target.c_str()) == 0)
            return hNode;
        tree.Expand(hNode, TVE_EXPAND);
        HTREEITEM hNext = nullptr;
        for (HTREEITEM h = tree.GetChildItem(hNode); h && !hNext; h = tree.GetNextSiblingItem(h)) {
            const std::string path = WithSlash(tree.GetItemPath(h));
            if (!path.empty() && _strnicmp(target.c_str(), path.c_str(), path.size()) == 0)
                hNext = h;
        }
        hNode = hNext;
    }
    return nullptr;
}

TEST_F(DscpShell, DoubleClickOnAFolderOrDriveMovesTheTree) {
    ASSERT_NE(m_pFrame->FolderTree(), nullptr);
    auto& tree = static_cast<CShellTreeCtrl&>(*m_pFrame->FolderTree());
    // At start the computer is selected and the list shows the drives: C: opens its node.
    ASSERT_TRUE(m_pDoc->IsDriveOverview());
    const int nDrive = Row("C:");
    ASSERT_GE(nDrive, 0);
    Notify(NM_DBLCLK, nDrive);
    EXPECT_NE(tree.GetItemText(tree.GetSelectedItem()).find("C:"), std::string::npos);
    EXPECT_EQ(m_pDoc->Folder(), "C:");

    TempTree temp;
    temp.File("sub/inner.txt", 1);
    temp.File("top.txt", 1);
    HTREEITEM hRoot = FolderNode(tree, temp.Root());
    ASSERT_NE(hRoot, nullptr);
    tree.SelectItem(hRoot);
    ASSERT_EQ(m_pDoc->Folder(), temp.Root());
    const size_t nVisits = m_pFrame->History().m_arrBack.size();
    Notify(NM_DBLCLK, Row("sub"));
    EXPECT_EQ(m_pDoc->Folder(), temp.Path("sub"));
    EXPECT_EQ(Names(), std::vector<std::string>{"inner.txt"});
    ASSERT_EQ(m_pFrame->History().m_arrBack.size(), nVisits + 1);
    EXPECT_STREQ(m_pFrame->History().m_arrBack[0].szLabel, "sub");

    // A folder gone since the list was filled does nothing. (The scan of the shown
    // folder reads "sub"; it must be done before the folder can go.)
    tree.SelectItem(hRoot);
    ASSERT_TRUE(WaitForScan());
    ASSERT_TRUE(DeleteFileA(temp.Path("sub/inner.txt").c_str()));
    ASSERT_TRUE(RemoveDirectoryA(temp.Path("sub").c_str()));
    Notify(NM_DBLCLK, Row("sub"));
    EXPECT_EQ(m_pDoc->Folder(), temp.Root());
}

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--record") {
        // Started by the shell for a test file: note how and where, and end.
        char path[MAX_PATH] = {};
        char cwd[MAX_PATH] = {};
        GetCurrentDirectoryA(sizeof(cwd), cwd);
        if (GetEnvironmentVariableA("DSCP_OPEN_RECORD", path, sizeof(path))) {
            const std::string text = std::string(GetCommandLineA()) + "\ncwd=" + cwd + "\n";
            std::ofstream(path, std::ios::binary)
                .write(text.data(), static_cast<std::streamsize>(text.size()));
        }
        return 0;
    }
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    OleInitialize(nullptr); // the shell's clipboard, as the program has it
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
