#pragma once
// CFormView: a view made from a child dialog template. The dialog's window is bound to
// the object when it receives WM_INITDIALOG, so its messages and its controls'
// notifications go through the class's table; the controls are bound to member objects
// by DoDataExchange at the initial update.

#include "dialog.h"
#include "view.h"

class CFormView : public CView {
    DECLARE_DYNAMIC(CFormView)
    DECLARE_MESSAGE_MAP()
public:
    explicit CFormView(UINT nIDTemplate) : m_nIDTemplate(nIDTemplate) {}

    // Makes the dialog as a child of pParentWnd with the given id, the template's own
    // style plus WS_VISIBLE from dwStyle, and a sunken edge for WS_BORDER; joins the
    // context's document. A form that cannot be made deletes itself, as views do.
    bool Create(const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                const RECT& rect, CWnd* pParentWnd, UINT nID,
                CCreateContext* pContext = nullptr) override;

    void OnInitialUpdate() override;
    virtual void DoDataExchange(CDataExchange* pDX);
    bool UpdateData(bool bSaveAndValidate = true);
    void OnDraw(HDC) override {}

    UINT m_nIDTemplate;

private:
    static INT_PTR CALLBACK FormDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
};
