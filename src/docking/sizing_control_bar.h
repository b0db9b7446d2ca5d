#pragma once
// CSizingControlBar: a control bar whose size the user sets. Docked, its free edges
// can be dragged; bars docked side by side in one row share the row's length and keep
// one thickness; floating, it follows its mini frame's edges and corners. It keeps a
// size for each kind of side and for floating, each with a lower limit, which can be
// read from the profile. It draws its own border; a caption is the derived classes'.

#include <string>
#include <vector>

#include "bar_geometry.h"
#include "control_bar.h"

class CDockBar;

class CSizingControlBar : public CControlBar {
    DECLARE_DYNAMIC(CSizingControlBar)
    DECLARE_MESSAGE_MAP()
public:
    CSizingControlBar();

    virtual bool Create(const char* lpszWindowName, CWnd* pParentWnd, UINT nID,
                        DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP);
    virtual bool Create(const char* lpszWindowName, CWnd* pParentWnd, CSize sizeDefault,
                        bool bHasGripper, UINT nID,
                        DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP);
    virtual void RestoreSizes(const char* lpszProfileName);
    virtual void StoreSizes(const char* lpszProfileName);
    static void RestoreAllSizes(CFrameWnd* pFrame, const char* lpszProfileName);

    CSize CalcFixedLayout(bool bStretch, bool bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    void OnUpdateCmdUI(CFrameWnd*, bool) override {}

    bool IsDockedTopBottom() const;
    bool IsDockedLeftRight() const;
    bool IsBarFloating() const;
    bool IsSideResize() const;
    virtual bool HasCaption() const = 0;

    DWORD m_dwEdgeStyle = 0;
    UINT m_nTrackEdge = 0;
    CSize m_sizeHorz;
    CSize m_sizeVert;
    CSize m_sizeFloat;
    CSize m_sizeMinHorz;
    CSize m_sizeMinVert;
    CSize m_sizeMinFloat;
    CSize m_sizeTrackMin;
    CSize m_sizeTrackMax;
    CSize m_sizeTrackStart;
    CPoint m_ptTrackStart;
    bool m_bResizing = false;
    bool m_bHoldSize = false;
    bool m_bLayoutFromParent = false;
    bool m_bFullDrag = false;
    UINT m_nParentDockID = 0;
    int m_cxSizingEdge = bars::kSizingEdge;

protected:
    virtual void BeginResize(UINT nHitTest);
    virtual void EndResize();
    virtual void OnResizeMove(POINT ptClient);
    virtual void InvertResizeTracker();
    virtual void PaintCaption(HDC, const CRect&) {}
    virtual CRect CalcClientArea(const CRect& rc, UINT nDockBarID);
    virtual void AlignRowBars();

    bars::Dock DockSide() const;
    CDockBar* GetDockBarOf() const;
    bool GetSizingEdgeRect(const CRect& rcWindow, UINT nHitTest, CRect& rcEdge) const;
    bool GetRowRange(int& nFirst, int& nThis, int& nLast) const;
    void CollectRowBars(std::vector<CSizingControlBar*>& bars) const;
    bool ShareRowLength(int nAvailable, bool bHorz);
    CSize& DockedSize() { return IsDockedTopBottom() ? m_sizeHorz : m_sizeVert; }
    CSizingControlBar* TrackNeighbour() const;

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnSettingChange(UINT uFlags, const char* lpszSection);
    void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    void OnNcPaint();
    LRESULT OnNcHitTest(POINT pt);
    void OnPaint();
    void OnClose();
    void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    void OnLButtonDown(UINT nFlags, POINT pt);
    void OnLButtonDblClk(UINT nFlags, POINT pt);
    void OnNcLButtonDown(UINT nHitTest, POINT pt);
    void OnMouseMove(UINT nFlags, POINT pt);
    void OnLButtonUp(UINT nFlags, POINT pt);
    void OnRButtonDown(UINT nFlags, POINT pt);
    void OnCaptureChanged(HWND hWnd);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
};
