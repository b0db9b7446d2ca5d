#pragma once
// CMainFrame: the program's one frame window: menu, toolbar, status bar, the list view
// as its client, and the navigation state the views share.

#include <string>

#include "color_toolbar.h"
#include "frame_wnd.h"
#include "status_bar.h"

class CTreeCtrl;

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
    DECLARE_MESSAGE_MAP()
public:
    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    void ActivateFrame(int nCmdShow = -1) override;

    CColorToolBar m_wndToolBar;
    // The folder the list view shows; empty means the computer and the drive overview.
    std::string m_strCurrentFolder;
    // The folder tree control, once the tree pane exists.
    CTreeCtrl* m_pFolderTree = nullptr;
    CStatusBar m_wndStatusBar;

protected:
    int OnCreate(LPCREATESTRUCTA lpcs);
    // Until the folder tree selects the computer at start-up, the frame shows the
    // current folder (the drive overview) once, after the views' initial update.
    bool m_bShownFirstFolder = false;
};
