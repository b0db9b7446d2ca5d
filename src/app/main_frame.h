#pragma once
// CMainFrame: the program's one frame window: menu, toolbar, status bar, the list view
// as its client, and the navigation state the views share.

#include <string>

#include "color_toolbar.h"
#include "folder_history.h"
#include "folder_pane_host.h"
#include "frame_wnd.h"
#include "status_bar.h"
#include "view_bar.h"

class CDirscopeView;
class CTreeCtrl;

class CMainFrame : public CFrameWnd, public CFolderPaneHost {
    DECLARE_DYNCREATE(CMainFrame)
    DECLARE_MESSAGE_MAP()
public:
    bool PreCreateWindow(CREATESTRUCTA& cs) override;

    CColorToolBar m_wndToolBar;
    // The folder tree pane, docked on the left.
    CViewBar m_wndTreeBar;
    // The folder the list view shows; empty means the computer and the drive overview.
    std::string m_strCurrentFolder;
    // The folder tree control, once the tree pane exists.
    CTreeCtrl* m_pFolderTree = nullptr;
    // Back and Forward: m_history.m_arrBack[0] is the folder shown now.
    FolderHistory m_history;
    // Off while a Back or Forward move selects its node, so the move is no new visit;
    // the selection it causes turns it on again.
    bool m_bRecordHistory = true;
    CStatusBar m_wndStatusBar;

    // The tree pane's selection changed: show the folder, record the visit.
    void OnFolderSelected(const std::string& strFolder, CTreeCtrl& tree) override;
    void SetFolderTree(CTreeCtrl* pTree) override { m_pFolderTree = pTree; }

    void RecordVisit(CTreeCtrl& tree);
    // Go to back[n + 1] or forward[n] by selecting its tree node; a node no longer
    // found changes nothing.
    void GoBack(int n);
    void GoForward(int n);
    bool SelectTreePath(const std::string& strTreePath);
    // The drop-down popup of a toolbar arrow (201, 202, 209) as it is shown; null for
    // other buttons. The caller destroys the menu it returns (the popup's parent).
    HMENU LoadDropDownMenu(UINT nButtonID, HMENU* phPopup) const;

    bool OnCmdMsg(CmdMsg& msg) override;

protected:
    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnClose();
    // The list view while it is filling a folder's rows, else null.
    CDirscopeView* FillingView();
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
    void OnToolbarDropDown(NMHDR* pNMHDR, LRESULT* pResult);
};
