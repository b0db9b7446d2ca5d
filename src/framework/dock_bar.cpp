#include "dock_bar.h"

#include <algorithm>
#include <map>

#include "dock_context.h"
#include "frame_wnd.h"
#include "mini_dock_frame.h"

namespace {

constexpr int kOverlap = 2;    // neighbouring bars share their 2-pixel borders
constexpr int kBorderLine = 2; // the etched line above the rows

} // namespace

UINT DockBarIdOfStyle(DWORD dwAlign) {
    if (dwAlign & CBRS_ALIGN_TOP)
        return AFX_IDW_DOCKBAR_TOP;
    if (dwAlign & CBRS_ALIGN_BOTTOM)
        return AFX_IDW_DOCKBAR_BOTTOM;
    if (dwAlign & CBRS_ALIGN_LEFT)
        return AFX_IDW_DOCKBAR_LEFT;
    if (dwAlign & CBRS_ALIGN_RIGHT)
        return AFX_IDW_DOCKBAR_RIGHT;
    return 0;
}

DWORD DockBarAlignOfId(UINT nID) {
    switch (nID) {
    case AFX_IDW_DOCKBAR_TOP:
        return CBRS_ALIGN_TOP;
    case AFX_IDW_DOCKBAR_BOTTOM:
        return CBRS_ALIGN_BOTTOM;
    case AFX_IDW_DOCKBAR_LEFT:
        return CBRS_ALIGN_LEFT;
    case AFX_IDW_DOCKBAR_RIGHT:
        return CBRS_ALIGN_RIGHT;
    default:
        return 0;
    }
}

IMPLEMENT_DYNAMIC(CDockBar, CControlBar)

BEGIN_MESSAGE_MAP(CDockBar, CControlBar)
    ON_MESSAGE(WM_SIZEPARENT, OnDockSizeParent)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

CDockBar::CDockBar(bool bFloating) : m_bFloating(bFloating) {
    SetBorders(0, 0, 0, 0);
}

bool CDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID, CFrameWnd* pDockSite) {
    // Docked at the top, left or right, an etched line separates the rows from what
    // lies above them; at the bottom the status bar's own border does.
    DWORD dwBorder = 0;
    if (!m_bFloating && !(dwStyle & CBRS_ALIGN_BOTTOM))
        dwBorder = CBRS_BORDER_TOP;
    m_dwStyle = (dwStyle & CBRS_ALL) | dwBorder;
    if (!CreateEx(0, GetDefaultClassName(), nullptr,
                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0, 0,
                  pParentWnd->m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID))))
        return false;
    SetDockSite(pDockSite ? pDockSite : dynamic_cast<CFrameWnd*>(pParentWnd));
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return true;
}

CControlBar* CDockBar::GetFirstBar() const {
    return m_rows.Empty() ? nullptr : m_rows.RowAt(0).front();
}

bool CDockBar::RemoveControlBar(CControlBar* pBar) {
    if (!m_rows.Remove(pBar))
        return false;
    if (pBar->GetDockBar() == this)
        pBar->SetDockBar(nullptr);
    return true;
}

void CDockBar::WrapRow(const CControlBar* pBar, size_t index) {
    if (const std::optional<Rows::Position> at = m_rows.Find(pBar))
        m_rows.SplitRow(at->row, index);
}

void CDockBar::InsertAt(CControlBar* pBar, POINT ptClient) {
    // The row under the point, before the first bar that starts behind it; a point
    // before a row starts a new row there; past them all, a new last row.
    const bool bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    const int along = bHorz ? ptClient.x : ptClient.y;
    const int across = bHorz ? ptClient.y : ptClient.x;
    for (size_t r = 0; r < m_rows.RowCount(); ++r) {
        const Rows::Row& row = m_rows.RowAt(r);
        // The row's extent across, and where along it the bar would go.
        int lo = 1 << 30;
        int hi = -(1 << 30);
        size_t nInsert = 0;
        for (size_t j = 0; j < row.size(); ++j) {
            if (!row[j]->IsVisible())
                continue;
            CRect rc = row[j]->GetWindowRect();
            ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
            lo = std::min<int>(lo, bHorz ? rc.top : rc.left);
            hi = std::max<int>(hi, bHorz ? rc.bottom : rc.right);
            if ((bHorz ? rc.left : rc.top) <= along)
                nInsert = j + 1;
        }
        if (lo < hi && across < lo) {
            m_rows.InsertRow(r, pBar);
            return;
        }
        if (lo < hi && across < hi) {
            m_rows.InsertInRow(r, nInsert, pBar);
            return;
        }
    }
    m_rows.AppendRow(pBar);
}

void CDockBar::DockControlBar(CControlBar* pBar, const RECT* lpRect) {
    CDockBar* pOld = pBar->GetDockBar();
    if (pOld)
        pOld->RemoveControlBar(pBar);

    // The bar takes this side's alignment and the border facing the frame's interior.
    DWORD dwStyle = pBar->GetBarStyle() & ~(CBRS_ALIGN_ANY | CBRS_BORDER_ANY | CBRS_FLOATING);
    if (m_bFloating) {
        dwStyle |= CBRS_FLOATING | (m_dwStyle & CBRS_ALIGN_ANY);
    } else {
        const DWORD dwAlign = m_dwStyle & CBRS_ALIGN_ANY;
        dwStyle |= dwAlign;
        if (dwAlign & CBRS_ALIGN_TOP)
            dwStyle |= CBRS_BORDER_BOTTOM;
        else if (dwAlign & CBRS_ALIGN_BOTTOM)
            dwStyle |= CBRS_BORDER_TOP;
        else if (dwAlign & CBRS_ALIGN_LEFT)
            dwStyle |= CBRS_BORDER_RIGHT;
        else
            dwStyle |= CBRS_BORDER_LEFT;
    }

    if (lpRect && !m_bFloating) {
        POINT pt{lpRect->left, lpRect->top};
        ::ScreenToClient(m_hWnd, &pt);
        InsertAt(pBar, pt);
    } else {
        m_rows.AppendRow(pBar);
    }

    pBar->SetDockBar(this);
    pBar->SetBarStyle(dwStyle);
    if (pBar->GetParent() != m_hWnd)
        ::SetParent(pBar->m_hWnd, m_hWnd);
    // The bar learns where it sits now, and its non-client area follows.
    ::SetWindowPos(pBar->m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (GetDockSite())
        GetDockSite()->DelayRecalcLayout();
    if (pOld && pOld != this && pOld->GetDockSite())
        pOld->GetDockSite()->DelayRecalcLayout();
    // A mini frame whose bar has gone closes.
    if (pOld && pOld != this && pOld->m_bFloating && pOld->GetDockedCount() == 0)
        if (CFrameWnd* pFrame = pOld->GetParentFrame())
            pFrame->PostMessage(WM_CLOSE);
}

CSize CDockBar::CalcFixedLayout(bool bStretch, bool bHorz) {
    const DWORD dwMode = bHorz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
    // A bar shown or hidden with a delay changes now, when its dock bar is laid out:
    // the bars are this window's children, so the frame's own pass never reaches them.
    if (!m_bLayoutQuery)
        for (CControlBar* pBar : m_rows.Bars())
            pBar->RecalcDelayShow(nullptr);
    // Sizes first: a sizing bar may share its row's length or wrap the row, which
    // changes the rows (never the bars' order); ask again until they stay as they are.
    std::map<CControlBar*, CSize> sizes;
    for (int nPass = 0; nPass < 3; ++nPass) {
        const Rows before = m_rows;
        for (CControlBar* pBar : before.Bars())
            if (pBar->IsVisible())
                sizes[pBar] = pBar->CalcDynamicLayout(-1, dwMode);
        if (before == m_rows)
            break;
    }

    // Then the rows, one after the other, bars 2 pixels into each other along a row.
    int across = 0;
    int maxAlong = 0;
    for (const Rows::Row& row : m_rows.Rows()) {
        int along = -kOverlap;
        int rowThickness = 0;
        for (CControlBar* pBar : row) {
            if (!pBar->IsVisible() || !sizes.count(pBar))
                continue;
            const CSize size = sizes[pBar];
            CRect rect = bHorz ? CRect(along, across, along + size.cx, across + size.cy)
                               : CRect(across, along, across + size.cx, along + size.cy);
            if (!m_bLayoutQuery) {
                CRect now = pBar->GetWindowRect();
                ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&now), 2);
                if (now != rect || !pBar->IsWindowVisible())
                    ::SetWindowPos(pBar->m_hWnd, nullptr, rect.left, rect.top, rect.Width(),
                                   rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
            }
            along += (bHorz ? size.cx : size.cy) - kOverlap;
            maxAlong = std::max(maxAlong, along + kOverlap);
            rowThickness = std::max<int>(rowThickness, bHorz ? size.cy : size.cx);
        }
        across += rowThickness;
    }
    int thickness = across;
    if (thickness > 0 && bHorz && (m_dwStyle & CBRS_BORDER_TOP))
        thickness += kBorderLine;
    if (m_bFloating)
        return CSize(maxAlong, thickness);
    if (bHorz)
        return CSize(bStretch ? kStretchLength : maxAlong, thickness);
    return CSize(thickness, bStretch ? kStretchLength : maxAlong);
}

LRESULT CDockBar::OnDockSizeParent(WPARAM wParam, LPARAM lParam) {
    auto* pLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    m_rectLayout = pLayout->rect;
    m_bLayoutQuery = pLayout->hDWP == nullptr;
    const LRESULT result = OnSizeParent(wParam, lParam);
    m_bLayoutQuery = false;
    return result;
}

LRESULT CDockBar::OnSetText(WPARAM, LPARAM) {
    // A floating dock bar's title is its mini frame's caption.
    const LRESULT result = Default();
    if (m_bFloating)
        if (CFrameWnd* pFrame = GetParentFrame())
            pFrame->DelayRecalcLayout();
    return result;
}
