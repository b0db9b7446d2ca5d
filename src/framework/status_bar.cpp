#include "status_bar.h"

#include "owners.h"

#include <algorithm>

#include "frame_wnd.h"
#include "win_app.h"

// Shows or blanks an indicator pane.
class CStatusCmdUI : public CCmdUI {
public:
    void Enable(bool bOn) override {
        m_bEnableChanged = true;
        auto* pBar = static_cast<CStatusBar*>(m_pOther);
        CStatusBar::Pane& pane = pBar->m_panes[m_nIndex];
        if (pane.bOn == bOn)
            return;
        pane.bOn = bOn;
        pane.strText = bOn ? pane.strIndicator : std::string();
        pBar->ShowPaneText(static_cast<int>(m_nIndex));
    }
    void SetCheck(int) override {}
    void SetText(const char* lpszText) override {
        auto* pBar = static_cast<CStatusBar*>(m_pOther);
        pBar->SetPaneText(static_cast<int>(m_nIndex), lpszText, false);
    }
};

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
    ON_WM_SIZE()
END_MESSAGE_MAP()

bool CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
    DWORD dwCtrlStyle = 0;
    if (pParentWnd && (pParentWnd->GetStyle() & WS_THICKFRAME))
        dwCtrlStyle |= SBARS_SIZEGRIP;
    SetBorders(0, 0, 0, 0);
    return CreateBar(STATUSCLASSNAMEA, dwStyle, dwCtrlStyle, pParentWnd, nID);
}

int CStatusBar::MeasureText(const std::string& text) const {
    const WindowDC dc(m_hWnd);
    const SelectedObject font(dc.Get(), reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

bool CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
    std::vector<Pane> panes;
    for (int i = 0; i < nIDCount; ++i) {
        Pane pane;
        pane.nID = lpIDArray[i];
        if (pane.nID != ID_SEPARATOR) {
            if (!AfxLoadString(pane.nID, pane.strIndicator))
                return false;
            pane.strText = pane.strIndicator;
            pane.cxText = MeasureText(pane.strIndicator);
        }
        panes.push_back(pane);
    }
    m_panes = panes;
    UpdateParts();
    for (int i = 0; i < GetCount(); ++i)
        ShowPaneText(i);
    return true;
}

UINT CStatusBar::GetItemID(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount())
        return 0;
    return m_panes[static_cast<size_t>(nIndex)].nID;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const {
    for (int i = 0; i < GetCount(); ++i)
        if (m_panes[static_cast<size_t>(i)].nID == nIDFind)
            return i;
    return -1;
}

void CStatusBar::ShowPaneText(int nIndex) {
    const Pane& pane = m_panes[static_cast<size_t>(nIndex)];
    // The message pane has no frame; the indicators are sunk into the bar.
    const WPARAM type = static_cast<WPARAM>(nIndex) | (nIndex == 0 ? SBT_NOBORDERS : 0);
    SendMessage(SB_SETTEXTA, type, reinterpret_cast<LPARAM>(pane.strText.c_str()));
}

bool CStatusBar::SetPaneText(int nIndex, const char* lpszNewText, bool bUpdate) {
    if (nIndex < 0 || nIndex >= GetCount())
        return false;
    Pane& pane = m_panes[static_cast<size_t>(nIndex)];
    const std::string text = lpszNewText ? lpszNewText : "";
    if (pane.strText != text) {
        pane.strText = text;
        ShowPaneText(nIndex);
    }
    if (bUpdate)
        UpdateWindow();
    return true;
}

std::string CStatusBar::GetPaneText(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount())
        return {};
    return m_panes[static_cast<size_t>(nIndex)].strText;
}

int CStatusBar::GetPaneWidth(int nIndex) const {
    int edges[32] = {};
    const int n = static_cast<int>(SendMessage(SB_GETPARTS, 32, reinterpret_cast<LPARAM>(edges)));
    if (nIndex < 0 || nIndex >= n)
        return 0;
    const int left = nIndex == 0 ? 0 : edges[nIndex - 1];
    const int right = edges[nIndex] == -1 ? GetClientRect().right : edges[nIndex];
    return right - left;
}

void CStatusBar::UpdateParts() {
    if (m_panes.empty())
        return;
    int borders[3] = {};
    SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    std::vector<int> widths;
    for (const Pane& pane : m_panes)
        widths.push_back(pane.cxText + 2 * borders[2] + 8);
    const int grip = (GetStyle() & SBARS_SIZEGRIP) ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    const std::vector<int> edges = StatusPaneEdges(GetClientRect().Width(), widths, grip);
    SendMessage(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

CSize CStatusBar::CalcFixedLayout(bool bStretch, bool bHorz) {
    const CSize extra = CControlBar::CalcFixedLayout(false, bHorz);
    TEXTMETRICA tm{};
    {
        const WindowDC dc(m_hWnd);
        const SelectedObject font(dc.Get(), reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
        GetTextMetricsA(dc.Get(), &tm);
    }
    int borders[3] = {};
    SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    const int cy =
        std::max<int>(tm.tmHeight + 2 * borders[1] + 6, GetSystemMetrics(SM_CYHSCROLL) + 4);
    return CSize(bStretch ? kStretchLength : extra.cx, cy + extra.cy);
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, bool) {
    // Indicators keep showing when nobody updates them.
    CStatusCmdUI state;
    state.m_pOther = this;
    for (int i = 0; i < GetCount(); ++i) {
        const UINT nID = m_panes[static_cast<size_t>(i)].nID;
        if (nID == ID_SEPARATOR)
            continue;
        state.m_nIndex = static_cast<UINT>(i);
        state.m_nID = nID;
        state.DoUpdate(pTarget, false);
    }
}

void CStatusBar::OnSize(UINT, int, int) {
    Default();
    UpdateParts();
}
