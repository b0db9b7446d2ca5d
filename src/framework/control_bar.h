#pragma once
// CControlBar: a bar along an edge of a frame (toolbar, status bar, docking panes). Its
// bar style (the CBRS_ bits) says where it sits and which borders it draws; it takes its
// room in the frame's layout through WM_SIZEPARENT and updates its items at idle time
// through WM_IDLEUPDATECMDUI. Its dock site is the frame whose layout it takes part in;
// a bar that can dock sits in one of that frame's dock bars (or a mini frame's) and has
// a docking context for its drags.

#include <memory>

#include "layout.h"
#include "wnd.h"

class CDockBar;
class CDockContext;

// Bar styles (kept in m_dwStyle, never in the window style).
constexpr DWORD CBRS_ALIGN_LEFT = 0x1000;
constexpr DWORD CBRS_ALIGN_TOP = 0x2000;
constexpr DWORD CBRS_ALIGN_RIGHT = 0x4000;
constexpr DWORD CBRS_ALIGN_BOTTOM = 0x8000;
constexpr DWORD CBRS_ALIGN_ANY = 0xF000;
constexpr DWORD CBRS_BORDER_LEFT = 0x0100;
constexpr DWORD CBRS_BORDER_TOP = 0x0200;
constexpr DWORD CBRS_BORDER_RIGHT = 0x0400;
constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800;
constexpr DWORD CBRS_BORDER_ANY = 0x0F00;
constexpr DWORD CBRS_TOOLTIPS = 0x0010;
constexpr DWORD CBRS_FLYBY = 0x0020;
constexpr DWORD CBRS_FLOAT_MULTI = 0x0040;
constexpr DWORD CBRS_BORDER_3D = 0x0080;
constexpr DWORD CBRS_HIDE_INPLACE = 0x0008;
constexpr DWORD CBRS_SIZE_DYNAMIC = 0x0004;
constexpr DWORD CBRS_SIZE_FIXED = 0x0002;
constexpr DWORD CBRS_FLOATING = 0x0001;
constexpr DWORD CBRS_GRIPPER = 0x00400000;
constexpr DWORD CBRS_ALL = 0x0040FFFF;
constexpr DWORD CBRS_ORIENT_HORZ = CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM;
constexpr DWORD CBRS_ORIENT_VERT = CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT;
constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;
constexpr DWORD CBRS_LEFT = CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT;
constexpr DWORD CBRS_RIGHT = CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT;

// Layout modes of CalcDynamicLayout.
constexpr DWORD LM_STRETCH = 0x01;
constexpr DWORD LM_HORZ = 0x02;
constexpr DWORD LM_MRUWIDTH = 0x04;
constexpr DWORD LM_HORZDOCK = 0x08;
constexpr DWORD LM_VERTDOCK = 0x10;
constexpr DWORD LM_LENGTHY = 0x20;
constexpr DWORD LM_COMMIT = 0x40;

// The length a stretching bar asks for: as long as its side, whatever that is.
constexpr int kStretchLength = 32767;

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
    DECLARE_MESSAGE_MAP()
public:
    CControlBar();
    ~CControlBar() override;

    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle);
    void SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom);

    // Visible, counting a show or hide that waits for the next layout.
    bool IsVisible() const;
    void DelayShow(bool bShow);
    bool IsFloating() const { return (m_dwStyle & CBRS_FLOATING) != 0; }

    virtual CSize CalcFixedLayout(bool bStretch, bool bHorz);
    virtual CSize CalcDynamicLayout(int nLength, DWORD dwMode);
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, bool bDisableIfNoHandler) = 0;
    // The window rectangle less the borders and the gripper.
    virtual void CalcInsideRect(CRect& rect, bool bHorz) const;
    // Its frame now shows at `nDpi` dots per inch: what it measures in pixels follows.
    virtual void OnDpiChanged(int nDpi) { (void)nDpi; }

    // Lets the bar be dragged and docked on these sides (CBRS_ALIGN_ bits) or floated.
    void EnableDocking(DWORD dwDockStyle);
    // Applies a pending delayed show or hide, into the layout's batch when it has one.
    void RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CFrameWnd* GetDockSite() const { return m_pDockSite; }
    // The dock bar holding it, or null.
    CDockBar* GetDockBar() const { return m_pDockBar; }
    DWORD GetDockStyle() const { return m_dwDockStyle; }
    // Its drags, once docking is enabled; null before.
    CDockContext* GetDockContext() const { return m_pDockContext.get(); }

protected:
    enum StateFlags { delayHide = 1, delayShow = 2 };
    DWORD m_dwStyle = 0;
    UINT m_nStateFlags = 0;

    // Creates the control window with the bar's style split off, and joins the frame.
    bool CreateBar(const char* lpszClassName, DWORD dwStyle, DWORD dwCtrlStyle, CWnd* pParentWnd,
                   UINT nID);
    void DrawBorders(HDC hDC, CRect& rect) const;
    // Takes the etched borders its style asks for off the rectangle.
    void DeflateByBorders(CRect& rect) const;
    void DrawGripper(HDC hDC, const CRect& rect) const;
    bool IsHorz() const { return (m_dwStyle & CBRS_ORIENT_VERT) == 0; }

    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    // Joins the frame's layout.
    void SetDockSite(CFrameWnd* pDockSite) { m_pDockSite = pDockSite; }
    // Joins its dock site's layout, as a bar created in `pParentWnd`.
    void JoinDockSite(CWnd* pParentWnd);

    void OnNcCalcSize(bool bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    void OnNcPaint();
    bool OnEraseBkgnd(HDC hDC);
    void OnDestroy();

private:
    friend class CDockBar; // it alone takes bars in and lets them go
    void SetDockBar(CDockBar* pDockBar) { m_pDockBar = pDockBar; }

    CFrameWnd* m_pDockSite = nullptr;
    CDockBar* m_pDockBar = nullptr;
    DWORD m_dwDockStyle = 0; // sides it may dock on
    std::unique_ptr<CDockContext> m_pDockContext;
    int m_cxLeftBorder = 6;
    int m_cxRightBorder = 0;
    int m_cyTopBorder = 1;
    int m_cyBottomBorder = 1;
};
