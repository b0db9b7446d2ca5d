#include "view.h"

#include "document.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
    ON_WM_PAINT()
    ON_WM_MOUSEACTIVATE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CView::~CView() {
    if (m_pDocument)
        m_pDocument->RemoveView(this); // may delete the document
}

void CView::PostNcDestroy() {
    // Views are made on the heap by their frame and go with their window.
    delete this;
}

bool CView::PreCreateWindow(CREATESTRUCTA& cs) {
    // The plain border becomes the sunken edge of a 3-D client area.
    if (cs.style & WS_BORDER) {
        cs.style &= ~WS_BORDER;
        cs.dwExStyle |= WS_EX_CLIENTEDGE;
    }
    return CWnd::PreCreateWindow(cs);
}

bool CView::Create(const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                   const RECT& rect, CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
    CDocument* pDoc = pContext ? pContext->m_pCurrentDoc : nullptr;
    if (!CWnd::Create(lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID, pContext))
        return false;
    if (pDoc)
        pDoc->AddView(this);
    return true;
}

void CView::OnInitialUpdate() {
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView* pSender, LPARAM, CObject*) {
    if (pSender != this)
        Invalidate();
}

void CView::OnActivateView(bool, CView*, CView*) {}

bool CView::OnCmdMsg(CmdMsg& msg) {
    if (CWnd::OnCmdMsg(msg))
        return true;
    return m_pDocument && m_pDocument->OnCmdMsg(msg);
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM) {
    OnInitialUpdate();
    return 0;
}

void CView::OnPaint() {
    if (m_pfnSuper) {
        Default(); // a control paints itself
        return;
    }
    PAINTSTRUCT ps;
    HDC hDC = BeginPaint(m_hWnd, &ps);
    OnDraw(hDC);
    EndPaint(m_hWnd, &ps);
}

int CView::OnMouseActivate(HWND, UINT, UINT) {
    const int nResult = static_cast<int>(Default());
    if (nResult == MA_NOACTIVATE || nResult == MA_NOACTIVATEANDEAT)
        return nResult;
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->SetActiveView(this);
    return nResult;
}

void CView::OnDestroy() {
    if (CFrameWnd* pFrame = GetParentFrame(); pFrame && pFrame->GetActiveView() == this)
        pFrame->SetActiveView(nullptr, false);
    Default();
}
