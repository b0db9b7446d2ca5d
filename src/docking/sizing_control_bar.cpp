#include "sizing_control_bar.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "dock_bar.h"
#include "dock_context.h"
#include "frame_wnd.h"
#include "mini_dock_frame.h"
#include "owners.h"
#include "win_app.h"
#include "window_dpi.h"

namespace {

const char* SizingBarClassName() {
    static const char* const name = CWnd::RegisterFrameworkClass("DscpSizingBar");
    return name;
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

CSizingControlBar::CSizingControlBar() {
    const bars::BarSizes defaults;
    m_sizeHorz = ToSize(defaults.horz);
    m_sizeVert = ToSize(defaults.vert);
    m_sizeFloat = ToSize(defaults.floating);
    m_sizeMinHorz = ToSize(defaults.minHorz);
    m_sizeMinVert = ToSize(defaults.minVert);
    m_sizeMinFloat = ToSize(defaults.minFloat);
}

bool CSizingControlBar::Create(const char* lpszWindowName, CWnd* pParentWnd, UINT nID,
                               DWORD dwStyle) {
    m_dwStyle = dwStyle & CBRS_ALL;
    if (!CreateEx(0, SizingBarClassName(), lpszWindowName, (dwStyle & ~CBRS_ALL) | WS_CLIPCHILDREN,
                  0, 0, 0, 0, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID))))
        return false;
    RescaleTo(WindowDpi(m_hWnd));
    JoinDockSite(pParentWnd);
    return true;
}

void CSizingControlBar::RescaleTo(int nDpi) {
    const int nFrom = m_scale.Dpi();
    m_scale = DpiScale(nDpi);
    if (m_scale.Dpi() == nFrom)
        return;
    const auto rescale = [&](CSize& size) {
        size = CSize(DpiScale::Rescale(size.cx, nFrom, m_scale.Dpi()),
                     DpiScale::Rescale(size.cy, nFrom, m_scale.Dpi()));
    };
    for (CSize* p :
         {&m_sizeHorz, &m_sizeVert, &m_sizeFloat, &m_sizeMinHorz, &m_sizeMinVert, &m_sizeMinFloat})
        rescale(*p);
    m_heightShare.keep = DpiScale::Rescale(m_heightShare.keep, nFrom, m_scale.Dpi());
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
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
    // The profile holds 96-DPI sizes: read against the same, shown at the bar's resolution.
    bars::BarSizes s;
    s.horz = m_scale.ToStored(ToLayout(m_sizeHorz));
    s.vert = m_scale.ToStored(ToLayout(m_sizeVert));
    s.floating = m_scale.ToStored(ToLayout(m_sizeFloat));
    s.minHorz = m_scale.ToStored(ToLayout(m_sizeMinHorz));
    s.minVert = m_scale.ToStored(ToLayout(m_sizeMinVert));
    s.minFloat = m_scale.ToStored(ToLayout(m_sizeMinFloat));
    bars::RestoreSizes(s, [&](const char* name, int nDefault) {
        return static_cast<int>(pApp->GetProfileInt(section.c_str(), name, nDefault));
    });
    constexpr UINT kAbsent = 0x80000000u;
    m_bStoredHorzHeight =
        pApp->GetProfileInt(section.c_str(), bars::kSizeValueNames[1], kAbsent) != kAbsent;
    m_sizeHorz = ToSize(m_scale.ToDevice(s.horz));
    m_sizeVert = ToSize(m_scale.ToDevice(s.vert));
    m_sizeFloat = ToSize(m_scale.ToDevice(s.floating));
}

void CSizingControlBar::SetSizes(CSize horz, CSize vert, CSize floating) {
    const auto raised = [](CSize size, CSize min) {
        return CSize(std::max(size.cx, min.cx), std::max(size.cy, min.cy));
    };
    m_sizeHorz = raised(horz, m_sizeMinHorz);
    m_sizeVert = raised(vert, m_sizeMinVert);
    m_sizeFloat = raised(floating, m_sizeMinFloat);
}

void CSizingControlBar::KeepHeightShare(double share, int keep) {
    m_heightShare = bars::HeightShare{share, keep};
    if (GetDockSite())
        GetDockSite()->DelayRecalcLayout();
}

int CSizingControlBar::ShareRoom() const {
    CDockBar* pDockBar = GetDockBarOf();
    if (!pDockBar)
        return 0;
    int room = pDockBar->LayoutRoom().Height();
    const CDockBar::Rows& rows = pDockBar->GetRows();
    for (size_t i = 0; i < rows.RowCount(); ++i) {
        const CDockBar::Rows::Row& row = rows.RowAt(i);
        if (std::find(row.begin(), row.end(), this) != row.end())
            continue;
        int thickness = 0;
        for (CControlBar* pBar : row)
            if (pBar->IsVisible())
                thickness = std::max(thickness, pBar->GetWindowRect().Height());
        room -= thickness;
    }
    return room;
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
    return GetDockBar();
}

// ---- row bookkeeping ----

std::vector<CSizingControlBar*> CSizingControlBar::RowBars() const {
    std::vector<CSizingControlBar*> row;
    CDockBar* pDockBar = GetDockBarOf();
    const CDockBar::Rows::Row* pRow = pDockBar ? pDockBar->GetRows().RowOf(this) : nullptr;
    if (!pRow)
        return row;
    for (CControlBar* pBar : *pRow) {
        auto* pSizing = dynamic_cast<CSizingControlBar*>(pBar);
        if (pSizing && pSizing->IsVisible())
            row.push_back(pSizing);
    }
    return row;
}

void CSizingControlBar::SetDockedExtent(bool bHorz, int length, int thickness) {
    CSize& size = bHorz ? m_sizeHorz : m_sizeVert;
    (bHorz ? size.cx : size.cy) = length;
    (bHorz ? size.cy : size.cx) = thickness;
}

bool CSizingControlBar::ShareRowLength(int nAvailable, bool bHorz) {
    CDockBar* pDockBar = GetDockBarOf();
    const std::optional<CDockBar::Rows::Position> at =
        pDockBar ? pDockBar->GetRows().Find(this) : std::nullopt;
    if (!at)
        return false;
    const CDockBar::Rows::Row& row = pDockBar->GetRows().RowAt(at->row);
    std::vector<bars::RowEntry> model;
    for (CControlBar* pBar : row) {
        bars::RowEntry e;
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
        model.push_back(e);
    }
    const bars::RowShare share = bars::ShareRowLength(model, at->index, nAvailable);
    const std::vector<CControlBar*> bars = row; // the row changes when it wraps
    for (size_t i = 0; i < bars.size(); ++i)
        if (auto* p = dynamic_cast<CSizingControlBar*>(bars[i])) {
            p->SetDockedExtent(bHorz, model[i].length, model[i].thickness);
            p->m_bHoldSize = model[i].holdSize;
        }
    if (share.wrapAt)
        pDockBar->WrapRow(this, *share.wrapAt);
    return share.align;
}

void CSizingControlBar::AlignRowBars() {
    CDockBar* pDockBar = GetDockBarOf();
    const CDockBar::Rows::Row* pRow = pDockBar ? pDockBar->GetRows().RowOf(this) : nullptr;
    if (!pRow)
        return;
    const bool bHorz = IsDockedTopBottom();
    const CRect rcDock = pDockBar->GetWindowRect();
    int nPos = bHorz ? -2 : 0;
    bool bNeedLayout = false;
    for (CControlBar* pBar : *pRow) {
        if (!pBar->IsVisible())
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
    if (bNeedLayout && GetDockSite())
        GetDockSite()->DelayRecalcLayout();
}

// ---- layout ----

CSize CSizingControlBar::CalcFixedLayout(bool bStretch, bool bHorz) {
    if (bStretch)
        return bHorz ? CSize(kStretchLength, m_sizeHorz.cy) : CSize(m_sizeVert.cx, kStretchLength);

    CDockBar* pDockBar = GetDockBarOf();
    const std::vector<CSizingControlBar*> row = RowBars();
    if (pDockBar && !pDockBar->IsLayoutQuery() && !row.empty()) {
        AFX_SIZEPARENTPARAMS layout{};
        layout.hDWP = BeginDeferWindowPos(static_cast<int>(row.size()));
        for (CSizingControlBar* p : row)
            p->RecalcDelayShow(&layout);
        if (layout.hDWP)
            EndDeferWindowPos(layout.hDWP);
    }

    CRect rc = pDockBar ? pDockBar->LayoutRoom() : CRect();
    if (rc.IsRectEmpty() && GetDockSite())
        rc = GetDockSite()->GetClientRect();
    const int nAvailable = bHorz ? rc.Width() + 2 : rc.Height() - 2;

    // A share of the frame's height follows the room, except under the user's own drag.
    if (bHorz && m_heightShare.Active() && IsDockedTopBottom() && !m_bResizing && pDockBar) {
        const int height = m_heightShare.HeightFor(ShareRoom(), m_sizeMinHorz.cy);
        for (CSizingControlBar* p : row)
            p->m_sizeHorz.cy = height;
        m_sizeHorz.cy = height;
    }

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
    // Docked or floated into a frame shown at another scale than the one it left.
    RescaleTo(WindowDpi(m_hWnd));
    if (dwMode & (LM_HORZDOCK | LM_VERTDOCK)) {
        if (nLength == -1)
            m_bLayoutFromParent = true;
        return CControlBar::CalcDynamicLayout(nLength, dwMode);
    }
    if (dwMode & (LM_MRUWIDTH | LM_COMMIT))
        return m_sizeFloat;

    CDockContext* pContext = GetDockContext();
    const UINT nHit = pContext ? pContext->ResizeEdge() : 0;
    if (IsBarFloating() && bars::IsCorner(nHit)) {
        POINT ptCursor;
        GetCursorPos(&ptCursor);
        CFrameWnd* pFrame = GetParentFrame();
        const CRect rcFrame = pFrame ? pFrame->GetWindowRect() : GetWindowRect();
        const CRect rcBar = GetWindowRect();
        const bars::CornerResult r =
            bars::FloatCornerSize(nHit, ToLayout(ptCursor), ToLayout(rcFrame), ToLayout(rcBar),
                                  ToLayout(m_sizeFloat), ToLayout(m_sizeMinFloat));
        m_sizeFloat = ToSize(r.size);
        pContext->MoveResizedFrame(r.bLeft ? std::optional<int>(r.dragLeft) : std::nullopt,
                                   r.bTop ? std::optional<int>(r.dragTop) : std::nullopt);
    } else if (dwMode & LM_LENGTHY) {
        m_sizeFloat.cy = nLength;
    } else {
        m_sizeFloat.cx = nLength;
    }
    m_sizeFloat.cx = std::max(m_sizeFloat.cx, m_sizeMinFloat.cx);
    m_sizeFloat.cy = std::max(m_sizeFloat.cy, m_sizeMinFloat.cy);
    return m_sizeFloat;
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
    if (GetDockBar() && GetDockContext()) {
        ::ClientToScreen(m_hWnd, &pt);
        GetDockContext()->StartDrag(pt);
        return;
    }
    Default();
}

void CSizingControlBar::OnLButtonDblClk(UINT, POINT) {
    if (GetDockBar() && GetDockContext()) {
        GetDockContext()->ToggleDocking();
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
            if (GetDockBar())
                ::SetWindowTextA(GetDockBar()->m_hWnd, reinterpret_cast<const char*>(lParam));
            pFrame->DelayRecalcLayout();
        }
    return result;
}

// The sizing bar's non-client area (its border and draggable edges) and the drag of an
// edge, which trades length with the neighbour in the row or thickness with the pane.

// ---- non-client area ----

CRect CSizingControlBar::CalcClientArea(const CRect& rc) {
    unsigned edges = m_dwEdgeStyle;
    const CRect client = ToRect(bars::BorderClientArea(ToLayout(rc), DockSide(), edges, m_scale));
    m_dwEdgeStyle = edges;
    return client;
}

bool CSizingControlBar::GetSizingEdgeRect(const CRect& rcWindow, UINT nHitTest,
                                          CRect& rcEdge) const {
    bars::Rect out;
    const bool bExists =
        bars::SizingEdgeRect(m_dwEdgeStyle, DockSide(), ToLayout(rcWindow), nHitTest, out, m_scale);
    rcEdge = ToRect(out);
    return bExists;
}

void CSizingControlBar::OnNcCalcSize(bool, NCCALCSIZE_PARAMS* lpncsp) {
    if (IsBarFloating()) {
        // Floating, the bar resizes by its frame's corners too.
        if (auto* pFrame = dynamic_cast<CMiniDockFrameWnd*>(GetParentFrame()))
            pFrame->AllowCornerResize();
    }
    m_dwEdgeStyle = 0;
    if (!IsBarFloating()) {
        const std::vector<CSizingControlBar*> row = RowBars();
        const auto it = std::find(row.begin(), row.end(), this);
        if (it != row.end())
            m_dwEdgeStyle = bars::RowEdges(DockSide(), it != row.begin(), it + 1 != row.end());
    }
    CRect rc = CalcClientArea(CRect(lpncsp->rgrc[0]));
    rc.KeepNonNegative();
    lpncsp->rgrc[0] = rc;
}

void CSizingControlBar::OnNcPaint() {
    const WindowDC dc(m_hWnd, WindowDC::Whole);
    if (!dc)
        return;
    const CRect rcWindow = GetWindowRect();
    CRect rcClient = GetClientRect();
    POINT origin{0, 0};
    ::ClientToScreen(m_hWnd, &origin);
    rcClient.OffsetRect(origin.x - rcWindow.left, origin.y - rcWindow.top);
    CRect rcBar(0, 0, rcWindow.Width(), rcWindow.Height());
    ::ExcludeClipRect(dc.Get(), rcClient.left, rcClient.top, rcClient.right, rcClient.bottom);

    // Drawn off the screen first, so the border never flickers.
    const UniqueMemoryDC memory(::CreateCompatibleDC(dc.Get()));
    const UniqueGdiObject bitmap(::CreateCompatibleBitmap(dc.Get(), rcBar.Width(), rcBar.Height()));
    if (!memory || !bitmap)
        return;
    const HDC hMem = memory.Get();
    const SelectedObject selected(hMem, bitmap.Get());
    CRect rcDraw = rcBar;
    DrawBorders(hMem, rcDraw);
    ::IntersectClipRect(hMem, rcDraw.left, rcDraw.top, rcDraw.right, rcDraw.bottom);
    auto hBrush = reinterpret_cast<HBRUSH>(::GetClassLongPtrA(m_hWnd, GCLP_HBRBACKGROUND));
    if (reinterpret_cast<UINT_PTR>(hBrush) <= COLOR_MENUBAR + 1)
        hBrush = ::GetSysColorBrush(static_cast<int>(reinterpret_cast<UINT_PTR>(hBrush)) - 1);
    ::FillRect(hMem, &rcDraw, hBrush);
    PaintCaption(hMem, rcClient);
    ::BitBlt(dc.Get(), 0, 0, rcBar.Width(), rcBar.Height(), hMem, 0, 0, SRCCOPY);
}

LRESULT CSizingControlBar::OnNcHitTest(POINT pt) {
    if (IsBarFloating())
        return HTCLIENT;
    return bars::EdgeHitTest(m_dwEdgeStyle, DockSide(), ToLayout(GetWindowRect()), ToLayout(pt),
                             m_scale);
}

// ---- edge drag ----

CSizingControlBar* CSizingControlBar::TrackNeighbour() const {
    const std::vector<CSizingControlBar*> row = RowBars();
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
    const std::vector<CSizingControlBar*> row = RowBars();
    int nRowMinThickness = 0;
    for (CSizingControlBar* p : row)
        nRowMinThickness =
            std::max<int>(nRowMinThickness, bHorz ? p->m_sizeMinHorz.cy : p->m_sizeMinVert.cx);
    bars::Size neighbour{};
    bars::Size neighbourMin{};
    bars::Size paneRoom{};
    if (IsSideResize()) {
        if (CSizingControlBar* p = TrackNeighbour()) {
            neighbour = ToLayout(bHorz ? p->m_sizeHorz : p->m_sizeVert);
            neighbourMin = {p->m_sizeMinHorz.cx, p->m_sizeMinVert.cy};
        }
    } else if (CFrameWnd* pSite = GetDockSite()) {
        CRect rcPane;
        pSite->RepositionBars(0, kAllChildIds, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &rcPane);
        paneRoom = ToLayout(rcPane.Size());
    }
    const CSize minSize = bHorz ? m_sizeMinHorz : m_sizeMinVert;
    const bars::TrackLimits limits =
        bars::ResizeLimits(DockSide(), nHitTest, ToLayout(m_sizeTrackStart), ToLayout(minSize),
                           nRowMinThickness, neighbour, neighbourMin, paneRoom);
    m_sizeTrackMin = ToSize(limits.min);
    m_sizeTrackMax = ToSize(limits.max);
    InvertResizeTracker();
}

void CSizingControlBar::OnResizeMove(POINT ptClient) {
    POINT pt = ptClient;
    ::ClientToScreen(m_hWnd, &pt);
    const bars::TrackLimits limits{ToLayout(m_sizeTrackMin), ToLayout(m_sizeTrackMax)};
    const CSize sizeNew =
        ToSize(bars::ResizeStep(m_nTrackEdge, ToLayout(m_sizeTrackStart), pt.x - m_ptTrackStart.x,
                                pt.y - m_ptTrackStart.y, limits));
    CSize& size = DockedSize();
    if (sizeNew == size)
        return;
    InvertResizeTracker();
    const CSize sizeOld = size;
    size = sizeNew;
    const bool bHorz = IsDockedTopBottom();
    if (!IsSideResize()) {
        // The whole row takes the new thickness.
        for (CSizingControlBar* p : RowBars()) {
            const CSize other = bHorz ? p->m_sizeHorz : p->m_sizeVert;
            p->SetDockedExtent(bHorz, bHorz ? other.cx : other.cy, bHorz ? sizeNew.cy : sizeNew.cx);
        }
    } else if (CSizingControlBar* p = TrackNeighbour()) {
        // The neighbour gives the length this bar takes.
        const CSize other = bHorz ? p->m_sizeHorz : p->m_sizeVert;
        const int given = bHorz ? sizeNew.cx - sizeOld.cx : sizeNew.cy - sizeOld.cy;
        p->SetDockedExtent(bHorz, (bHorz ? other.cx : other.cy) - given,
                           bHorz ? other.cy : other.cx);
    }
    InvertResizeTracker();
    if (m_bFullDrag && GetDockSite())
        GetDockSite()->DelayRecalcLayout();
}

void CSizingControlBar::EndResize() {
    InvertResizeTracker();
    m_bResizing = false;
    // The user's height is the share from now on.
    if (m_heightShare.Active() && IsDockedTopBottom() && !IsSideResize())
        m_heightShare.Take(m_sizeHorz.cy, ShareRoom());
    // Only a capture this bar still holds is released: another window may own it now.
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (GetDockSite())
        GetDockSite()->DelayRecalcLayout();
}

void CSizingControlBar::InvertResizeTracker() {
    CFrameWnd* pSite = GetDockSite();
    if (m_bFullDrag || !pSite)
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
    const CRect rcSite = pSite->GetWindowRect();
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
    const WindowDC dc(pSite->m_hWnd,
                      static_cast<DWORD>(DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE));
    if (!dc)
        return;
    const SelectedObject brush(dc.Get(), CDockContext::HalftoneBrush());
    PatBlt(dc.Get(), rc.left, rc.top, rc.Width(), rc.Height(), PATINVERT);
}
