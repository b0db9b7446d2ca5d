#pragma once
// CDialog: a modal dialog made from a dialog template resource. The dialog's window is
// subclassed when it receives WM_INITDIALOG, so its messages, the commands of its
// controls and the notifications they reflect go through the class's table. DoModal
// runs a loop of its own that offers every message to PreTranslateMessage of the
// window it is for and of its parents up to the dialog (tooltips need the mouse
// messages of their tools), then to the dialog's keyboard handling.

#include "wnd.h"

// Binding dialog controls to member objects.
class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, bool bSaveAndValidate)
        : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate) {}
    CWnd* m_pDlgWnd;
    bool m_bSaveAndValidate;
    bool m_bFailed = false;
};

// Subclasses control nIDC of the dialog as rControl, once; a missing control fails
// the exchange.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
    DECLARE_MESSAGE_MAP()
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Shows the dialog and returns the value given to EndDialog, or -1 when the
    // dialog cannot be made.
    virtual int DoModal();
    void EndDialog(int nResult);

    virtual bool OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    bool UpdateData(bool bSaveAndValidate = true);
    bool PreTranslateMessage(MSG* pMsg) override;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

protected:
    virtual void OnOK();
    virtual void OnCancel();

private:
    static INT_PTR CALLBACK DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
    void RunModalLoop();
    void OnOKCommand() { OnOK(); }
    void OnCancelCommand() { OnCancel(); }

    bool m_bEnded = false;
    int m_nModalResult = -1;
};
