#include "main_frame.h"

#include "dirscope_view.h"
#include "resource.h"

namespace {

// Bar styles as the window is created with them: visible child, top alignment with a
// bottom border, gripper, tooltips, fly-by prompts and dynamic size; and visible child at
// the bottom with a top border.
constexpr DWORD kToolBarStyle = 0x50402834;
constexpr DWORD kStatusBarStyle = 0x50008200;

const UINT kIndicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};

} // namespace

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
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
    // Without the colour images the buttons keep the 16-colour ones.
    m_wndToolBar.LoadImageLists(TOOLBAR_IMAGE_WIDTH, IDB_TOOLBAR_NORMAL, IDB_TOOLBAR_NORMAL,
                                IDB_TOOLBAR_DISABLED);

    if (!m_wndStatusBar.Create(this, kStatusBarStyle, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(kIndicators, 4))
        return -1;

    // The toolbar docks on any side, the frame takes bars on any side; it starts at the
    // top, where its bar style puts it.
    m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndToolBar);

    // Back, Forward and ViewType get drop-down arrows.
    m_wndToolBar.SendMessage(TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    const UINT nStyle =
        m_wndToolBar.GetButtonStyle(m_wndToolBar.CommandToIndex(ID_BACK)) | TBSTYLE_DROPDOWN;
    for (UINT nID : {ID_BACK, ID_FORWARD, ID_VIEWTYPE})
        m_wndToolBar.SetButtonStyle(m_wndToolBar.CommandToIndex(nID), nStyle);
    return 0;
}

void CMainFrame::ActivateFrame(int nCmdShow) {
    if (!m_bShownFirstFolder) {
        m_bShownFirstFolder = true;
        if (auto* pView = dynamic_cast<CDirscopeView*>(GetActiveView()))
            pView->ShowFolder();
    }
    CFrameWnd::ActivateFrame(nCmdShow);
}
