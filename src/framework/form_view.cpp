#include "form_view.h"

#include "document.h"

IMPLEMENT_DYNAMIC(CFormView, CView)

BEGIN_MESSAGE_MAP(CFormView, CView)
END_MESSAGE_MAP()

INT_PTR CALLBACK CFormView::FormDialogProc(HWND hDlg, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG)
        return FALSE; // everything else went through the object's table already
    auto* pForm = reinterpret_cast<CFormView*>(lParam);
    if (pForm)
        pForm->SubclassWindow(hDlg);
    return FALSE; // a view takes no focus of its own when it is made
}

bool CFormView::Create(const char*, const char*, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                       UINT nID, CCreateContext* pContext) {
    HINSTANCE hInst = GetModuleHandleA(nullptr);
    HRSRC hRes =
        FindResourceA(hInst, MAKEINTRESOURCEA(m_nIDTemplate), reinterpret_cast<LPCSTR>(RT_DIALOG));
    HGLOBAL hTemplate = hRes ? LoadResource(hInst, hRes) : nullptr;
    HWND hDlg = nullptr;
    if (hTemplate && pParentWnd)
        hDlg = CreateDialogIndirectParamA(
            hInst, static_cast<LPCDLGTEMPLATEA>(LockResource(hTemplate)), pParentWnd->m_hWnd,
            &CFormView::FormDialogProc, reinterpret_cast<LPARAM>(this));
    if (!hDlg || m_hWnd != hDlg) {
        if (hDlg)
            ::DestroyWindow(hDlg);
        delete this;
        return false;
    }
    ::SetWindowLongPtrA(m_hWnd, GWLP_ID, static_cast<LONG_PTR>(nID));
    if (dwStyle & WS_BORDER)
        ModifyStyleEx(0, WS_EX_CLIENTEDGE, SWP_FRAMECHANGED);
    SetWindowPos(nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (CDocument* pDoc = pContext ? pContext->m_pCurrentDoc : nullptr)
        pDoc->AddView(this);
    if (dwStyle & WS_VISIBLE)
        ShowWindow(SW_SHOWNOACTIVATE);
    return true;
}

void CFormView::OnInitialUpdate() {
    UpdateData(false);
    CView::OnInitialUpdate();
}

void CFormView::DoDataExchange(CDataExchange*) {}

bool CFormView::UpdateData(bool bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return !dx.m_bFailed;
}
