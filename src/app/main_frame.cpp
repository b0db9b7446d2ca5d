#include "main_frame.h"

#include <string.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <vector>

#include "computer_node.h"
#include "date_text.h"
#include "dirscope_doc.h"
#include "dirscope_view.h"
#include "dock_bar.h"
#include "duplicates_view.h"
#include "elevated_restart.h"
#include "file_dialog.h"
#include "changes_view.h"
#include "file_types_view.h"
#include "search_view.h"
#include "folder_path.h"
#include "form_tree.h"
#include "largest_files_view.h"
#include "resource.h"
#include "scan_tree_ctrl.h"
#include "win_app.h"
#include "sizing_control_bar.h"
#include "tree_navigator_win32.h"
#include "window_dpi.h"

namespace {

// Bar styles as the windows are created with them. The tree pane starts at the top like
// the toolbar, until it docks left.
constexpr DWORD kToolBarStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS |
                                CBRS_FLYBY | CBRS_SIZE_DYNAMIC;
constexpr DWORD kStatusBarStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM;
constexpr DWORD kTreeBarStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP;
constexpr UINT kTreeBarID = 101;
// The treemap pane starts at the bottom; it docks at the top or bottom, or floats.
constexpr DWORD kTreemapBarStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM;
constexpr UINT kTreemapBarID = 102;
constexpr int kTreemapBarHeight = 220;
// The panes of questions asked of the snapshot, and the Changes pane, start on the right,
// hidden. Each has its View menu command, its title, its view and its bar's id (the stored
// layout's key).
constexpr DWORD kQueryBarStyle = WS_CHILD | CBRS_RIGHT;
constexpr int kQueryBarWidth = 360;

struct QueryPaneInfo {
    UINT nCommand;
    const char* lpszTitle;
    const CRuntimeClass* (*viewClass)();
    UINT nBarID;
};

constexpr QueryPaneInfo kQueryPanes[] = {
    {ID_VIEW_LARGEST_FILES, "Largest Files", &CLargestFilesView::GetThisClass, 103},
    {ID_VIEW_FILE_TYPES, "File Types", &CFileTypesView::GetThisClass, 104},
    {ID_VIEW_SEARCH, "Search", &CSearchView::GetThisClass, 105},
    {ID_VIEW_CHANGES, "Changes", &CChangesView::GetThisClass, 106},
    {ID_VIEW_DUPLICATES, "Duplicates", &CDuplicatesView::GetThisClass, 107},
};
constexpr UINT kFirstQueryCommand = ID_VIEW_LARGEST_FILES;
constexpr UINT kLastQueryCommand = ID_VIEW_SEARCH;

// The table's place of a query pane's command, or its size.
size_t QueryPaneIndex(UINT nCommand) {
    size_t i = 0;
    while (i < std::size(kQueryPanes) && kQueryPanes[i].nCommand != nCommand)
        ++i;
    return i;
}
// The least the window leaves the treemap pane, and its least width.
constexpr int kTreemapLeast = 80;
constexpr int kLeastWidth = 480;
// The sizes above are at 96 DPI; the window shows them at its own resolution.

// Where the bar sizes and the docking layout would be kept; the program never writes
// them.
constexpr char kBarStateProfile[] = "Dirscope.BarState";

const UINT kIndicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};

// The scan files the File menu opens and saves: ncdu's JSON export.
constexpr char kScanFileFilter[] = "Scan files (*.json)|*.json|All files (*.*)|*.*||";

// Where an opened scan's folders come from, beside its path in the path bar.
std::string ScanSourceText(const OpenedScanInfo& scan) {
    if (scan.takenAt <= 0)
        return "Saved scan";
    return "Saved scan, taken " + FormatDateTime(scan.takenAt);
}

// A text box, whose keys are its own.
bool IsEditControl(HWND hWnd) {
    char cls[16] = {};
    return hWnd && ::GetClassNameA(hWnd, cls, sizeof(cls)) > 0 && _stricmp(cls, "Edit") == 0;
}

} // namespace

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_COMMAND(ID_BACK, OnBack)
    ON_COMMAND(ID_FORWARD, OnForward)
    ON_COMMAND_RANGE(ID_BACKFOLDER0, ID_BACKFOLDER7, OnBackFolder)
    ON_COMMAND_RANGE(ID_FORWARDFOLDER0, ID_FORWARDFOLDER7, OnForwardFolder)
    ON_COMMAND(ID_UP, OnUp)
    ON_COMMAND(ID_FOLDER, OnFolderPane)
    ON_UPDATE_COMMAND_UI(ID_BACK, OnUpdateBack)
    ON_UPDATE_COMMAND_UI(ID_FORWARD, OnUpdateForward)
    ON_UPDATE_COMMAND_UI(ID_UP, OnUpdateUp)
    ON_UPDATE_COMMAND_UI(ID_FOLDER, OnUpdateFolderPane)
    ON_COMMAND(ID_VIEW_TREEMAP, OnTreemapPane)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TREEMAP, OnUpdateTreemapPane)
    ON_COMMAND_RANGE(kFirstQueryCommand, kLastQueryCommand, OnQueryPane)
    ON_UPDATE_COMMAND_UI_RANGE(kFirstQueryCommand, kLastQueryCommand, OnUpdateQueryPane)
    ON_COMMAND_RANGE(ID_VIEW_CHANGES, ID_VIEW_CHANGES, OnQueryPane)
    ON_UPDATE_COMMAND_UI_RANGE(ID_VIEW_CHANGES, ID_VIEW_CHANGES, OnUpdateQueryPane)
    ON_COMMAND(ID_FIND_FILES, OnFindFiles)
    ON_COMMAND_RANGE(ID_VIEW_DUPLICATES, ID_VIEW_DUPLICATES, OnQueryPane)
    ON_UPDATE_COMMAND_UI_RANGE(ID_VIEW_DUPLICATES, ID_VIEW_DUPLICATES, OnUpdateQueryPane)
    ON_COMMAND(ID_FIND_DUPLICATES, OnFindDuplicates)
    ON_UPDATE_COMMAND_UI(ID_FIND_DUPLICATES, OnUpdateFindDuplicates)
    ON_NOTIFY(TBN_DROPDOWN, AFX_IDW_TOOLBAR, OnToolbarDropDown)
    ON_COMMAND_RANGE(ID_NEXT_PANE, ID_PREV_PANE, OnCyclePane)
    ON_COMMAND(ID_OPEN_SELECTED, OnOpenSelected)
    ON_COMMAND(ID_FILE_OPEN_SCAN, OnOpenScan)
    ON_COMMAND(ID_FILE_SAVE_SCAN, OnSaveScan)
    ON_COMMAND(ID_FILE_STOP_OPENING, OnStopOpening)
    ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_SCAN, OnUpdateSaveScan)
    ON_UPDATE_COMMAND_UI(ID_FILE_STOP_OPENING, OnUpdateStopOpening)
    ON_COMMAND(ID_FILE_COMPARE_SCAN, OnCompareScan)
    ON_COMMAND(ID_FILE_END_COMPARISON, OnEndComparison)
    ON_UPDATE_COMMAND_UI(ID_FILE_COMPARE_SCAN, OnUpdateCompareScan)
    ON_UPDATE_COMMAND_UI(ID_FILE_END_COMPARISON, OnUpdateEndComparison)
    ON_COMMAND(ID_FILE_RESTART_ELEVATED, OnRestartElevated)
    ON_UPDATE_COMMAND_UI(ID_FILE_RESTART_ELEVATED, OnUpdateRestartElevated)
    ON_COMMAND(ID_VIEW_SIZE_ON_DISK, OnSizeOnDisk)
    ON_UPDATE_COMMAND_UI(ID_VIEW_SIZE_ON_DISK, OnUpdateSizeOnDisk)
    ON_MESSAGE(WM_GETMINMAXINFO, OnGetMinMaxInfo)
END_MESSAGE_MAP()

bool CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
    // The caption is the program's, without a document name.
    cs.style &= ~static_cast<LONG>(FWS_ADDTOTITLE);
    return CFrameWnd::PreCreateWindow(cs);
}

int CMainFrame::OnCreate(LPCREATESTRUCTA lpcs) {
    if (CFrameWnd::OnCreate(lpcs) == -1)
        return -1;

    m_wndToolBar.SetBorders(1, 1, 1, 1);
    if (!m_wndToolBar.Create(this, kToolBarStyle, AFX_IDW_TOOLBAR) ||
        !m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
        return -1;
    m_wndToolBar.ModifyStyle(0, TBSTYLE_FLAT);
    LoadToolBarImages();

    if (!m_wndStatusBar.Create(this, kStatusBarStyle, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(kIndicators, 4))
        return -1;

    // The toolbar docks on any side, the frame takes bars on any side; it starts at the
    // top, where its bar style puts it.
    m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndToolBar);

    // The path bar never docks: laid out right after the top dock row, it spans the frame
    // below the toolbar and above the panes. Without docking it has no part in the stored
    // layout.
    if (!m_wndPathBar.Create(
            this, [this](const std::string& path) { return ShowTypedPath(path); },
            ID_VIEW_PATH_BAR))
        return -1;
    if (CDockBar* pTop = GetDockBar(AFX_IDW_DOCKBAR_TOP))
        ::SetWindowPos(m_wndPathBar.m_hWnd, pTop->m_hWnd, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    // Back, Forward and ViewType get drop-down arrows.
    m_wndToolBar.SendMessage(TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    const UINT nStyle =
        m_wndToolBar.GetButtonStyle(m_wndToolBar.CommandToIndex(ID_BACK)) | TBSTYLE_DROPDOWN;
    for (UINT nID : {ID_BACK, ID_FORWARD, ID_VIEWTYPE})
        m_wndToolBar.SetButtonStyle(m_wndToolBar.CommandToIndex(nID), nStyle);

    // The folder tree pane joins the document through the frame's own context, docks
    // on the left only, and takes the sizes and layout the profile may hold.
    auto* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (!m_wndTreeBar.Create(this, RUNTIME_CLASS(CFormTree), pContext, "TreeDir", kTreeBarStyle,
                             kTreeBarID))
        return -1;
    m_wndTreeBar.SetBarStyle(m_wndTreeBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY |
                             CBRS_SIZE_DYNAMIC);
    m_wndTreeBar.EnableDocking(CBRS_ALIGN_LEFT);
    DockControlBar(&m_wndTreeBar, AFX_IDW_DOCKBAR_LEFT);

    // Every view moves through the navigator, which selects in the tree.
    AfxSetNavigator(&m_navigator);

    // The treemap pane is optional: a window that cannot have it starts without it, and its
    // command stays disabled. Its view joins the document.
    CDocument* pDoc = pContext ? pContext->m_pCurrentDoc : nullptr;
    m_wndTreemapBar.SetDocument(pDoc);
    if (m_wndTreemapBar.Create("Treemap", this, kTreemapBarID, kTreemapBarStyle)) {
        m_wndTreemapBar.SetBarStyle(m_wndTreemapBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY |
                                    CBRS_SIZE_DYNAMIC);
        m_wndTreemapBar.SetSizes(CSize(m_wndTreemapBar.HorzSize().cx, Scale()(kTreemapBarHeight)),
                                 m_wndTreemapBar.VertSize(), m_wndTreemapBar.FloatSize());
        m_wndTreemapBar.EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);
        DockControlBar(&m_wndTreemapBar, AFX_IDW_DOCKBAR_BOTTOM);
    }
    if (!CreateQueryPanes(pContext))
        return -1;
    CSizingControlBar::RestoreAllSizes(this, kBarStateProfile);
    // Unless the stored layout gives its height, the treemap keeps a share of the window's.
    if (!m_wndTreemapBar.HasStoredHorzHeight())
        m_wndTreemapBar.KeepHeightShare(kTreemapShare, Scale()(kListKeep));
    LoadBarState(kBarStateProfile);
    return 0;
}

// ---- the tree pane and the history ----

void CMainFrame::OnFolderSelected(const std::string& strFolder, CTreeCtrl& tree) {
    // The visit is recorded before the folder shows: a large folder handles messages
    // while it shows, and a folder chosen meanwhile is the newer visit. Only this one
    // selection belongs to a Back or Forward move; one made meanwhile is a visit.
    const bool bRecord = m_bRecordHistory;
    m_bRecordHistory = true;
    CDirscopeDoc* pDoc = Document();
    // A folder of the opened scan, or of this computer (which leaves the scan).
    const bool bScan = &tree == m_pScanTree && pDoc && pDoc->HasOpenedScan();
    if (bRecord)
        RecordVisit(tree, bScan ? pDoc->OpenedScan().nSerial : 0);
    // Wherever the move came from, the tree shows the node and the path bar the folder.
    const HTREEITEM hSelected = tree.GetSelectedItem();
    if (hSelected)
        tree.EnsureVisible(hSelected);
    if (m_wndPathBar.m_hWnd) {
        if (strFolder.empty() && hSelected && !bScan)
            m_wndPathBar.SetComputerName(tree.GetItemText(hSelected));
        m_wndPathBar.SetShownPath(strFolder,
                                  bScan ? ScanSourceText(pDoc->OpenedScan()) : std::string());
    }
    if (pDoc && bScan)
        pDoc->ShowScanFolder(strFolder);
    else if (pDoc)
        pDoc->ShowFolder(strFolder);
}

CDirscopeDoc* CMainFrame::Document() {
    return dynamic_cast<CDirscopeDoc*>(GetActiveDocument());
}

CTreeCtrl* CMainFrame::ShellTree() const {
    return m_pFolderTree && m_pFolderTree->m_hWnd ? m_pFolderTree : nullptr;
}

CTreeCtrl* CMainFrame::LiveScanTree() const {
    return m_pScanTree && m_pScanTree->m_hWnd ? m_pScanTree : nullptr;
}

CTreeCtrl* CMainFrame::LiveTree() {
    const CDirscopeDoc* pDoc = Document();
    if (pDoc && pDoc->IsSavedScan())
        return LiveScanTree();
    return ShellTree();
}

CTreeCtrl* CMainFrame::TreeOf(const HistoryEntry& entry) {
    if (entry.nScan == 0)
        return ShellTree();
    const CDirscopeDoc* pDoc = Document();
    return pDoc && pDoc->OpenedScan().nSerial == entry.nScan ? LiveScanTree() : nullptr;
}

void CMainFrame::SetFolderTree(CTreeCtrl* pTree) {
    m_pFolderTree = pTree;
    m_navigator.SetTree(pTree);
}

void CMainFrame::SetScanTree(CTreeCtrl* pTree) {
    m_pScanTree = dynamic_cast<CScanTreeCtrl*>(pTree);
    m_navigator.SetScanTree(m_pScanTree);
}

void CMainFrame::OnDestroy() {
    AfxSetNavigator(nullptr);
    m_navigator.SetTree(nullptr);
    CFrameWnd::OnDestroy();
}

void CMainFrame::OnUpdateFrameTitle(bool) {
    const std::string title = AfxLoadString(IDS_PRODUCT_NAME) + " " + AfxLoadString(IDS_VERSION);
    if (GetWindowText() != title)
        SetWindowText(title);
}

CDirscopeDoc* CMainFrame::FillingDocument() {
    auto* pDoc = dynamic_cast<CDirscopeDoc*>(GetActiveDocument());
    return pDoc && pDoc->IsFilling() ? pDoc : nullptr;
}

void CMainFrame::OnClose() {
    // A folder being filled runs beneath the handler that chose it (the tree's selection,
    // a command), which the windows must outlive: the fill gives up at once, and the
    // close comes back through the queue once it has returned.
    if (CDirscopeDoc* pDoc = FillingDocument()) {
        pDoc->AbandonFill();
        PostMessage(WM_CLOSE);
        return;
    }
    CFrameWnd::OnClose();
}

bool CMainFrame::PreTranslateMessage(MSG* pMsg) {
    // Esc gives up a scan file being read, wherever the focus is.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) {
        CDirscopeDoc* pDoc = Document();
        if (pDoc && pDoc->IsOpeningScan()) {
            pDoc->StopOpeningScan();
            return true;
        }
    }
    // While a text box has the focus (the path bar's), its keys are its own: no key of the
    // accelerator table acts.
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && IsEditControl(::GetFocus()))
        return false;
    return CFrameWnd::PreTranslateMessage(pMsg);
}

bool CMainFrame::OnCmdMsg(CmdMsg& msg) {
    // New and Open rebuild the tree and the list; not beneath a folder still being filled.
    if (msg.phase == CmdPhase::Execute && (msg.nID == ID_FILE_NEW || msg.nID == ID_FILE_OPEN) &&
        FillingDocument())
        return true;
    return CFrameWnd::OnCmdMsg(msg);
}

void CMainFrame::RecordVisit(CTreeCtrl& tree, unsigned nScan) {
    CTreeCtrlNavigator nav(tree);
    if (std::optional<HistoryEntry> entry = MakeVisitEntry(nav)) {
        entry->nScan = nScan;
        m_history.RecordVisit(*entry);
    }
}

bool CMainFrame::SelectTreePath(const std::string& strTreePath) {
    CTreeCtrl* pTree = LiveTree();
    if (!pTree)
        return false;
    CTreeCtrlNavigator nav(*pTree);
    return ::SelectTreePath(nav, strTreePath);
}

void CMainFrame::GoBack(int n) {
    if (n < 0 || static_cast<size_t>(n) + 1 >= m_history.m_arrBack.size())
        return;
    // The target's own tree: the scan's, or this computer's (which leaves the scan).
    CTreeCtrl* pTree = TreeOf(m_history.m_arrBack[static_cast<size_t>(n) + 1]);
    if (!pTree)
        return;
    CTreeCtrlNavigator nav(*pTree);
    ::GoBack(m_history, nav, static_cast<std::size_t>(n), m_bRecordHistory);
}

void CMainFrame::GoForward(int n) {
    if (n < 0 || static_cast<size_t>(n) >= m_history.m_arrForward.size())
        return;
    CTreeCtrl* pTree = TreeOf(m_history.m_arrForward[static_cast<size_t>(n)]);
    if (!pTree)
        return;
    CTreeCtrlNavigator nav(*pTree);
    ::GoForward(m_history, nav, static_cast<std::size_t>(n), m_bRecordHistory);
}

void CMainFrame::OnBackFolder(UINT nID) {
    if (const std::optional<std::size_t> n = BackStepsOfCommand(nID))
        GoBack(static_cast<int>(*n));
}

void CMainFrame::OnForwardFolder(UINT nID) {
    if (const std::optional<std::size_t> n = ForwardStepsOfCommand(nID))
        GoForward(static_cast<int>(*n));
}

void CMainFrame::OnUp() {
    // An ordinary selection change: the parent is shown and recorded as a visit.
    CTreeCtrl* pTree = LiveTree();
    if (!pTree)
        return;
    CTreeCtrlNavigator nav(*pTree);
    if (const TreeNavigator::Node parent = UpTarget(nav))
        nav.Select(parent);
}

void CMainFrame::OnFolderPane() {
    ShowControlBar(&m_wndTreeBar, !(m_wndTreeBar.GetStyle() & WS_VISIBLE), false);
}

void CMainFrame::OnUpdateBack(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_history.CanGoBack());
}

void CMainFrame::OnUpdateForward(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_history.CanGoForward());
}

void CMainFrame::OnUpdateUp(CCmdUI* pCmdUI) {
    // Before the window shows there may be no tree yet: the state stays as it is.
    if (!IsWindowVisible())
        return;
    bool bEnable = false;
    if (CTreeCtrl* pTree = LiveTree()) {
        CTreeCtrlNavigator nav(*pTree);
        bEnable = UpTarget(nav) != 0;
    }
    pCmdUI->Enable(bEnable);
}

void CMainFrame::OnUpdateFolderPane(CCmdUI* pCmdUI) {
    // Pressed while the pane shows, however it was hidden.
    pCmdUI->Enable(true);
    pCmdUI->SetCheck((m_wndTreeBar.GetStyle() & WS_VISIBLE) ? 1 : 0);
}

void CMainFrame::OnTreemapPane() {
    if (!m_wndTreemapBar.m_hWnd)
        return;
    const bool bShow = !(m_wndTreemapBar.GetStyle() & WS_VISIBLE);
    ShowControlBar(&m_wndTreemapBar, bShow, false);
    if (bShow)
        m_wndTreemapBar.Treemap().OnPaneShown();
}

void CMainFrame::OnUpdateTreemapPane(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_wndTreemapBar.m_hWnd != nullptr);
    pCmdUI->SetCheck((m_wndTreemapBar.GetStyle() & WS_VISIBLE) ? 1 : 0);
}

bool CMainFrame::CreateQueryPanes(CCreateContext* pContext) {
    for (const QueryPaneInfo& pane : kQueryPanes) {
        m_queryBars.push_back(std::make_unique<CViewBar>());
        CViewBar& bar = *m_queryBars.back();
        if (!bar.Create(this, pane.viewClass(), pContext, pane.lpszTitle, kQueryBarStyle,
                        pane.nBarID))
            return false;
        bar.SetBarStyle(bar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
        bar.SetSizes(bar.HorzSize(), CSize(Scale()(kQueryBarWidth), bar.VertSize().cy),
                     bar.FloatSize());
        bar.EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&bar, AFX_IDW_DOCKBAR_RIGHT);
        ShowControlBar(&bar, false, false);
    }
    return true;
}

CViewBar& CMainFrame::QueryBar(UINT nCommand) const {
    return *m_queryBars.at(QueryPaneIndex(nCommand));
}

CWnd* CMainFrame::QueryViewOf(const CViewBar& bar) {
    if (!bar.m_pFrameWnd || !bar.m_pFrameWnd->m_hWnd)
        return nullptr;
    return FromHandlePermanent(::GetDlgItem(bar.m_pFrameWnd->m_hWnd, AFX_IDW_PANE_FIRST));
}

void CMainFrame::ShowQueryPane(CViewBar& bar, bool bShow) {
    ShowControlBar(&bar, bShow, false);
    if (auto* pView = dynamic_cast<CQueryView*>(QueryViewOf(bar)); pView && bShow)
        pView->OnPaneShown();
}

void CMainFrame::OnQueryPane(UINT nID) {
    CViewBar& bar = QueryBar(nID);
    ShowQueryPane(bar, !(bar.GetStyle() & WS_VISIBLE));
}

void CMainFrame::OnUpdateQueryPane(CCmdUI* pCmdUI) {
    pCmdUI->Enable(true);
    pCmdUI->SetCheck((QueryBar(pCmdUI->m_nID).GetStyle() & WS_VISIBLE) ? 1 : 0);
}

void CMainFrame::OnFindFiles() {
    CViewBar& bar = QueryBar(ID_VIEW_SEARCH);
    if (!(bar.GetStyle() & WS_VISIBLE))
        ShowQueryPane(bar, true);
    if (CSearchView* pSearch = QueryPane<CSearchView>(ID_VIEW_SEARCH))
        pSearch->FocusPattern();
}

void CMainFrame::OnFindDuplicates() {
    CViewBar& bar = QueryBar(ID_VIEW_DUPLICATES);
    if (!(bar.GetStyle() & WS_VISIBLE))
        ShowQueryPane(bar, true);
    if (CDuplicatesView* pDuplicates = QueryPane<CDuplicatesView>(ID_VIEW_DUPLICATES))
        pDuplicates->Find();
}

void CMainFrame::OnUpdateFindDuplicates(CCmdUI* pCmdUI) {
    const CDuplicatesView* pDuplicates = QueryPane<CDuplicatesView>(ID_VIEW_DUPLICATES);
    pCmdUI->Enable(pDuplicates && pDuplicates->CanFind());
}

HMENU CMainFrame::LoadDropDownMenu(UINT nButtonID, HMENU* phPopup) const {
    *phPopup = nullptr;
    const UINT nMenu = DropDownMenuOf(nButtonID);
    if (!nMenu)
        return nullptr;
    UniqueMenu menu(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nMenu)));
    HMENU hPopup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (!hPopup)
        return nullptr;
    if (DropDownListsHistory(nButtonID)) {
        while (GetMenuItemCount(hPopup) > 0)
            DeleteMenu(hPopup, 0, MF_BYPOSITION);
        const std::vector<HistoryMenuItem> items =
            nButtonID == ID_BACK ? m_history.BackMenuItems() : m_history.ForwardMenuItems();
        for (const HistoryMenuItem& item : items)
            AppendMenuA(hPopup, MF_STRING, item.nID, item.strLabel.c_str());
    }
    *phPopup = hPopup;
    return menu.Release();
}

void CMainFrame::OnToolbarDropDown(NMHDR* pNMHDR, LRESULT*) {
    const auto* pToolBar = reinterpret_cast<NMTOOLBARA*>(pNMHDR);
    const UINT nButtonID = static_cast<UINT>(pToolBar->iItem);
    HMENU hPopup = nullptr;
    const UniqueMenu menu(LoadDropDownMenu(nButtonID, &hPopup));
    if (!menu)
        return;
    RECT rc{};
    m_wndToolBar.SendMessage(TB_GETRECT, nButtonID, reinterpret_cast<LPARAM>(&rc));
    MapWindowPoints(m_wndToolBar.m_hWnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    // The chosen item comes back as an ordinary command to this window.
    TrackPopupMenu(hPopup, TPM_VERTICAL, rc.left, rc.bottom, 0, m_hWnd, nullptr);
}

// ---- comparing with a saved scan ----

void CMainFrame::OnCompareScan() {
    auto* pDoc = dynamic_cast<CDirscopeDoc*>(GetActiveDocument());
    if (!pDoc || pDoc->IsDriveOverview())
        return;
    // One comparison at a time: asked again, the command offers to end the one there is.
    if (pDoc->IsComparing() || pDoc->IsReadingComparison()) {
        if (AfxMessageBox("End the comparison with the saved scan?", MB_YESNO | MB_ICONQUESTION) ==
            IDYES)
            pDoc->EndComparison();
        return;
    }
    CFileDialog dialog(true, "json", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                       "Saved scans (*.json)|*.json|All files (*.*)|*.*||", this);
    if (dialog.DoModal() == IDOK)
        pDoc->CompareWithScan(dialog.GetPathName());
}

void CMainFrame::OnEndComparison() {
    if (auto* pDoc = dynamic_cast<CDirscopeDoc*>(GetActiveDocument()))
        pDoc->EndComparison();
}

void CMainFrame::OnUpdateCompareScan(CCmdUI* pCmdUI) {
    const auto* pDoc = dynamic_cast<CDirscopeDoc*>(GetActiveDocument());
    pCmdUI->Enable(pDoc && !pDoc->IsDriveOverview());
}

void CMainFrame::OnUpdateEndComparison(CCmdUI* pCmdUI) {
    const auto* pDoc = dynamic_cast<CDirscopeDoc*>(GetActiveDocument());
    pCmdUI->Enable(pDoc && (pDoc->IsComparing() || pDoc->IsReadingComparison()));
}

void CMainFrame::OnRestartElevated() {
    const auto* pDoc = dynamic_cast<CDirscopeDoc*>(GetActiveDocument());
    // This one goes only once the other runs: a refusal leaves the user where they were.
    if (StartElevatedCopy(m_hWnd, pDoc ? pDoc->Folder() : std::string()))
        PostMessage(WM_CLOSE);
}

// Offered only where it helps: the shown folder was walked because only an administrator
// may read its drive's file table.
void CMainFrame::OnUpdateRestartElevated(CCmdUI* pCmdUI) {
    const auto* pDoc = dynamic_cast<CDirscopeDoc*>(GetActiveDocument());
    pCmdUI->Enable(pDoc && !pDoc->IsDriveOverview() && !pDoc->IsSavedScan() &&
                   pDoc->ScanController().Method().outcome == WholeTreeSource::Outcome::Denied);
}

void CMainFrame::OnSizeOnDisk() {
    if (auto* pDoc = dynamic_cast<CDirscopeDoc*>(GetActiveDocument()))
        pDoc->SetMeasure(pDoc->Measure() == SizeMeasure::OnDisk ? SizeMeasure::Bytes
                                                                : SizeMeasure::OnDisk);
}

void CMainFrame::OnUpdateSizeOnDisk(CCmdUI* pCmdUI) {
    const auto* pDoc = dynamic_cast<CDirscopeDoc*>(GetActiveDocument());
    pCmdUI->Enable(pDoc != nullptr);
    pCmdUI->SetCheck(pDoc && pDoc->Measure() == SizeMeasure::OnDisk);
}

// ---- the keyboard and the path bar ----

void CMainFrame::OnCyclePane(UINT nID) {
    // The tree, the list and the treemap, those that show, in this order.
    std::vector<HWND> panes;
    if (CTreeCtrl* pTree = LiveTree(); pTree && m_wndTreeBar.IsWindowVisible())
        panes.push_back(pTree->m_hWnd);
    if (CView* pView = GetActiveView())
        panes.push_back(pView->m_hWnd);
    CTreemapWnd& treemap = m_wndTreemapBar.Treemap();
    if (treemap.m_hWnd && m_wndTreemapBar.IsWindowVisible())
        panes.push_back(treemap.m_hWnd);
    if (panes.empty())
        return;
    const HWND hFocus = ::GetFocus();
    size_t at = panes.size(); // none of them: the first or the last
    for (size_t i = 0; i < panes.size(); ++i)
        if (hFocus == panes[i] || ::IsChild(panes[i], hFocus))
            at = i;
    const size_t n = panes.size();
    size_t next = 0;
    if (nID == ID_NEXT_PANE)
        next = at == n ? 0 : (at + 1) % n;
    else
        next = at == n ? n - 1 : (at + n - 1) % n;
    ::SetFocus(panes[next]);
}

void CMainFrame::OnOpenSelected() {
    const HWND hFocus = ::GetFocus();
    CTreemapWnd& treemap = m_wndTreemapBar.Treemap();
    if (treemap.m_hWnd && hFocus == treemap.m_hWnd) {
        treemap.OpenSelected();
        return;
    }
    // A pane's list of files opens the file's folder with the file selected.
    if (auto* pFiles = dynamic_cast<CFileListView*>(FromHandlePermanent(hFocus))) {
        pFiles->OpenRow(pFiles->GetListCtrl().GetNextItem(-1, LVNI_FOCUSED | LVNI_SELECTED));
        return;
    }
    auto* pView = dynamic_cast<CDirscopeView*>(GetActiveView());
    if (!pView || hFocus != pView->m_hWnd || pView->GetDocument()->IsFilling())
        return;
    // As a double-click on the row: a folder or drive opens, a file starts.
    const int nItem = pView->GetListCtrl().GetNextItem(-1, LVNI_FOCUSED | LVNI_SELECTED);
    if (nItem >= 0)
        pView->OpenRow(nItem);
}

bool CMainFrame::ShowTypedScanPath(const std::string& typed) {
    CDirscopeDoc* pDoc = Document();
    if (!pDoc || !pDoc->IsSavedScan() || !m_pScanTree || !LiveScanTree())
        return false;
    const std::string folder = TrimFolderPath(typed);
    if (folder.empty() || !m_pScanTree->SelectPath(folder))
        return false;
    m_wndPathBar.Restore(); // the folder shown, also when it was shown already
    return true;
}

bool CMainFrame::ShowTypedPath(const std::string& typed) {
    // A folder of the shown scan stays within it; anything else is on this computer.
    if (ShowTypedScanPath(typed))
        return true;
    CTreeCtrl* pTree = ShellTree();
    if (!pTree)
        return false;
    // The computer's name, as the bar shows it on the drive overview, goes there.
    const HTREEITEM hComputer = FindComputerItem(*pTree);
    if (hComputer &&
        _stricmp(TrimFolderPath(typed).c_str(), pTree->GetItemText(hComputer).c_str()) == 0) {
        pTree->SelectItem(hComputer);
        m_wndPathBar.Restore();
        return true;
    }
    const std::optional<FolderSteps> steps = SplitTypedPath(typed);
    if (!steps)
        return false;
    const std::string path = JoinFolderSteps(*steps);
    FolderSteps folder = *steps;
    std::string fileName;
    if (!folder.names.empty()) {
        WIN32_FIND_DATAA found{};
        const HANDLE hFind = ::FindFirstFileA(path.c_str(), &found);
        if (hFind == INVALID_HANDLE_VALUE)
            return false;
        ::FindClose(hFind);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            fileName = found.cFileName; // as the file system spells it
            folder.names.pop_back();
        }
    } else if (::GetFileAttributesA((path + "\\").c_str()) == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    const HTREEITEM hNode = FindFolderItem(*pTree, folder);
    if (!hNode)
        return false;
    // Through the tree, as every move: the history and the list follow.
    pTree->SelectItem(hNode);
    auto* pView = dynamic_cast<CDirscopeView*>(GetActiveView());
    if (pView && !fileName.empty())
        pView->SelectRow(pView->FindEntryRow(fileName, false));
    m_wndPathBar.Restore(); // the folder shown, also when it was shown already
    return true;
}

DpiScale CMainFrame::Scale() const {
    return WindowScale(m_hWnd);
}

namespace {

struct ToolBarImages {
    int nSize;
    UINT nNormal;
    UINT nDisabled;
};

// The strips drawn at each size, smallest first.
constexpr ToolBarImages kToolBarImages[] = {
    {TOOLBAR_IMAGE_WIDTH, IDB_TOOLBAR_NORMAL, IDB_TOOLBAR_DISABLED},
    {45, IDB_TOOLBAR_NORMAL_45, IDB_TOOLBAR_DISABLED_45},
    {60, IDB_TOOLBAR_NORMAL_60, IDB_TOOLBAR_DISABLED_60},
};

// The strip nearest the 30-pixel images' size at `scale`, the larger of two as near.
const ToolBarImages& ToolBarImagesFor(const DpiScale& scale) {
    const int nWanted = scale(TOOLBAR_IMAGE_WIDTH);
    const ToolBarImages* pBest = &kToolBarImages[0];
    for (const ToolBarImages& images : kToolBarImages)
        if (std::abs(images.nSize - nWanted) <= std::abs(pBest->nSize - nWanted))
            pBest = &images;
    return *pBest;
}

} // namespace

void CMainFrame::LoadToolBarImages() {
    const ToolBarImages& images = ToolBarImagesFor(Scale());
    // A button is its image and the same margin as the toolbar resource's (7 pixels).
    const int nButton = images.nSize + 7;
    m_wndToolBar.SetSizes(CSize(nButton, nButton), CSize(images.nSize, images.nSize));
    // Without the colour images the buttons keep the 16-colour ones.
    m_wndToolBar.LoadImageLists(images.nSize, images.nNormal, images.nNormal, images.nDisabled);
}

void CMainFrame::OnFrameDpiChanged(int, int) {
    if (m_wndToolBar.m_hWnd)
        LoadToolBarImages();
}

LRESULT CMainFrame::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
    Default();
    if (!m_wndStatusBar.m_hWnd)
        return 0; // still being created
    // Room for the caption, menu and edges, the bars across the frame, the list's least
    // height and the treemap's least: below that the panes would not show.
    const CRect rcWindow = GetWindowRect();
    const CRect rcClient = GetClientRect();
    const DpiScale px = Scale();
    int height = rcWindow.Height() - rcClient.Height() + px(kListKeep);
    for (CWnd* pBar : {static_cast<CWnd*>(GetDockBar(AFX_IDW_DOCKBAR_TOP)),
                       static_cast<CWnd*>(&m_wndPathBar), static_cast<CWnd*>(&m_wndStatusBar)})
        if (pBar && pBar->m_hWnd && pBar->IsWindowVisible())
            height += pBar->GetWindowRect().Height();
    if (m_wndTreemapBar.m_hWnd && m_wndTreemapBar.IsWindowVisible())
        height += px(kTreemapLeast);
    auto* pInfo = reinterpret_cast<MINMAXINFO*>(lParam);
    pInfo->ptMinTrackSize.x = std::max<LONG>(pInfo->ptMinTrackSize.x, px(kLeastWidth));
    pInfo->ptMinTrackSize.y = std::max<LONG>(pInfo->ptMinTrackSize.y, height);
    return 0;
}

// ---- scan files ----

void CMainFrame::OnOpenScan() {
    CDirscopeDoc* pDoc = Document();
    if (!pDoc || pDoc->IsFilling())
        return;
    CFileDialog dlg(true, "json", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kScanFileFilter,
                    this);
    if (dlg.DoModal() == IDOK)
        pDoc->OpenScanFile(dlg.GetPathName());
}

void CMainFrame::OnSaveScan() {
    CDirscopeDoc* pDoc = Document();
    if (!pDoc)
        return;
    CFileDialog dlg(false, "json", "scan.json", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    kScanFileFilter, this);
    if (dlg.DoModal() == IDOK)
        pDoc->SaveShownScan(dlg.GetPathName());
}

void CMainFrame::OnStopOpening() {
    if (CDirscopeDoc* pDoc = Document())
        pDoc->StopOpeningScan();
}

void CMainFrame::OnUpdateSaveScan(CCmdUI* pCmdUI) {
    const CDirscopeDoc* pDoc = Document();
    pCmdUI->Enable(pDoc && !pDoc->IsDriveOverview() && !pDoc->IsSavingScan());
}

void CMainFrame::OnUpdateStopOpening(CCmdUI* pCmdUI) {
    const CDirscopeDoc* pDoc = Document();
    pCmdUI->Enable(pDoc && pDoc->IsOpeningScan());
}
