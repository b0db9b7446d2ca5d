#pragma once
// CMiniDockFrameWnd: the small tool-window frame a floating control bar sits in, with
// its own caption and a floating dock bar (0xE81F). It is as big as the bar asks; its
// edges (and, without MFS_4THICKFRAME, its corners) resize the bar through the bar's
// docking context; its caption drags the bar like its gripper would.

#include "dock_bar.h"
#include "frame_wnd.h"

// Mini frame style kept apart from the window style: resizable by the four edges only.
constexpr DWORD MFS_4THICKFRAME = 0x0004;

class CMiniDockFrameWnd : public CFrameWnd {
    DECLARE_DYNAMIC(CMiniDockFrameWnd)
    DECLARE_MESSAGE_MAP()
public:
    CMiniDockFrameWnd();
    bool Create(CFrameWnd* pParent);
    void RecalcLayout() override;
    CControlBar* GetBar() const { return m_wndDockBar.GetFirstBar(); }
    CDockBar& DockBar() { return m_wndDockBar; }
    // What the frame adds around its bar: the thick border and the small caption.
    static CSize FrameExtra();
    // Its corners resize too (at first it resizes by its edges alone).
    void AllowCornerResize();
    bool CornersResize() const { return (m_dwMiniStyle & MFS_4THICKFRAME) == 0; }

protected:
    void OnClose();
    LRESULT OnNcHitTestMini(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcLButtonDownMini(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcLButtonDblClkMini(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetMinMaxInfoMini(WPARAM wParam, LPARAM lParam);
    int OnCreate(LPCREATESTRUCTA lpcs);

private:
    CDockBar m_wndDockBar;
    DWORD m_dwMiniStyle = MFS_4THICKFRAME;
    CFrameWnd* m_pMainFrame = nullptr;
};
