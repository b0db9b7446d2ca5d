#pragma once
// CDockBar: the window along one side of a frame (or inside a floating mini frame) that
// holds control bars row by row. It owns the rows; the bars in them are its child
// windows. It takes its room in the frame's layout like any bar: the thickness of its
// rows.

#include "control_bar.h"
#include "dock_rows.h"

class CDockBar : public CControlBar {
    DECLARE_DYNAMIC(CDockBar)
    DECLARE_MESSAGE_MAP()
public:
    using Rows = DockRows<CControlBar>;

    explicit CDockBar(bool bFloating = false);

    // The dock site is the frame whose bars it holds: the parent, unless given.
    bool Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID, CFrameWnd* pDockSite = nullptr);

    const Rows& GetRows() const { return m_rows; }
    // Takes the bar into this dock bar: into the row under `lpRect` (screen
    // coordinates) when given, else into a new last row.
    void DockControlBar(CControlBar* pBar, const RECT* lpRect = nullptr);
    // Forgets the bar; a row left empty goes too.
    bool RemoveControlBar(CControlBar* pBar);
    // Wraps the row holding the bar: the bars from `index` on start the next row.
    void WrapRow(const CControlBar* pBar, size_t index);
    int GetDockedCount() const { return static_cast<int>(m_rows.Count()); }
    CControlBar* GetFirstBar() const;
    // In a mini frame: the bar it holds floats.
    bool HoldsFloatingBars() const { return m_bFloating; }

    // While the frame lays its bars out: whether it only asks for sizes, and what it had
    // left when this dock bar took its room.
    bool IsLayoutQuery() const { return m_bLayoutQuery; }
    const CRect& LayoutRoom() const { return m_rectLayout; }

    CSize CalcFixedLayout(bool bStretch, bool bHorz) override;
    void OnUpdateCmdUI(CFrameWnd*, bool) override {}

protected:
    LRESULT OnDockSizeParent(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);

private:
    // Where a bar dropped at this point (client coordinates) goes.
    void InsertAt(CControlBar* pBar, POINT ptClient);

    Rows m_rows;
    const bool m_bFloating;
    bool m_bLayoutQuery = false;
    CRect m_rectLayout;
};

// The dock bar window ids, by side.
UINT DockBarIdOfStyle(DWORD dwAlign);
DWORD DockBarAlignOfId(UINT nID);
