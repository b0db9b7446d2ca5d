#pragma once
// CMainFrame: the program's one frame window: menu, toolbar, path bar, status bar, the list
// view as its client, the folder tree and treemap panes, the query panes (Largest Files,
// File Types, Search, Duplicates), and the history of the folders shown. It hosts the tree pane
// (CFolderPaneHost) and shows what is typed in the path bar: the tree's selection is the
// folder the document shows. It installs the navigator every view moves through: a folder or
// drive opened anywhere is selected in the tree, which records the visit and has the document
// show it. The keyboard moves between the tree, the list and the treemap.

#include <memory>
#include <string>
#include <vector>

#include "color_toolbar.h"
#include "dpi_scale.h"
#include "folder_history.h"
#include "folder_pane_host.h"
#include "frame_wnd.h"
#include "path_bar.h"
#include "status_bar.h"
#include "tree_folder_navigator.h"
#include "treemap_bar.h"
#include "view_bar.h"

class CDirscopeDoc;
class CQueryView;
class CScanTreeCtrl;
class CTreeCtrl;

class CMainFrame : public CFrameWnd, public CFolderPaneHost {
    DECLARE_DYNCREATE(CMainFrame)
    DECLARE_MESSAGE_MAP()
public:
    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    bool OnCmdMsg(CmdMsg& msg) override;
    bool PreTranslateMessage(MSG* pMsg) override;
    // The caption is the program's name and version, whatever the document.
    void OnUpdateFrameTitle(bool bAddToTitle) override;

    // The tree pane's selection changed: record the visit, show the folder.
    void OnFolderSelected(const std::string& strFolder, CTreeCtrl& tree) override;
    void SetFolderTree(CTreeCtrl* pTree) override;
    void SetScanTree(CTreeCtrl* pTree) override;
    // What was typed in the path bar: selects its folder's node; false when there is none.
    bool ShowTypedPath(const std::string& path);

    // Go to back[n + 1] or forward[n] by selecting its tree node; a node no longer
    // found changes nothing.
    void GoBack(int n);
    void GoForward(int n);
    bool SelectTreePath(const std::string& strTreePath);
    // The drop-down popup of a toolbar arrow (201, 202, 209) as it is shown; null for
    // other buttons. The caller destroys the menu it returns (the popup's parent).
    HMENU LoadDropDownMenu(UINT nButtonID, HMENU* phPopup) const;

    // The folder tree control, once the tree pane exists; the tree of an opened scan's
    // folders, which shows in its place while the scan does.
    CTreeCtrl* FolderTree() const { return m_pFolderTree; }
    CScanTreeCtrl* ScanTree() const { return m_pScanTree; }
    // Back and Forward: History().m_arrBack[0] is the folder shown now.
    const FolderHistory& History() const { return m_history; }
    // False only between a Back or Forward move and the selection it causes.
    bool IsRecordingHistory() const { return m_bRecordHistory; }
    CColorToolBar& ToolBar() { return m_wndToolBar; }
    CStatusBar& StatusBar() { return m_wndStatusBar; }
    CViewBar& TreeBar() { return m_wndTreeBar; }
    CTreemapBar& TreemapBar() { return m_wndTreemapBar; }
    // The pane its View menu command (ID_VIEW_LARGEST_FILES... ID_VIEW_DUPLICATES) shows and
    // hides.
    CViewBar& QueryBar(UINT nCommand) const;
    // Its view, once its bar exists.
    template <class View> View* QueryPane(UINT nCommand) const {
        return dynamic_cast<View*>(QueryViewOf(QueryBar(nCommand)));
    }
    CPathBar& PathBar() { return m_wndPathBar; }
    // The height the list keeps when the window is small (at 96 DPI): the treemap gives way
    // first.
    static constexpr int kListKeep = 150;
    // The treemap pane's share of the height between the top and bottom dock rows.
    static constexpr double kTreemapShare = 0.40;

protected:
    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnDestroy();
    void OnClose();
    void OnBack() { GoBack(0); }
    void OnForward() { GoForward(0); }
    void OnBackFolder(UINT nID);
    void OnForwardFolder(UINT nID);
    void OnUp();
    void OnFolderPane();
    void OnUpdateBack(CCmdUI* pCmdUI);
    void OnUpdateForward(CCmdUI* pCmdUI);
    void OnUpdateUp(CCmdUI* pCmdUI);
    void OnUpdateFolderPane(CCmdUI* pCmdUI);
    void OnTreemapPane();
    void OnUpdateTreemapPane(CCmdUI* pCmdUI);
    void OnQueryPane(UINT nID);
    void OnUpdateQueryPane(CCmdUI* pCmdUI);
    void OnFindFiles();
    void OnFindDuplicates();
    void OnUpdateFindDuplicates(CCmdUI* pCmdUI);
    void OnToolbarDropDown(NMHDR* pNMHDR, LRESULT* pResult);
    void OnCyclePane(UINT nID);
    void OnOpenSelected();
    void OnOpenScan();
    void OnSaveScan();
    void OnStopOpening();
    void OnUpdateSaveScan(CCmdUI* pCmdUI);
    void OnUpdateStopOpening(CCmdUI* pCmdUI);
    void OnCompareScan();
    void OnEndComparison();
    void OnUpdateCompareScan(CCmdUI* pCmdUI);
    void OnUpdateEndComparison(CCmdUI* pCmdUI);
    // File > Restart as Administrator: the shown folder again, in a copy that may read its
    // drive's file table.
    void OnRestartElevated();
    void OnUpdateRestartElevated(CCmdUI* pCmdUI);
    // View > Size on Disk: every size shown switches between lengths and bytes on disk.
    void OnSizeOnDisk();
    void OnUpdateSizeOnDisk(CCmdUI* pCmdUI);
    LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
    void OnFrameDpiChanged(int nOldDpi, int nDpi) override;

private:
    // The resolution the window shows at.
    DpiScale Scale() const;
    // The toolbar's images drawn nearest the size its 30-pixel ones have at that resolution.
    void LoadToolBarImages();
    // The document while it is showing a folder, else null.
    CDirscopeDoc* FillingDocument();
    CDirscopeDoc* Document();
    // The tree shown (the scan's while a saved scan is shown, else the shell's) when its
    // window exists, else null; the shell's and the scan's alone.
    CTreeCtrl* LiveTree();
    CTreeCtrl* ShellTree() const;
    CTreeCtrl* LiveScanTree() const;
    // The tree a history entry's node is in; null when that scan is no longer held.
    CTreeCtrl* TreeOf(const HistoryEntry& entry);
    // Selects the scan's folder typed in the path bar; false when the shown scan has none.
    bool ShowTypedScanPath(const std::string& path);
    // Creates the query panes, each holding a view of the document, docked on the right
    // and hidden until the View menu shows them (or the stored layout does).
    bool CreateQueryPanes(CCreateContext* pContext);
    void ShowQueryPane(CViewBar& bar, bool bShow);
    // The view a pane of the table holds, once its bar exists.
    static CWnd* QueryViewOf(const CViewBar& bar);
    void RecordVisit(CTreeCtrl& tree, unsigned nScan);

    CColorToolBar m_wndToolBar;
    CStatusBar m_wndStatusBar;
    // The folder tree pane, docked on the left.
    CViewBar m_wndTreeBar;
    CTreeCtrl* m_pFolderTree = nullptr;
    CScanTreeCtrl* m_pScanTree = nullptr;
    CTreeFolderNavigator m_navigator; // installed while the window exists
    // The treemap pane, docked at the bottom.
    CTreemapBar m_wndTreemapBar;
    // Which folder is shown, across the frame below the toolbar.
    CPathBar m_wndPathBar;
    // The panes of questions asked of the snapshot, docked on the right, in the order of
    // their table.
    std::vector<std::unique_ptr<CViewBar>> m_queryBars;
    FolderHistory m_history;
    // Off while a Back or Forward move selects its node, so the move is no new visit;
    // the selection it causes turns it on again.
    bool m_bRecordHistory = true;
};
