// The frame's side of docking: its four dock bars, docking and floating bars, and the
// idle update of bars that float in mini frames.
#include <algorithm>

#include "dock_bar.h"
#include "dock_context.h"
#include "frame_wnd.h"
#include "mini_dock_frame.h"

namespace {

// Dock bars the frame makes live and die with their windows.
class CFrameDockBar : public CDockBar {
public:
    void PostNcDestroy() override { delete this; }
};

} // namespace

void CFrameWnd::EnableDocking(DWORD dwDockStyle) {
    // Top and bottom first: they span the frame's width, left and right fit between.
    static const DWORD kOrder[4] = {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT,
                                    CBRS_ALIGN_RIGHT};
    for (DWORD dwAlign : kOrder) {
        if (!(dwDockStyle & dwAlign) || GetDockBar(DockBarIdOfStyle(dwAlign)))
            continue;
        auto* pDockBar = new CFrameDockBar;
        if (!pDockBar->Create(this, dwAlign, DockBarIdOfStyle(dwAlign)))
            delete pDockBar;
    }
}

CDockBar* CFrameWnd::GetDockBar(UINT nID) const {
    return dynamic_cast<CDockBar*>(
        FromHandlePermanent(::GetDlgItem(m_hWnd, static_cast<int>(nID))));
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, const RECT* lpRect) {
    if (!pBar || !pBar->m_hWnd)
        return;
    if (nDockBarID == 0)
        nDockBarID = DockBarIdOfStyle(pBar->GetBarStyle() & pBar->GetDockStyle() & CBRS_ALIGN_ANY);
    if (nDockBarID == 0)
        nDockBarID = DockBarIdOfStyle(pBar->GetDockStyle());
    CDockBar* pDockBar = GetDockBar(nDockBarID);
    if (!pDockBar)
        return;
    pDockBar->DockControlBar(pBar, lpRect);
    if (CDockContext* pContext = pBar->GetDockContext())
        pContext->RememberDock(nDockBarID);
    RecalcLayout();
}

void CFrameWnd::FloatControlBar(CControlBar* pBar, POINT ptScreen) {
    if (!pBar || !pBar->m_hWnd)
        return;
    CDockBar* pOld = pBar->GetDockBar();
    CDockContext* pContext = pBar->GetDockContext();
    CMiniDockFrameWnd* pFrame = nullptr;
    if (pOld && pOld->HoldsFloatingBars() && pOld->GetDockedCount() == 1) {
        pFrame = dynamic_cast<CMiniDockFrameWnd*>(pOld->GetParentFrame());
    } else {
        if (pOld && !pOld->HoldsFloatingBars() && pContext)
            pContext->RememberDock(static_cast<UINT>(pOld->GetDlgCtrlID()));
        pFrame = new CMiniDockFrameWnd;
        if (!pFrame->Create(this))
            return; // the frame deleted itself
        pFrame->DockBar().DockControlBar(pBar);
    }
    if (!pFrame)
        return;
    if (pContext)
        pContext->RememberFloat(ptScreen);
    pFrame->SetWindowPos(nullptr, ptScreen.x, ptScreen.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pFrame->RecalcLayout();
    RecalcLayout();
}

void CFrameWnd::UpdateFloatingBars(bool bDisableIfNoHandler) {
    for (CControlBar* pBar : m_listControlBars) {
        if (!pBar->m_hWnd || !pBar->IsFloating())
            continue;
        CFrameWnd* pFrame = pBar->GetParentFrame();
        if (pFrame && pFrame != this)
            pFrame->SendMessage(WM_IDLEUPDATECMDUI, bDisableIfNoHandler ? TRUE : FALSE);
        pBar->SendMessage(WM_IDLEUPDATECMDUI, bDisableIfNoHandler ? TRUE : FALSE);
    }
}
