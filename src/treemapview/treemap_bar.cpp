#include "treemap_bar.h"

IMPLEMENT_DYNAMIC(CTreemapBar, CSizingControlBarCF)

BEGIN_MESSAGE_MAP(CTreemapBar, CSizingControlBarCF)
    ON_WM_CREATE()
    ON_WM_SIZE()
END_MESSAGE_MAP()

int CTreemapBar::OnCreate(LPCREATESTRUCTA lpcs) {
    CCreateContext context;
    context.m_pCurrentDoc = m_pDocument;
    if (CSizingControlBarCF::OnCreate(lpcs) == -1 || !m_wndTreemap.Create(this, 1, &context))
        return -1;
    return 0;
}

void CTreemapBar::OnSize(UINT, int, int) {
    Default();
    if (m_wndTreemap.m_hWnd) {
        const CRect rc = GetClientRect();
        m_wndTreemap.SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
                                  SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
