#include "sizing_control_bar.h"

#include <algorithm>
#include <cstdio>

#include "dock_bar.h"
#include "dock_context.h"
#include "frame_wnd.h"
#include "mini_dock_frame.h"
#include "win_app.h"

namespace {

const char* SizingBarClassName() {
    static const char* const name = CWnd::RegisterFrameworkClass("DscpSizingBar");
    return name;
}

bars::Rect ToRect(const RECT& r) {
    return bars::Rect{r.left, r.top, r.right, r.bottom};
}

CRect FromRect(const bars::Rect& r) {
    return CRect(r.left, r.top, r.right, r.bottom);
}

bool ReadFullDrag() {
    BOOL bFull = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &bFull, 0);
    return bFull != FALSE;
}

} // namespace

IMPLEMENT_DYNAMIC(CSizingControlBar, CControlBar)

BEGIN_MESSAGE_MAP(CSizingControlBar, CControlBar)
    ON_WM_CREATE()
    ON_WM_SETTINGCHANGE()
    ON_WM_NCCALCSIZE()
    ON_WM_NCPAINT()
    ON_WM_NCHITTEST()
    ON_WM_PAINT()
    ON_WM_CLOSE()
    ON_WM_WINDOWPOSCHANGING()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_NCLBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_RBUTTONDOWN()
    ON_WM_CAPTURECHANGED()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

CSizingControlBar::CSizingControlBar()
    : m_sizeHorz(200, 200), m_sizeVert(200, 200), m_sizeFloat(200, 200), m_sizeMinHorz(33, 32),
      m_sizeMinVert(33, 32), m_sizeMinFloat(37, 32) {}

bool CSizingControlBar::Create(const char* lpszWindowName, CWnd* pParentWnd, UINT nID,
                               DWORD dwStyle) {
    m_dwStyle = dwStyle & CBRS_ALL;
    if (!CreateEx(0, SizingBarClassName(), lpszWindowName, (dwStyle & ~CBRS_ALL) | WS_CLIPCHILDREN,
                  0, 0, 0, 0, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID))))
        return false;
    m_pDockSite = dynamic_cast<CFrameWnd*>(pParentWnd);
    if (!m_pDockSite)
        m_pDockSite = GetParentFrame();
    if (m_pDockSite)
        m_pDockSite->AddControlBar(this);
    return true;
}

bool CSizingControlBar::Create(const char* lpszWindowName, CWnd* pParentWnd, CSize sizeDefault,
                               bool, UINT nID, DWORD dwStyle) {
    m_sizeHorz = m_sizeVert = m_sizeFloat = sizeDefault;
    return Create(lpszWindowName, pParentWnd, nID, dwStyle);
}

// ---- profile ----

namespace {

std::string SectionName(const char* lpszProfileName, int nID) {
    char szSection[256];
    std::snprintf(szSection, sizeof(szSection), "%s-SCBar-%d", lpszProfileName, nID);
    return szSection;
}

} // namespace

void CSizingControlBar::RestoreSizes(const char* lpszProfileName) {
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return;
    const std::string section = SectionName(lpszProfileName, GetDlgCtrlID());
    bars::BarSizes s;
    s.horz = {m_sizeHorz.cx, m_sizeHorz.cy};
    s.vert = {m_sizeVert.cx, m_sizeVert.cy};
    s.floating = {m_sizeFloat.cx, m_sizeFloat.cy};
    s.minHorz = {m_sizeMinHorz.cx, m_sizeMinHorz.cy};
    s.minVert = {m_sizeMinVert.cx, m_sizeMinVert.cy};
    s.minFloat = {m_sizeMinFloat.cx, m_sizeMinFloat.cy};
    bars::RestoreSizes(s, [&](const char* name, int nDefault) {
        return static_cast<int>(pApp->GetProfileInt(section.c_str(), name, nDefault));
    });
    m_sizeHorz = CSize(s.horz.cx, s.horz.cy);
    m_sizeVert = CSize(s.vert.cx, s.vert.cy);
    m_sizeFloat = CSize(s.floating.cx, s.floating.cy);
}

void CSizingControlBar::StoreSizes(const char* lpszProfileName) {
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return;
    const std::string section = SectionName(lpszProfileName, GetDlgCtrlID());
    const int values[6] = {m_sizeHorz.cx, m_sizeHorz.cy,  m_sizeVert.cx,
                           m_sizeVert.cy, m_sizeFloat.cx, m_sizeFloat.cy};
    for (int i = 0; i < 6; ++i)
        pApp->WriteProfileInt(section.c_str(), bars::kSizeValueNames[i], values[i]);
}

void CSizingControlBar::RestoreAllSizes(CFrameWnd* pFrame, const char* lpszProfileName) {
    const std::vector<CControlBar*> barsOfFrame = pFrame->GetControlBars();
    for (CControlBar* pBar : barsOfFrame)
        if (auto* pSizing = dynamic_cast<CSizingControlBar*>(pBar))
            pSizing->RestoreSizes(lpszProfileName);
}

// ---- state ----

bool CSizingControlBar::IsDockedTopBottom() const {
    return m_nParentDockID == AFX_IDW_DOCKBAR_TOP || m_nParentDockID == AFX_IDW_DOCKBAR_BOTTOM;
}

bool CSizingControlBar::IsDockedLeftRight() const {
    return m_nParentDockID == AFX_IDW_DOCKBAR_LEFT || m_nParentDockID == AFX_IDW_DOCKBAR_RIGHT;
}

bool CSizingControlBar::IsBarFloating() const {
    return !IsDockedTopBottom() && !IsDockedLeftRight();
}

bool CSizingControlBar::IsSideResize() const {
    return bars::IsSideResize(DockSide(), m_nTrackEdge);
}

bars::Dock CSizingControlBar::DockSide() const {
    switch (m_nParentDockID) {
    case AFX_IDW_DOCKBAR_TOP:
        return bars::Dock::Top;
    case AFX_IDW_DOCKBAR_LEFT:
        return bars::Dock::Left;
    case AFX_IDW_DOCKBAR_RIGHT:
        return bars::Dock::Right;
    case AFX_IDW_DOCKBAR_BOTTOM:
        return bars::Dock::Bottom;
    default:
        return bars::Dock::Float;
    }
}

CDockBar* CSizingControlBar::GetDockBarOf() const {
    return dynamic_cast<CDockBar*>(m_pDockBar);
}

// ---- row bookkeeping ----

bool CSizingControlBar::GetRowRange(int& nFirst, int& nThis, int& nLast) const {
    CDockBar* pDockBar = GetDockBarOf();
    if (!pDockBar)
        return false;
    nThis = pDockBar->FindBar(this);
    if (nThis < 0)
        return false;
    const auto& list = pDockBar->m_arrBars;
    nFirst = nThis;
    while (nFirst > 0 && list[nFirst - 1] != nullptr)
        --nFirst;
    nLast = nThis;
    while (nLast + 1 < static_cast<int>(list.size()) && list[nLast + 1] != nullptr)
        ++nLast;
    return true;
}

void CSizingControlBar::CollectRowBars(std::vector<CSizingControlBar*>& row) const {
    row.clear();
    int nFirst = 0, nThis = 0, nLast = 0;
    if (!GetRowRange(nFirst, nThis, nLast))
        return;
    CDockBar* pDockBar = GetDockBarOf();
    for (int i = nFirst; i <= nLast; ++i) {
        CControlBar* pBar = pDockBar->GetBarAt(i);
        auto* pSizing = dynamic_cast<CSizingControlBar*>(pBar);
        if (pSizing && pSizing->IsVisible())
            row.push_back(pSizing);
    }
}

bool CSizingControlBar::ShareRowLength(int nAvailable, bool bHorz) {
    CDockBar* pDockBar = GetDockBarOf();
    if (!pDockBar)
        return false;
    const int nThis = pDockBar->FindBar(this);
    if (nThis < 0)
        return false;
    std::vector<bars::RowEntry> model;
    for (void* entry : pDockBar->m_arrBars) {
        bars::RowEntry e;
        e.tag = entry;
        if (entry == nullptr) {
            e.kind = bars::RowEntry::Separator;
        } else if (!CDockBar::IsBarEntry(entry)) {
            e.kind = bars::RowEntry::Placeholder;
        } else {
            auto* pBar = static_cast<CControlBar*>(entry);
            e.visible = pBar->IsVisible();
            if (auto* p = dynamic_cast<CSizingControlBar*>(pBar)) {
                const CSize& size = bHorz ? p->m_sizeHorz : p->m_sizeVert;
                e.length = bHorz ? size.cx : size.cy;
                e.thickness = bHorz ? size.cy : size.cx;
                e.minLength = bHorz ? p->m_sizeMinHorz.cx : p->m_sizeMinVert.cy;
                e.holdSize = p->m_bHoldSize;
            } else {
                const CRect rc = pBar->GetWindowRect();
                e.sizing = false;
                e.length = bHorz ? rc.Width() : rc.Height();
            }
        }
        model.push_back(e);
    }
    const bool bResult = bars::ShareRowLength(model, static_cast<size_t>(nThis), nAvailable);
    pDockBar->m_arrBars.clear();
    for (const bars::RowEntry& e : model) {
        pDockBar->m_arrBars.push_back(const_cast<void*>(e.tag));
        if (e.kind != bars::RowEntry::Bar || !e.sizing)
            continue;
        auto* p =
            static_cast<CSizingControlBar*>(static_cast<CControlBar*>(const_cast<void*>(e.tag)));
        CSize& size = bHorz ? p->m_sizeHorz : p->m_sizeVert;
        (bHorz ? size.cx : size.cy) = e.length;
        (bHorz ? size.cy : size.cx) = e.thickness;
        p->m_bHoldSize = e.holdSize;
    }
    return bResult;
}

void CSizingControlBar::AlignRowBars() {
    int nFirst = 0, nThis = 0, nLast = 0;
    if (!GetRowRange(nFirst, nThis, nLast))
        return;
    CDockBar* pDockBar = GetDockBarOf();
    const bool bHorz = IsDockedTopBottom();
    const CRect rcDock = pDockBar->GetWindowRect();
    int nPos = bHorz ? -2 : 0;
    bool bNeedLayout = false;
    for (int i = nFirst; i <= nLast; ++i) {
        CControlBar* pBar = pDockBar->GetBarAt(i);
        if (!pBar || !pBar->IsVisible())
            continue;
        CRect rc = pBar->GetWindowRect();
        rc.OffsetRect(-rcDock.left, -rcDock.top);
        if (auto* p = dynamic_cast<CSizingControlBar*>(pBar)) {
            const CSize size = bHorz ? p->m_sizeHorz : p->m_sizeVert;
            rc.right = rc.left + size.cx;
            rc.bottom = rc.top + size.cy;
        }
        if ((bHorz ? rc.left : rc.top) != nPos) {
            if (!bHorz)
                rc.OffsetRect(0, nPos - 2 - rc.top);
            else if (m_nParentDockID == AFX_IDW_DOCKBAR_TOP)
                rc.OffsetRect(nPos - rc.left, -2);
            else
                rc.OffsetRect(nPos - rc.left, 0);
            pBar->MoveWindow(rc);
            bNeedLayout = true;
        }
        nPos += (bHorz ? rc.Width() : rc.Height()) - 2;
    }
    if (bNeedLayout && m_pDockSite)
        m_pDockSite->DelayRecalcLayout();
}

// ---- layout ----

CSize CSizingControlBar::CalcFixedLayout(bool bStretch, bool bHorz) {
    if (bStretch)
        return bHorz ? CSize(32767, m_sizeHorz.cy) : CSize(m_sizeVert.cx, 32767);

    CDockBar* pDockBar = GetDockBarOf();
    std::vector<CSizingControlBar*> row;
    CollectRowBars(row);
    if (pDockBar && !pDockBar->m_bLayoutQuery && !row.empty()) {
        AFX_SIZEPARENTPARAMS layout{};
        layout.hDWP = BeginDeferWindowPos(static_cast<int>(row.size()));
        for (CSizingControlBar* p : row)
            p->RecalcDelayShow(&layout);
        if (layout.hDWP)
            EndDeferWindowPos(layout.hDWP);
    }

    CRect rc = pDockBar ? pDockBar->m_rectLayout : CRect();
    if (rc.IsRectEmpty() && m_pDockSite)
        rc = m_pDockSite->GetClientRect();
    const int nAvailable = bHorz ? rc.Width() + 2 : rc.Height() - 2;

    if (IsVisible() && !IsBarFloating() && m_bLayoutFromParent && !row.empty() &&
        row.front() == this) {
        if (ShareRowLength(nAvailable, bHorz))
            AlignRowBars();
    }
    m_bLayoutFromParent = false;

    if (bHorz)
        return CSize(std::max(m_sizeMinHorz.cx, m_sizeHorz.cx),
                     std::max(m_sizeMinHorz.cy, m_sizeHorz.cy));
    return CSize(std::max(m_sizeMinVert.cx, m_sizeVert.cx),
                 std::max(m_sizeMinVert.cy, m_sizeVert.cy));
}

CSize CSizingControlBar::CalcDynamicLayout(int nLength, DWORD dwMode) {
    if (dwMode & (LM_HORZDOCK | LM_VERTDOCK)) {
        if (nLength == -1)
            m_bLayoutFromParent = true;
        return CControlBar::CalcDynamicLayout(nLength, dwMode);
    }
    if (dwMode & (LM_MRUWIDTH | LM_COMMIT))
        return m_sizeFloat;

    const UINT nHit = m_pDockContext ? m_pDockContext->m_nHitTest : 0;
    if (IsBarFloating() && bars::IsCorner(nHit)) {
        POINT ptCursor;
        GetCursorPos(&ptCursor);
        CFrameWnd* pFrame = GetParentFrame();
        const CRect rcFrame = pFrame ? pFrame->GetWindowRect() : GetWindowRect();
        const CRect rcBar = GetWindowRect();
        const bars::CornerResult r =
            bars::FloatCornerSize(nHit, bars::Point{ptCursor.x, ptCursor.y}, ToRect(rcFrame),
                                  ToRect(rcBar), bars::Size{m_sizeFloat.cx, m_sizeFloat.cy},
                                  bars::Size{m_sizeMinFloat.cx, m_sizeMinFloat.cy});
        m_sizeFloat = CSize(r.size.cx, r.size.cy);
        if (r.bLeft)
            m_pDockContext->m_rectFrameDragHorz.left = r.dragLeft;
        if (r.bTop)
            m_pDockContext->m_rectFrameDragHorz.top = r.dragTop;
    } else if (dwMode & LM_LENGTHY) {
        m_sizeFloat.cy = nLength;
    } else {
        m_sizeFloat.cx = nLength;
    }
    m_sizeFloat.cx = std::max(m_sizeFloat.cx, m_sizeMinFloat.cx);
    m_sizeFloat.cy = std::max(m_sizeFloat.cy, m_sizeMinFloat.cy);
    return m_sizeFloat;
}

// ---- edge drag ----

CSizingControlBar* CSizingControlBar::TrackNeighbour() const {
    std::vector<CSizingControlBar*> row;
    CollectRowBars(row);
    const auto it = std::find(row.begin(), row.end(), this);
    if (it == row.end())
        return nullptr;
    if (m_nTrackEdge == HTTOP || m_nTrackEdge == HTLEFT)
        return it == row.begin() ? nullptr : *(it - 1);
    return it + 1 == row.end() ? nullptr : *(it + 1);
}

void CSizingControlBar::BeginResize(UINT nHitTest) {
    ::SetCapture(m_hWnd);
    if (!m_bFullDrag)
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    m_nTrackEdge = nHitTest;
    m_sizeTrackStart = DockedSize();
    CRect rcEdge;
    GetSizingEdgeRect(GetWindowRect(), nHitTest, rcEdge);
    m_ptTrackStart = CPoint((rcEdge.left + rcEdge.right) / 2, (rcEdge.top + rcEdge.bottom) / 2);
    m_bResizing = true;

    const bool bHorz = IsDockedTopBottom();
    std::vector<CSizingControlBar*> row;
    CollectRowBars(row);
    int nRowMinThickness = 0;
    for (CSizingControlBar* p : row)
        nRowMinThickness =
            std::max<int>(nRowMinThickness, bHorz ? p->m_sizeMinHorz.cy : p->m_sizeMinVert.cx);
    bars::Size neighbour{};
    bars::Size neighbourMin{};
    bars::Size paneRoom{};
    if (IsSideResize()) {
        if (CSizingControlBar* p = TrackNeighbour()) {
            const CSize size = bHorz ? p->m_sizeHorz : p->m_sizeVert;
            neighbour = {size.cx, size.cy};
            neighbourMin = {p->m_sizeMinHorz.cx, p->m_sizeMinVert.cy};
        }
    } else if (m_pDockSite) {
        RECT rcPane{};
        m_pDockSite->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &rcPane);
        paneRoom = {rcPane.right - rcPane.left, rcPane.bottom - rcPane.top};
    }
    const CSize minSize = bHorz ? m_sizeMinHorz : m_sizeMinVert;
    const bars::TrackLimits limits = bars::ResizeLimits(
        DockSide(), nHitTest, bars::Size{m_sizeTrackStart.cx, m_sizeTrackStart.cy},
        bars::Size{minSize.cx, minSize.cy}, nRowMinThickness, neighbour, neighbourMin, paneRoom);
    m_sizeTrackMin = CSize(limits.min.cx, limits.min.cy);
    m_sizeTrackMax = CSize(limits.max.cx, limits.max.cy);
    InvertResizeTracker();
}

void CSizingControlBar::OnResizeMove(POINT ptClient) {
    POINT pt = ptClient;
    ::ClientToScreen(m_hWnd, &pt);
    const bars::TrackLimits limits{bars::Size{m_sizeTrackMin.cx, m_sizeTrackMin.cy},
                                   bars::Size{m_sizeTrackMax.cx, m_sizeTrackMax.cy}};
    const bars::Size step =
        bars::ResizeStep(m_nTrackEdge, bars::Size{m_sizeTrackStart.cx, m_sizeTrackStart.cy},
                         pt.x - m_ptTrackStart.x, pt.y - m_ptTrackStart.y, limits);
    const CSize sizeNew(step.cx, step.cy);
    CSize& size = DockedSize();
    if (sizeNew == size)
        return;
    InvertResizeTracker();
    const CSize sizeOld = size;
    size = sizeNew;
    const bool bHorz = IsDockedTopBottom();
    if (!IsSideResize()) {
        std::vector<CSizingControlBar*> row;
        CollectRowBars(row);
        for (CSizingControlBar* p : row) {
            if (bHorz)
                p->m_sizeHorz.cy = sizeNew.cy;
            else
                p->m_sizeVert.cx = sizeNew.cx;
        }
    } else if (CSizingControlBar* p = TrackNeighbour()) {
        if (bHorz)
            p->m_sizeHorz.cx -= sizeNew.cx - sizeOld.cx;
        else
            p->m_sizeVert.cy -= sizeNew.cy - sizeOld.cy;
    }
    InvertResizeTracker();
    if (m_bFullDrag && m_pDockSite)
        m_pDockSite->DelayRecalcLayout();
}

void CSizingControlBar::EndResize() {
    InvertResizeTracker();
    m_bResizing = false;
    // Only a capture this bar still holds is released: another window may own it now.
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (m_pDockSite)
        m_pDockSite->DelayRecalcLayout();
}

void CSizingControlBar::InvertResizeTracker() {
    if (m_bFullDrag || !m_pDockSite)
        return;
    CRect rc;
    if (!GetSizingEdgeRect(GetWindowRect(), m_nTrackEdge, rc))
        return;
    if (!IsSideResize()) {
        if (CDockBar* pDockBar = GetDockBarOf()) {
            const CRect rcDock = pDockBar->GetWindowRect();
            if (IsDockedTopBottom()) {
                rc.left = rcDock.left + 1;
                rc.right = rcDock.right - 1;
            } else {
                rc.top = rcDock.top + 1;
                rc.bottom = rcDock.bottom - 1;
            }
        }
    }
    const CRect rcSite = m_pDockSite->GetWindowRect();
    rc.OffsetRect(-rcSite.left, -rcSite.top);
    const CSize size = IsDockedTopBottom() ? m_sizeHorz : m_sizeVert;
    int dx = size.cx - m_sizeTrackStart.cx;
    int dy = size.cy - m_sizeTrackStart.cy;
    const UINT e = m_nTrackEdge;
    const bool bNegate = (m_nParentDockID == AFX_IDW_DOCKBAR_LEFT && e == HTTOP) ||
                         (m_nParentDockID == AFX_IDW_DOCKBAR_RIGHT && e != HTBOTTOM) ||
                         (m_nParentDockID == AFX_IDW_DOCKBAR_TOP && e == HTLEFT) ||
                         (m_nParentDockID == AFX_IDW_DOCKBAR_BOTTOM && e != HTRIGHT);
    if (bNegate) {
        dx = -dx;
        dy = -dy;
    }
    rc.OffsetRect(dx, dy);
    HDC hDC = GetDCEx(m_pDockSite->m_hWnd, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    if (!hDC)
        return;
    HGDIOBJ hOld = SelectObject(hDC, CDockContext::HalftoneBrush());
    PatBlt(hDC, rc.left, rc.top, rc.Width(), rc.Height(), PATINVERT);
    SelectObject(hDC, hOld);
    ReleaseDC(m_pDockSite->m_hWnd, hDC);
}

// ---- non-client area ----

CRect CSizingControlBar::CalcClientArea(const CRect& rc, UINT) {
    unsigned edges = m_dwEdgeStyle;
    const CRect client = FromRect(bars::BorderClientArea(ToRect(rc), DockSide(), edges));
    m_dwEdgeStyle = edges;
    return client;
}

bool CSizingControlBar::GetSizingEdgeRect(const CRect& rcWindow, UINT nHitTest,
                                          CRect& rcEdge) const {
    bars::Rect out;
    const bool bExists =
        bars::SizingEdgeRect(m_dwEdgeStyle, DockSide(), ToRect(rcWindow), nHitTest, out);
    rcEdge = FromRect(out);
    return bExists;
}

void CSizingControlBar::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* lpncsp) {
    if (IsBarFloating()) {
        if (auto* pFrame = dynamic_cast<CMiniDockFrameWnd*>(GetParentFrame());
            pFrame && (pFrame->m_dwMiniStyle & MFS_4THICKFRAME)) {
            // Floating, the bar resizes by its frame's corners too.
            pFrame->m_dwMiniStyle &= ~MFS_4THICKFRAME;
            HWND hParent = GetParent();
            ::SetWindowLongA(hParent, GWL_STYLE,
                             ::GetWindowLongA(hParent, GWL_STYLE) | WS_CLIPCHILDREN);
        }
    }
    m_dwEdgeStyle = 0;
    if (!IsBarFloating()) {
        std::vector<CSizingControlBar*> row;
        CollectRowBars(row);
        const auto it = std::find(row.begin(), row.end(), this);
        if (it != row.end())
            m_dwEdgeStyle = bars::RowEdges(DockSide(), it != row.begin(), it + 1 != row.end());
    }
    CRect rc = CalcClientArea(CRect(lpncsp->rgrc[0]), m_nParentDockID);
    if (rc.right < rc.left)
        rc.right = rc.left;
    if (rc.bottom < rc.top)
        rc.bottom = rc.top;
    lpncsp->rgrc[0] = rc;
}

void CSizingControlBar::OnNcPaint() {
    HDC hDC = ::GetWindowDC(m_hWnd);
    if (!hDC)
        return;
    const CRect rcWindow = GetWindowRect();
    CRect rcClient = GetClientRect();
    POINT origin{0, 0};
    ::ClientToScreen(m_hWnd, &origin);
    rcClient.OffsetRect(origin.x - rcWindow.left, origin.y - rcWindow.top);
    CRect rcBar(0, 0, rcWindow.Width(), rcWindow.Height());
    ::ExcludeClipRect(hDC, rcClient.left, rcClient.top, rcClient.right, rcClient.bottom);

    HDC hMem = ::CreateCompatibleDC(hDC);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hDC, rcBar.Width(), rcBar.Height());
    HGDIOBJ hOldBitmap = ::SelectObject(hMem, hBitmap);
    CRect rcDraw = rcBar;
    DrawBorders(hMem, rcDraw);
    ::IntersectClipRect(hMem, rcDraw.left, rcDraw.top, rcDraw.right, rcDraw.bottom);
    auto hBrush = reinterpret_cast<HBRUSH>(::GetClassLongPtrA(m_hWnd, GCLP_HBRBACKGROUND));
    if (reinterpret_cast<UINT_PTR>(hBrush) <= COLOR_MENUBAR + 1)
        hBrush = ::GetSysColorBrush(static_cast<int>(reinterpret_cast<UINT_PTR>(hBrush)) - 1);
    ::FillRect(hMem, &rcDraw, hBrush);
    PaintCaption(hMem, rcClient);
    ::BitBlt(hDC, 0, 0, rcBar.Width(), rcBar.Height(), hMem, 0, 0, SRCCOPY);
    ::SelectObject(hMem, hOldBitmap);
    ::DeleteObject(hBitmap);
    ::DeleteDC(hMem);
    ::ReleaseDC(m_hWnd, hDC);
}

LRESULT CSizingControlBar::OnNcHitTest(POINT pt) {
    if (IsBarFloating())
        return HTCLIENT;
    return bars::EdgeHitTest(m_dwEdgeStyle, DockSide(), ToRect(GetWindowRect()),
                             bars::Point{pt.x, pt.y});
}

// ---- messages ----

int CSizingControlBar::OnCreate(LPCREATESTRUCTA) {
    m_bFullDrag = ReadFullDrag();
    return 0;
}

void CSizingControlBar::OnSettingChange(UINT, const char*) {
    Default();
    m_bFullDrag = ReadFullDrag();
}

void CSizingControlBar::OnPaint() {
    ::ValidateRect(m_hWnd, nullptr); // the face is the background; children draw the rest
}

void CSizingControlBar::OnClose() {
    // Never destroyed by a close request: hiding through the frame is the way out.
}

void CSizingControlBar::OnWindowPosChanging(WINDOWPOS* lpwndpos) {
    lpwndpos->flags |= SWP_FRAMECHANGED;
    Default();
    m_nParentDockID = static_cast<UINT>(::GetDlgCtrlID(GetParent()));
    if (!IsBarFloating() && (lpwndpos->flags & SWP_SHOWWINDOW))
        m_bHoldSize = true;
}

void CSizingControlBar::OnLButtonDown(UINT, POINT pt) {
    if (m_pDockBar && m_pDockContext) {
        ::ClientToScreen(m_hWnd, &pt);
        m_pDockContext->StartDrag(pt);
        return;
    }
    Default();
}

void CSizingControlBar::OnLButtonDblClk(UINT, POINT) {
    if (m_pDockBar && m_pDockContext) {
        m_pDockContext->ToggleDocking();
        return;
    }
    Default();
}

void CSizingControlBar::OnNcLButtonDown(UINT nHitTest, POINT) {
    if (!m_bResizing && !IsBarFloating() && nHitTest >= HTSIZEFIRST && nHitTest <= HTSIZELAST)
        BeginResize(nHitTest);
}

void CSizingControlBar::OnMouseMove(UINT, POINT pt) {
    if (m_bResizing)
        OnResizeMove(pt);
    Default();
}

void CSizingControlBar::OnLButtonUp(UINT, POINT) {
    if (m_bResizing)
        EndResize();
    Default();
}

void CSizingControlBar::OnRButtonDown(UINT, POINT) {
    if (m_bResizing)
        EndResize();
    Default();
}

void CSizingControlBar::OnCaptureChanged(HWND hWnd) {
    if (m_bResizing && hWnd != m_hWnd)
        EndResize();
    Default();
}

LRESULT CSizingControlBar::OnSetText(WPARAM, LPARAM lParam) {
    const LRESULT result = Default();
    if (IsBarFloating())
        if (auto* pFrame = dynamic_cast<CMiniDockFrameWnd*>(GetParentFrame())) {
            if (m_pDockBar)
                ::SetWindowTextA(m_pDockBar->m_hWnd, reinterpret_cast<const char*>(lParam));
            pFrame->DelayRecalcLayout();
        }
    return result;
}
