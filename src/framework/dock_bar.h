#pragma once
// CDockBar: the window along one side of a frame (or inside a floating mini frame) that
// holds control bars row by row. Its list holds the bars in order, with a null entry
// ending each row; entries below 0x10000 are placeholders that stand for no window.
// It takes its room in the frame's layout like any bar: the thickness of its rows.

#include <vector>

#include "control_bar.h"

class CDockBar : public CControlBar {
    DECLARE_DYNAMIC(CDockBar)
    DECLARE_MESSAGE_MAP()
public:
    explicit CDockBar(bool bFloating = false);

    bool Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);

    // Index of the bar in the list, or -1.
    int FindBar(const CControlBar* pBar, int nPosExclude = -1) const;
    // Takes the bar into this dock bar: into the row under `lpRect` (screen
    // coordinates) when given, else into a new last row.
    void DockControlBar(CControlBar* pBar, const RECT* lpRect = nullptr);
    // Forgets the bar; a row left empty goes too.
    bool RemoveControlBar(CControlBar* pBar);
    int GetDockedCount() const;
    int GetDockedVisibleCount() const;
    static bool IsBarEntry(const void* p) { return reinterpret_cast<UINT_PTR>(p) > 0xFFFF; }
    CControlBar* GetBarAt(int nIndex) const;

    CSize CalcFixedLayout(bool bStretch, bool bHorz) override;
    void OnUpdateCmdUI(CFrameWnd*, bool) override {}

    std::vector<void*> m_arrBars;
    bool m_bFloating;
    bool m_bLayoutQuery = false; // the layout being computed only asks for sizes
    CRect m_rectLayout;          // what the frame had left when the dock bar took its room

protected:
    LRESULT OnDockSizeParent(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
};

// The dock bar window ids, by side.
UINT DockBarIdOfStyle(DWORD dwAlign);
DWORD DockBarAlignOfId(UINT nID);
