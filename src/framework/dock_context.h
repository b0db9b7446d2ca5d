#pragma once
// CDockContext: a control bar's drag-and-dock moves. A drag by the bar's gripper or
// face shows a tracking rectangle in the shape the bar would take: docked where the
// rectangle meets a side the bar and the frame allow, floating elsewhere. A double-click
// toggles between docked and floating. It also resizes a floating bar's mini frame by
// its edges and corners. The mouse is captured by the bar while it works; the bar hands
// it the mouse messages.

#include "types.h"

#include <windows.h>

#include <optional>

class CControlBar;
class CDockBar;
class CFrameWnd;

class CDockContext {
public:
    explicit CDockContext(CControlBar* pBar);
    ~CDockContext();
    CDockContext(const CDockContext&) = delete;
    CDockContext& operator=(const CDockContext&) = delete;

    void StartDrag(POINT ptScreen);
    void StartResize(UINT nHitTest, POINT ptScreen);
    void ToggleDocking();
    bool IsTracking() const { return m_bDragging || m_bResizing; }
    // The grey checkered brush every drag tracker is drawn with (shared, never freed).
    static HBRUSH HalftoneBrush();
    // A mouse or key message while tracking; true when it was taken.
    bool OnTrackMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CancelTracking();

    // Where the bar was last docked (a dock bar id) and where it last floated: a double
    // click sends it back there.
    void RememberDock(UINT nDockBarID) { m_uMRUDockID = nDockBarID; }
    void RememberFloat(POINT ptScreen);

    // While the mini frame is resized: the edge or corner being dragged (a hit-test code,
    // 0 when none), and the frame's new left or top edge when the bar moves it.
    UINT ResizeEdge() const { return m_nHitTest; }
    void MoveResizedFrame(std::optional<int> left, std::optional<int> top);

    // While dragging: where the drop would put the bar (a dock bar id, or 0 for
    // floating), and the tracking rectangle in screen coordinates.
    UINT DropTarget() const { return m_nDropTarget; }
    const CRect& TrackRect() const { return m_rectTrack; }

private:
    void Move(POINT ptScreen);
    void EndDrag(bool bDrop);
    void Stretch(POINT ptScreen);
    void EndResize();
    void DrawTracker();
    UINT TargetAt(const CRect& rectHorz, const CRect& rectVert) const;

    CControlBar* m_pBar;
    CFrameWnd* m_pDockSite;
    UINT m_nHitTest = 0;
    CRect m_rectFrameDragHorz; // the mini frame's rectangle while it is resized
    UINT m_uMRUDockID = 0;
    CPoint m_ptMRUFloatPos;
    bool m_bHaveFloatPos = false;
    UINT m_nDropTarget = 0;
    CRect m_rectTrack;

    bool m_bDragging = false;
    bool m_bResizing = false;
    bool m_bTrackerShown = false;
    CPoint m_ptStart;
    CRect m_rectStart;
    CSize m_sizeHorz, m_sizeVert, m_sizeFloat;
    CRect m_rectDrawn;
    bool m_bDrawnThick = false;
};
