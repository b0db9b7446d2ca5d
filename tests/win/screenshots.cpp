// The docs' screenshots: sets a scene of the program or of its parts on the display, says
// "ready" on standard output once it is drawn, and holds it until standard input gives a
// line or ends; the tests/win/*screenshot.sh scripts grab the screen meanwhile.
//   dscp_screenshots main-window FOLDER [CX CY]   the program showing FOLDER, chosen in the
//                                         tree, its window 860 x 560 (or CX by CY) at 96 DPI
//   dscp_screenshots size-on-disk FOLDER  the same, 860 x 640, by bytes on disk
//   dscp_screenshots drives               the program as it starts: the drive overview
//   dscp_screenshots treemap FOLDER       the main window, larger, with the treemap pane's outline
//                                         and tooltip
//   dscp_screenshots panes FOLDER TYPE    the main window, larger, with the Largest Files and
//                                         File Types panes, TYPE chosen and lit in the treemap
//   dscp_screenshots search FOLDER PATTERN MINSIZE   the main window, larger, with the Search
//                                         pane: PATTERN and MINSIZE typed, the first file
//                                         found selected and outlined in the treemap
//   dscp_screenshots duplicates FOLDER    the main window, larger, with the Duplicates pane:
//                                         the files of FOLDER with the same bytes, the first
//                                         one selected and outlined in the treemap
//   dscp_screenshots opened-scan SCAN     the main window showing the saved scan SCAN opened,
//                                         with the scan's own folder tree
//   dscp_screenshots compare FOLDER SCAN  the main window, larger, with the File Types pane:
//                                         FOLDER compared with the saved scan SCAN, the
//                                         list by change and the treemap coloured by it
//   dscp_screenshots changes FOLDER       the main window with the Changes pane: FOLDER (a
//                                         writable folder) shown while the tool itself grows,
//                                         creates, renames and deletes files in it
//   dscp_screenshots about                the About box over the main window
//   dscp_screenshots docking STATE        sizing bars in a frame; STATE is one of
//       docked     "Folders" at the left with its close button hot, "Second pane" at the bottom
//       docked2    "Folders" at the right, "Second pane" at the top with its button pressed
//       floating   "Folders" floating in its mini frame, "Second pane" at the left
//       resizing   as docked, the right edge of "Folders" dragged 90 px to the right
//   dscp_screenshots shell-tree           the folder tree with the computer and C: open
// Hot, pressed and the drag come from real mouse input.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#include "caption_bar.h"
#include "changes_view.h"
#include "computer_node.h"
#include "dscp_in_process.h"
#include "duplicates_view.h"
#include "file_types_view.h"
#include "frame_wnd.h"
#include "largest_files_view.h"
#include "gui_test_support.h"
#include "query_list.h"
#include "resource.h"
#include "search_view.h"
#include "shell_tree_ctrl.h"
#include "tool_bar.h"
#include "window_dpi.h"

namespace {

// Paints whatever part of the window and its children still waits for it.
BOOL CALLBACK DrawWindow(HWND hWnd, LPARAM) {
    RedrawWindow(hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE;
}

// Says "ready" once every window of this thread is drawn, then waits for a line or the end
// of standard input, handling this thread's messages meanwhile.
void HoldUntilTold() {
    RunIdle();
    EnumThreadWindows(GetCurrentThreadId(), &DrawWindow, 0);
    PumpMessages();
    std::puts("ready");
    std::fflush(stdout);
    HANDLE hTold = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread reader([hTold] {
        std::string line;
        std::getline(std::cin, line);
        SetEvent(hTold);
    });
    while (MsgWaitForMultipleObjects(1, &hTold, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        RunIdle();
    reader.join();
    CloseHandle(hTold);
}

std::string WithSlash(std::string path) {
    return path.empty() || path.back() == '\\' ? path : path + '\\';
}

// Chooses `folder` in the folder tree, level by level from the drive, as a user would, and
// waits for its scan and for the treemap's picture of it.
bool ChooseInTree(DscpInProcess& program, const std::string& folder) {
    auto* pTree = dynamic_cast<CShellTreeCtrl*>(program.m_pFrame->FolderTree());
    if (!pTree)
        return false;
    const std::string target = WithSlash(folder);
    HTREEITEM hNode = pTree->GetSelectedItem(); // the computer
    while (hNode && _stricmp(WithSlash(pTree->GetItemPath(hNode)).c_str(), target.c_str())) {
        pTree->Expand(hNode, TVE_EXPAND);
        HTREEITEM hNext = nullptr;
        for (HTREEITEM h = pTree->GetChildItem(hNode); h && !hNext;
             h = pTree->GetNextSiblingItem(h)) {
            const std::string path = WithSlash(pTree->GetItemPath(h));
            if (!path.empty() && _strnicmp(target.c_str(), path.c_str(), path.size()) == 0)
                hNext = h;
        }
        hNode = hNext;
    }
    if (!hNode) {
        std::fprintf(stderr, "%s is not in the folder tree\n", folder.c_str());
        return false;
    }
    pTree->SelectItem(hNode);
    pTree->SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(hNode));
    pTree->SendMessage(WM_HSCROLL, SB_LEFT); // long names beside it must not hide the lines
    ::SetFocus(pTree->m_hWnd);
    if (!program.WaitForScan())
        return false;
    CTreemapWnd& treemap = program.m_pFrame->TreemapBar().Treemap();
    return program.PumpUntil([&] { return treemap.IsPictureCurrent(); });
}

// Starts the program with its window at 40,40 and CX by CY at 96 DPI (scaled to the display's
// resolution, so that a scene looks the same at every scale).
bool StartSized(DscpInProcess& program, int cx, int cy) {
    if (!program.StartApp({}))
        return false;
    const DpiScale px = WindowScale(program.m_pFrame->m_hWnd);
    program.m_pFrame->SetWindowPos(nullptr, 40, 40, px(cx), px(cy), SWP_NOZORDER);
    program.m_pFrame->RecalcLayout();
    return true;
}

// Opens a docked pane by the command NCOMMAND (its View menu item, or another that opens
// it) and makes the pane of the View menu item NPANECOMMAND CX wide.
void OpenPane(CMainFrame& frame, UINT nCommand, UINT nPaneCommand, int cx) {
    frame.SendMessage(WM_COMMAND, nCommand, 0);
    CViewBar& bar = frame.QueryBar(nPaneCommand);
    bar.SetSizes(bar.HorzSize(), CSize(cx, bar.VertSize().cy), bar.FloatSize());
    frame.RecalcLayout();
}

// The status line's total as the next tick of its timer shows it, the focus in FOCUS; then
// the scene holds until told, and the program ends.
int HoldScene(DscpInProcess& program, HWND hFocus) {
    program.m_pView->SendMessage(WM_TIMER, CDirscopeView::kStatusTimer);
    if (hFocus)
        ::SetFocus(hFocus);
    HoldUntilTold();
    program.StopApp();
    return 0;
}

int MainWindow(const std::string& folder, int cx, int cy) {
    DscpInProcess program;
    if (!StartSized(program, cx, cy) || !ChooseInTree(program, folder))
        return 1;
    return HoldScene(program, nullptr);
}

// The program showing FOLDER by bytes on disk (View > Size on Disk), the treemap following.
int SizeOnDiskScene(const std::string& folder) {
    DscpInProcess program;
    if (!StartSized(program, 860, 640) || !ChooseInTree(program, folder))
        return 1;
    program.Command(ID_VIEW_SIZE_ON_DISK);
    CTreemapWnd& treemap = program.m_pFrame->TreemapBar().Treemap();
    if (!program.PumpUntil([&] { return treemap.IsPictureCurrent(); }))
        return 1;
    return HoldScene(program, program.m_pView->m_hWnd);
}

int Drives() {
    DscpInProcess program;
    if (!StartSized(program, 860, 560))
        return 1;
    // The program starts on the computer node; its drives shown in the tree too.
    CTreeCtrl* pTree = program.m_pFrame->FolderTree();
    if (!pTree)
        return 1;
    pTree->Expand(pTree->GetSelectedItem(), TVE_EXPAND);
    return HoldScene(program, pTree->m_hWnd);
}

// The program showing FOLDER with a taller treemap pane: the largest subfolder's row
// selected (its area outlined) and the mouse over the largest file, naming it in the tip.
int TreemapScene(const std::string& folder) {
    DscpInProcess program;
    if (!StartSized(program, 1000, 760) || !ChooseInTree(program, folder))
        return 1;
    CMainFrame& frame = *program.m_pFrame;
    CTreemapBar& bar = frame.TreemapBar();
    program.m_pView->SendMessage(WM_TIMER, CDirscopeView::kStatusTimer);
    CTreemapWnd& treemap = bar.Treemap();
    const TreemapLayout& layout = *treemap.Layout();
    program.m_pView->SelectRow(0); // sorted largest first
    ::SetFocus(program.m_pView->m_hWnd);
    uint32_t largest = Tile::kNone;
    for (uint32_t t = 0; t < layout.tiles.size(); ++t)
        if (layout.tiles[t].kind == TileKind::File &&
            (largest == Tile::kNone || layout.tiles[t].bytes > layout.tiles[largest].bytes))
            largest = t;
    if (largest != Tile::kNone) {
        const TileRect r = layout.tiles[largest].PixelRect();
        POINT pt{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ::ClientToScreen(treemap.m_hWnd, &pt);
        SendMouse(pt);
    }
    HoldUntilTold();
    program.StopApp();
    return 0;
}

// The program showing FOLDER with the Largest Files and File Types panes open and the
// file type TYPE chosen in File Types, lit in the treemap.
int PanesScene(const std::string& folder, const std::string& type) {
    DscpInProcess program;
    if (!StartSized(program, 1180, 760))
        return 1;
    CMainFrame& frame = *program.m_pFrame;
    frame.SendMessage(WM_COMMAND, ID_VIEW_FILE_TYPES, 0);
    OpenPane(frame, ID_VIEW_LARGEST_FILES, ID_VIEW_LARGEST_FILES, 470);
    if (!ChooseInTree(program, folder))
        return 1;
    CLargestFilesView& files = *frame.QueryPane<CLargestFilesView>(ID_VIEW_LARGEST_FILES);
    CFileTypesView& types = *frame.QueryPane<CFileTypesView>(ID_VIEW_FILE_TYPES);
    CTreemapWnd& treemap = frame.TreemapBar().Treemap();
    if (!program.PumpUntil([&] {
            return files.IsAnswerCurrent() && files.AreCellsComplete() && types.IsAnswerCurrent() &&
                   treemap.IsPictureCurrent();
        }))
        return 1;
    const int nRow = types.FindType(type);
    if (nRow < 0)
        return 1;
    types.SelectRow(nRow);
    return HoldScene(program, types.m_hWnd);
}

// The program showing FOLDER with the Search pane open, PATTERN and MINSIZE typed into its
// boxes, and the first file found selected (outlined in the treemap).
int SearchScene(const std::string& folder, const std::string& pattern, const std::string& minSize) {
    DscpInProcess program;
    if (!StartSized(program, 1180, 760))
        return 1;
    CMainFrame& frame = *program.m_pFrame;
    OpenPane(frame, ID_FIND_FILES, ID_VIEW_SEARCH, 500);
    if (!ChooseInTree(program, folder))
        return 1;
    CSearchView& search = *frame.QueryPane<CSearchView>(ID_VIEW_SEARCH);
    ::SetWindowTextA(search.Criteria().PatternBox(), pattern.c_str());
    ::SetWindowTextA(search.Criteria().MinSizeBox(), minSize.c_str());
    CTreemapWnd& treemap = frame.TreemapBar().Treemap();
    if (!program.PumpUntil([&] {
            return search.IsAnswerCurrent() && !search.Rows().empty() &&
                   search.AreCellsComplete() && treemap.IsPictureCurrent();
        }))
        return 1;
    SelectOnlyRow(search.GetListCtrl(), 0);
    return HoldScene(program, search.m_hWnd);
}

// The program showing FOLDER with the Changes pane open while files change beneath it as a
// download, a build and a clean-up would change them.
int ChangesScene(const std::string& folder) {
    DscpInProcess program;
    if (!StartSized(program, 1180, 760))
        return 1;
    CMainFrame& frame = *program.m_pFrame;
    OpenPane(frame, ID_VIEW_CHANGES, ID_VIEW_CHANGES, 560);
    const auto path = [&folder](const char* relative) { return folder + "\\" + relative; };
    const auto write = [](const std::string& file, size_t bytes) {
        std::ofstream(file, std::ios::binary | std::ios::app) << std::string(bytes, 'x');
    };
    ::CreateDirectoryA(path("Downloads").c_str(), nullptr);
    ::CreateDirectoryA(path("build").c_str(), nullptr);
    write(path("Downloads\\movie.mkv.part"), 1 << 20);
    write(path("notes.txt"), 4000);
    write(path("old.log"), 300000);
    program.Show(folder);
    if (!program.WaitForScan())
        return 1;
    CChangesView& changes = *frame.QueryPane<CChangesView>(ID_VIEW_CHANGES);
    for (int i = 0; i < 3; ++i) {
        write(path("Downloads\\movie.mkv.part"), 6 << 20);
        if (!program.PumpUntil([&] { return changes.Rows().size() >= static_cast<size_t>(i + 1); }))
            return 1;
    }
    write(path("build\\main.obj"), 250000);
    write(path("notes.txt"), 1200);
    ::MoveFileA(path("notes.txt").c_str(), path("notes-2026.txt").c_str());
    ::DeleteFileA(path("old.log").c_str());
    if (!program.PumpUntil([&] { return changes.Rows().size() >= 7; }))
        return 1;
    return HoldScene(program, changes.m_hWnd);
}

// The program showing FOLDER compared with the saved scan SCAN: the Change column sorted
// largest growth first, the treemap coloured by change, File Types with its change per type.
int CompareScene(const std::string& folder, const std::string& scan) {
    DscpInProcess program;
    if (!StartSized(program, 1180, 760))
        return 1;
    CMainFrame& frame = *program.m_pFrame;
    OpenPane(frame, ID_VIEW_FILE_TYPES, ID_VIEW_FILE_TYPES, 430);
    if (!ChooseInTree(program, folder))
        return 1;
    program.m_pDoc->CompareWithScan(scan);
    CFileTypesView& types = *frame.QueryPane<CFileTypesView>(ID_VIEW_FILE_TYPES);
    CTreemapWnd& treemap = frame.TreemapBar().Treemap();
    if (!program.PumpUntil([&] {
            return !program.m_pDoc->IsReadingComparison() && program.m_pDoc->IsComparing() &&
                   types.IsAnswerCurrent() && treemap.IsPictureCurrent();
        })) {
        std::fprintf(stderr, "%s was not compared\n", scan.c_str());
        return 1;
    }
    program.m_pView->SelectRow(0);
    return HoldScene(program, program.m_pView->m_hWnd);
}

// The program showing FOLDER with the Duplicates pane open and its duplicates found, the
// first file of the group that wastes most selected (outlined in the treemap).
int DuplicatesScene(const std::string& folder) {
    DscpInProcess program;
    if (!StartSized(program, 1180, 760))
        return 1;
    CMainFrame& frame = *program.m_pFrame;
    OpenPane(frame, ID_VIEW_DUPLICATES, ID_VIEW_DUPLICATES, 520);
    if (!ChooseInTree(program, folder))
        return 1;
    CDuplicatesView& duplicates = *frame.QueryPane<CDuplicatesView>(ID_VIEW_DUPLICATES);
    frame.SendMessage(WM_COMMAND, ID_FIND_DUPLICATES, 0);
    CTreemapWnd& treemap = frame.TreemapBar().Treemap();
    if (!program.PumpUntil([&] {
            return duplicates.IsIdle() && duplicates.Result().RowCount() > 0 &&
                   treemap.IsPictureCurrent();
        })) {
        std::fprintf(stderr, "no duplicates found: %s\n", duplicates.Strip().Status().c_str());
        return 1;
    }
    SelectOnlyRow(duplicates.GetListCtrl(), 0);
    return HoldScene(program, duplicates.m_hWnd);
}

// The program showing the saved scan SCAN opened: its own folder tree, its path and when it
// was taken in the path bar, the list and the treemap of its root.
int OpenedScanScene(const std::string& scan) {
    DscpInProcess program;
    if (!StartSized(program, 1000, 680))
        return 1;
    CMainFrame& frame = *program.m_pFrame;
    program.m_pDoc->OpenScanFile(scan);
    CTreemapWnd& treemap = frame.TreemapBar().Treemap();
    if (!program.PumpUntil([&] {
            return program.m_pDoc->IsSavedScan() && !program.m_pDoc->IsFilling() &&
                   treemap.IsPictureCurrent();
        })) {
        std::fprintf(stderr, "%s was not opened\n", scan.c_str());
        return 1;
    }
    program.m_pView->SelectRow(0);
    return HoldScene(program, program.m_pView->m_hWnd);
}

int AboutBox() {
    DscpInProcess program;
    if (!StartSized(program, 700, 420))
        return 1;
    RunIdle();
    EnumThreadWindows(GetCurrentThreadId(), &DrawWindow, 0);
    // The box is modal: a helper thread holds it, while the box's own loop draws it.
    DialogAnswerer answer([](HWND hDlg) {
        DrawWindow(hDlg, 0);
        std::puts("ready");
        std::fflush(stdout);
        std::string line;
        std::getline(std::cin, line);
        PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
    });
    program.Command(ID_APP_ABOUT);
    const bool bShown = answer.Join();
    program.StopApp();
    return bShown ? 0 : 1;
}

class CDockingFrame : public CFrameWnd {
public:
    CSizingControlBarCF m_bar1;
    CSizingControlBarCF m_bar2;
    CToolBar m_wndToolBar;
    CWnd m_wndPane;
    void PostNcDestroy() override {}
};

void Settle(CDockingFrame& frame) {
    frame.RecalcLayout();
    for (int i = 0; i < 4; ++i) {
        PumpMessages();
        frame.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    }
}

POINT ButtonCenter(CSizingControlBarCF& bar) {
    CRect rc = bar.CloseButton().GetRect();
    const CRect rcBar = bar.GetWindowRect();
    rc.OffsetRect(rcBar.left, rcBar.top);
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

int Docking(const std::string& state) {
    if (state != "docked" && state != "docked2" && state != "floating" && state != "resizing")
        return 2;
    CWinApp app("DockingScreenshots");
    CDockingFrame frame;
    if (!frame.Create(nullptr, "Docking panes", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                      CRect(40, 40, 740, 500), nullptr, 0, 0, nullptr) ||
        !frame.m_wndPane.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), &frame,
                                AFX_IDW_PANE_FIRST))
        return 1;
    ::SetForegroundWindow(frame.m_hWnd);
    frame.EnableDocking(CBRS_ALIGN_ANY);
    CSizingControlBarCF& bar1 = frame.m_bar1;
    CSizingControlBarCF& bar2 = frame.m_bar2;
    if (!bar1.Create("Folders", &frame, 101, WS_CHILD | WS_VISIBLE | CBRS_LEFT) ||
        !bar2.Create("Second pane", &frame, 102, WS_CHILD | WS_VISIBLE | CBRS_LEFT))
        return 1;
    bar1.EnableDocking(CBRS_ALIGN_ANY);
    bar2.EnableDocking(CBRS_ALIGN_ANY);
    // A toolbar of six buttons and a separator along the top.
    CToolBar& toolbar = frame.m_wndToolBar;
    if (!toolbar.Create(&frame, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER))
        return 1;
    static const UINT kIds[] = {1001, 1002, 1003, ID_SEPARATOR, 1004, 1005, 1006};
    toolbar.SetButtons(kIds, 7);
    toolbar.SetSizes(CSize(23, 22), CSize(16, 15));
    toolbar.EnableDocking(CBRS_ALIGN_ANY);
    frame.DockControlBar(&toolbar, AFX_IDW_DOCKBAR_TOP);
    if (state == "floating") {
        frame.DockControlBar(&bar1, AFX_IDW_DOCKBAR_LEFT);
        frame.DockControlBar(&bar2, AFX_IDW_DOCKBAR_LEFT);
        bar1.SetSizes(bar1.HorzSize(), bar1.VertSize(), CSize(220, 180));
        frame.FloatControlBar(&bar1, CPoint(330, 180));
    } else if (state == "docked2") {
        bar2.SetSizes(CSize(bar2.HorzSize().cx, 150), bar2.VertSize(), bar2.FloatSize());
        frame.DockControlBar(&bar1, AFX_IDW_DOCKBAR_RIGHT);
        frame.DockControlBar(&bar2, AFX_IDW_DOCKBAR_TOP);
    } else {
        bar2.SetSizes(CSize(bar2.HorzSize().cx, 150), bar2.VertSize(), bar2.FloatSize());
        frame.DockControlBar(&bar1, AFX_IDW_DOCKBAR_LEFT);
        frame.DockControlBar(&bar2, AFX_IDW_DOCKBAR_BOTTOM);
    }
    Settle(frame);
    // Something in the panes, as the folder tree is.
    for (CSizingControlBarCF* pBar : {&bar1, &bar2}) {
        const CRect rc = pBar->GetClientRect();
        HWND hList = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", nullptr,
                                     WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0,
                                     0, rc.Width(), rc.Height(), pBar->m_hWnd, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
        SendMessageA(hList, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                     TRUE);
        for (const char* text : {"Desktop", "My Computer", "(C:)", "Program Files", "windows"})
            SendMessageA(hList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    Settle(frame);
    auto updateButtons = [&frame] {
        frame.SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, true, true);
    };
    bool bInput = true;
    bool bButtonDown = false;
    if (state == "docked" || state == "floating") {
        bInput = SendMouse(ButtonCenter(state == "docked" ? bar1 : bar2));
        updateButtons();
    } else if (state == "docked2") {
        bInput = SendMouse(ButtonCenter(bar2), MOUSEEVENTF_LEFTDOWN);
        bButtonDown = true;
        updateButtons();
    } else {
        // The tracker, as when window contents are not shown while dragging.
        bar1.SetFullDrag(false);
        const CRect rc = bar1.GetWindowRect();
        const POINT pt{(rc.right - bars::kSizingEdge + rc.right) / 2, (rc.top + rc.bottom) / 2};
        bInput = SendMouse(pt) && SendMouse(pt, MOUSEEVENTF_LEFTDOWN);
        bButtonDown = true;
        bInput = bInput && SendMouse(POINT{pt.x + 45, pt.y}) && SendMouse(POINT{pt.x + 90, pt.y}) &&
                 bar1.IsResizing();
    }
    if (bInput)
        HoldUntilTold();
    if (bButtonDown) {
        POINT pt;
        GetCursorPos(&pt);
        SendMouse(pt, MOUSEEVENTF_LEFTUP);
    }
    frame.DestroyWindow();
    PumpMessages();
    return bInput ? 0 : 1;
}

int ShellTree() {
    CWnd host;
    CShellTreeCtrl tree;
    if (!host.CreateEx(0, nullptr, "Shell tree", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 420, 560,
                       nullptr, nullptr) ||
        !tree.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | TVS_HASBUTTONS |
                         TVS_HASLINES | TVS_SHOWSELALWAYS,
                     CRect(0, 0, 400, 520), &host, 1000))
        return 1;
    tree.AddRootFolderContent(nullptr, 2);
    HTREEITEM hComputer = FindComputerItem(tree);
    if (!hComputer)
        return 1;
    tree.SelectItem(hComputer);
    tree.Expand(hComputer, TVE_EXPAND);
    for (HTREEITEM h = tree.GetChildItem(hComputer); h; h = tree.GetNextSiblingItem(h))
        if (tree.GetItemPath(h) == "C:\\")
            tree.Expand(h, TVE_EXPAND);
    HoldUntilTold();
    host.DestroyWindow();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    OleInitialize(nullptr);
    const std::string scene = argc > 1 ? argv[1] : "";
    int result = 2;
    if (scene == "main-window" && argc == 3)
        result = MainWindow(argv[2], 860, 560);
    else if (scene == "main-window" && argc == 5)
        result = MainWindow(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    else if (scene == "size-on-disk" && argc == 3)
        result = SizeOnDiskScene(argv[2]);
    else if (scene == "drives" && argc == 2)
        result = Drives();
    else if (scene == "treemap" && argc == 3)
        result = TreemapScene(argv[2]);
    else if (scene == "panes" && argc == 4)
        result = PanesScene(argv[2], argv[3]);
    else if (scene == "search" && argc == 5)
        result = SearchScene(argv[2], argv[3], argv[4]);
    else if (scene == "compare" && argc == 4)
        result = CompareScene(argv[2], argv[3]);
    else if (scene == "duplicates" && argc == 3)
        result = DuplicatesScene(argv[2]);
    else if (scene == "opened-scan" && argc == 3)
        result = OpenedScanScene(argv[2]);
    else if (scene == "changes" && argc == 3)
        result = ChangesScene(argv[2]);
    else if (scene == "about" && argc == 2)
        result = AboutBox();
    else if (scene == "docking" && argc == 3)
        result = Docking(argv[2]);
    else if (scene == "shell-tree" && argc == 2)
        result = ShellTree();
    if (result == 2)
        std::fprintf(
            stderr,
            "usage: dscp_screenshots main-window FOLDER [CX CY] | size-on-disk FOLDER | drives | "
            "treemap FOLDER | "
            "panes FOLDER TYPE | compare FOLDER SCAN | duplicates FOLDER | "
            "opened-scan SCAN | about | docking "
            "docked|docked2|floating|resizing | "
            "shell-tree\n");
    OleUninitialize();
    return result;
}
