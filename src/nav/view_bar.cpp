#include "view_bar.h"

#include "win_app.h"

IMPLEMENT_DYNAMIC(CViewBar, CSizingControlBarCF)

BEGIN_MESSAGE_MAP(CViewBar, CSizingControlBarCF)
    ON_WM_CREATE()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CViewBar::CViewBar()
    : m_pFrameWnd(static_cast<CFrameWnd*>(RUNTIME_CLASS(CFrameWnd)->CreateObject())) {}

CViewBar::~CViewBar() {
    // A frame that never got as far as a window has nothing to delete it.
    if (!m_bFrameCreateTried)
        delete m_pFrameWnd;
}

bool CViewBar::Create(CWnd* pParentWnd, const CRuntimeClass* pViewClass, CCreateContext* pContext,
                      const char* lpszWindowName, DWORD dwStyle, UINT nID) {
    if (pContext)
        m_Context = *pContext;
    else if (CWnd* pMain = AfxGetMainWnd())
        m_Context.m_pCurrentFrame = dynamic_cast<CFrameWnd*>(pMain);
    m_Context.m_pNewViewClass = pViewClass;
    return CSizingControlBarCF::Create(lpszWindowName, pParentWnd, nID, dwStyle);
}

int CViewBar::OnCreate(LPCREATESTRUCTA lpcs) {
    if (CSizingControlBarCF::OnCreate(lpcs) == -1)
        return -1;
    m_bFrameCreateTried = true;
    // A failed frame deletes itself with its window.
    if (!m_pFrameWnd->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                             CRect(0, 0, 0, 0), this, 0, 0, &m_Context)) {
        m_pFrameWnd = nullptr;
        return -1;
    }
    return 0;
}

void CViewBar::OnSize(UINT, int, int) {
    Default();
    if (m_pFrameWnd && m_pFrameWnd->m_hWnd) {
        const CRect rc = GetClientRect();
        m_pFrameWnd->SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOREDRAW);
    }
}
