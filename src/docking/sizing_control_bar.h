#pragma once
// CSizingControlBar: a control bar whose size the user sets. Docked, its free edges
// can be dragged; bars docked side by side in one row share the row's length and keep
// one thickness; floating, it follows its mini frame's edges and corners. It keeps a
// size for each kind of side and for floating, each with a lower limit, which can be
// read from the profile. Docked at the top or bottom it may keep a share of the frame's
// height instead (HeightShare), which the user's drag of its edge sets anew. It draws its
// own border; a caption is the derived classes'.

#include <vector>

#include "bar_geometry.h"
#include "control_bar.h"

class CDockBar;

class CSizingControlBar : public CControlBar {
    DECLARE_DYNAMIC(CSizingControlBar)
    DECLARE_MESSAGE_MAP()
public:
    CSizingControlBar();

    bool Create(const char* lpszWindowName, CWnd* pParentWnd, UINT nID,
                DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP);
    // The sizes from the profile section "<profile>-SCBar-<control id>".
    void RestoreSizes(const char* lpszProfileName);
    static void RestoreAllSizes(CFrameWnd* pFrame, const char* lpszProfileName);

    CSize CalcFixedLayout(bool bStretch, bool bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    void OnUpdateCmdUI(CFrameWnd*, bool) override {}

    bool IsDockedTopBottom() const;
    bool IsDockedLeftRight() const;
    bool IsBarFloating() const;
    bool IsSideResize() const;
    virtual bool HasCaption() const = 0;

    // Its sizes: docked at the top or bottom, at the left or right, and floating.
    CSize HorzSize() const { return m_sizeHorz; }
    CSize VertSize() const { return m_sizeVert; }
    CSize FloatSize() const { return m_sizeFloat; }
    // Sets the three sizes, each raised to its lower limit, as the profile would.
    void SetSizes(CSize horz, CSize vert, CSize floating);
    // Whether the profile gave its height docked at the top or bottom.
    bool HasStoredHorzHeight() const { return m_bStoredHorzHeight; }
    // Docked at the top or bottom, it keeps `share` of the room between the frame's top and
    // bottom dock rows, giving way first so that the rest keeps `keep` pixels.
    void KeepHeightShare(double share, int keep);
    const bars::HeightShare& HeightShare() const { return m_heightShare; }
    // The id of the dock bar it sits in (AFX_IDW_DOCKBAR_FLOAT in a mini frame).
    UINT DockBarId() const { return m_nParentDockID; }
    // Its draggable edges (bars::kEdge bits).
    unsigned EdgeStyle() const { return m_dwEdgeStyle; }
    // An edge drag: whether one runs, and the screen point it counts from.
    bool IsResizing() const { return m_bResizing; }
    CPoint TrackStart() const { return m_ptTrackStart; }
    // The resolution its sizes are in pixels of, and their move to another: every size and
    // lower limit keeps its length in inches, and so does what a height share leaves the rest.
    const DpiScale& Scale() const { return m_scale; }
    void RescaleTo(int nDpi);
    void OnDpiChanged(int nDpi) override { RescaleTo(nDpi); }
    // Whether an edge drag moves the bars as it goes or shows a tracker until the drop:
    // the system's setting, read at creation and whenever the settings change.
    void SetFullDrag(bool bFull) { m_bFullDrag = bFull; }

protected:
    virtual void PaintCaption(HDC, const CRect&) {}
    // The client rectangle inside the window rectangle `rc`; sets the edges it has.
    virtual CRect CalcClientArea(const CRect& rc);
    bars::Dock DockSide() const;

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnSettingChange(UINT uFlags, const char* lpszSection);
    void OnNcCalcSize(bool bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
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

private:
    CDockBar* GetDockBarOf() const;
    // The visible sizing bars of its row, in order.
    std::vector<CSizingControlBar*> RowBars() const;
    bool ShareRowLength(int nAvailable, bool bHorz);
    void AlignRowBars();
    CSize& DockedSize() { return IsDockedTopBottom() ? m_sizeHorz : m_sizeVert; }
    // Its docked size in one orientation, as length along the row and thickness across.
    void SetDockedExtent(bool bHorz, int length, int thickness);
    CSizingControlBar* TrackNeighbour() const;
    // The room its share is of: what its dock bar had left in the last layout, less the
    // dock bar's other rows.
    int ShareRoom() const;

    void BeginResize(UINT nHitTest);
    void EndResize();
    void OnResizeMove(POINT ptClient);
    void InvertResizeTracker();
    bool GetSizingEdgeRect(const CRect& rcWindow, UINT nHitTest, CRect& rcEdge) const;

    unsigned m_dwEdgeStyle = 0;
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
    bool m_bHoldSize = false; // keeps its length while its row shares the room
    bool m_bLayoutFromParent = false;
    bool m_bFullDrag = false; // the system drags windows with their contents
    bool m_bStoredHorzHeight = false;
    bars::HeightShare m_heightShare;
    UINT m_nParentDockID = 0;
    DpiScale m_scale; // what its sizes are measured at: 96 DPI until it has a window
};
