#include "dock_bar.h"

#include <algorithm>
#include <map>

#include "dock_context.h"
#include "frame_wnd.h"
#include "mini_dock_frame.h"

namespace {

constexpr int kOverlap = 2; // neighbouring bars share their 2-pixel borders

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
    m_arrBars.push_back(nullptr);
    m_cxLeftBorder = m_cxRightBorder = m_cyTopBorder = m_cyBottomBorder = 0;
}

bool CDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
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
    m_pDockSite = dynamic_cast<CFrameWnd*>(pParentWnd);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return true;
}

CControlBar* CDockBar::GetBarAt(int nIndex) const {
    if (nIndex < 0 || nIndex >= static_cast<int>(m_arrBars.size()) ||
        !IsBarEntry(m_arrBars[nIndex]))
        return nullptr;
    return static_cast<CControlBar*>(m_arrBars[nIndex]);
}

int CDockBar::FindBar(const CControlBar* pBar, int nPosExclude) const {
    for (int i = 0; i < static_cast<int>(m_arrBars.size()); ++i)
        if (i != nPosExclude && m_arrBars[i] == pBar)
            return i;
    return -1;
}

int CDockBar::GetDockedCount() const {
    return static_cast<int>(std::count_if(m_arrBars.begin(), m_arrBars.end(), IsBarEntry));
}

int CDockBar::GetDockedVisibleCount() const {
    int n = 0;
    for (int i = 0; i < static_cast<int>(m_arrBars.size()); ++i)
        if (CControlBar* pBar = GetBarAt(i); pBar && pBar->IsVisible())
            ++n;
    return n;
}

bool CDockBar::RemoveControlBar(CControlBar* pBar) {
    const int i = FindBar(pBar);
    if (i < 0)
        return false;
    m_arrBars.erase(m_arrBars.begin() + i);
    // A row left empty: two separators in a row.
    if (i > 0 && i < static_cast<int>(m_arrBars.size()) && m_arrBars[i - 1] == nullptr &&
        m_arrBars[i] == nullptr)
        m_arrBars.erase(m_arrBars.begin() + i);
    if (m_arrBars.empty() || m_arrBars.back() != nullptr)
        m_arrBars.push_back(nullptr);
    if (pBar->m_pDockBar == this)
        pBar->m_pDockBar = nullptr;
    return true;
}

void CDockBar::DockControlBar(CControlBar* pBar, const RECT* lpRect) {
    CDockBar* pOld = dynamic_cast<CDockBar*>(pBar->m_pDockBar);
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

    // Where it goes in the list: the row under the rectangle, before the first bar
    // that starts behind it; or a new last row.
    int nInsert = -1;
    bool bNewRow = true;
    if (lpRect && !m_bFloating) {
        const bool bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
        POINT pt{lpRect->left, lpRect->top};
        ::ScreenToClient(m_hWnd, &pt);
        const int along = bHorz ? pt.x : pt.y;
        const int across = bHorz ? pt.y : pt.x;
        int rowStart = 1;
        for (int i = 1; i < static_cast<int>(m_arrBars.size()); ++i) {
            if (m_arrBars[i] != nullptr)
                continue;
            // The row rowStart..i-1: its extent across.
            int lo = 1 << 30;
            int hi = -(1 << 30);
            for (int j = rowStart; j < i; ++j) {
                CControlBar* pRowBar = GetBarAt(j);
                if (!pRowBar || !pRowBar->IsVisible())
                    continue;
                CRect rc = pRowBar->GetWindowRect();
                ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
                lo = std::min<int>(lo, bHorz ? rc.top : rc.left);
                hi = std::max<int>(hi, bHorz ? rc.bottom : rc.right);
                if ((bHorz ? rc.left : rc.top) <= along)
                    nInsert = j + 1;
            }
            if (lo < hi && across < lo) {
                nInsert = rowStart; // a new row before this one
                break;
            }
            if (lo < hi && across < hi) {
                if (nInsert < rowStart)
                    nInsert = rowStart;
                bNewRow = false;
                break;
            }
            nInsert = -1;
            rowStart = i + 1;
        }
    }
    if (nInsert < 0) {
        m_arrBars.insert(m_arrBars.end(), pBar);
        m_arrBars.push_back(nullptr);
    } else {
        m_arrBars.insert(m_arrBars.begin() + nInsert, pBar);
        if (bNewRow)
            m_arrBars.insert(m_arrBars.begin() + nInsert + 1, nullptr);
    }

    pBar->m_pDockBar = this;
    pBar->SetBarStyle(dwStyle);
    if (pBar->GetParent() != m_hWnd)
        ::SetParent(pBar->m_hWnd, m_hWnd);
    // The bar learns where it sits now, and its non-client area follows.
    ::SetWindowPos(pBar->m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (m_pDockSite)
        m_pDockSite->DelayRecalcLayout();
    if (pOld && pOld != this && pOld->m_pDockSite)
        pOld->m_pDockSite->DelayRecalcLayout();
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
        for (size_t i = 0; i < m_arrBars.size(); ++i)
            if (CControlBar* pBar = GetBarAt(static_cast<int>(i)))
                pBar->RecalcDelayShow(nullptr);
    // Sizes first: a sizing bar may share its row's length or wrap the row, which
    // changes the list; ask again until it stays as it is.
    std::map<CControlBar*, CSize> sizes;
    for (int nPass = 0; nPass < 3; ++nPass) {
        const std::vector<void*> before = m_arrBars;
        for (size_t i = 0; i < m_arrBars.size(); ++i) {
            CControlBar* pBar = GetBarAt(static_cast<int>(i));
            if (!pBar || !pBar->IsVisible())
                continue;
            sizes[pBar] = pBar->CalcDynamicLayout(-1, dwMode);
            const int nNow = FindBar(pBar);
            if (nNow >= 0)
                i = static_cast<size_t>(nNow);
        }
        if (before == m_arrBars)
            break;
    }

    // Then the rows, one after the other, bars 2 pixels into each other along a row.
    int across = 0;
    int along = -kOverlap;
    int rowThickness = 0;
    int maxAlong = 0;
    for (size_t i = 1; i < m_arrBars.size(); ++i) {
        if (m_arrBars[i] == nullptr) {
            across += rowThickness;
            rowThickness = 0;
            along = -kOverlap;
            continue;
        }
        CControlBar* pBar = GetBarAt(static_cast<int>(i));
        if (!pBar || !pBar->IsVisible() || !sizes.count(pBar))
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
    int thickness = across;
    if (thickness > 0 && bHorz && (m_dwStyle & CBRS_BORDER_TOP))
        thickness += 2;
    if (m_bFloating)
        return CSize(maxAlong, thickness);
    if (bHorz)
        return CSize(bStretch ? 32767 : maxAlong, thickness);
    return CSize(thickness, bStretch ? 32767 : maxAlong);
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
