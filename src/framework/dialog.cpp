#include "dialog.h"

#include <algorithm>

#include "win_app.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOKCommand)
    ON_COMMAND(IDCANCEL, OnCancelCommand)
END_MESSAGE_MAP()

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd)
        return; // bound already
    if (!rControl.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd))
        pDX->m_bFailed = true;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    // A dialog object that goes away first takes its window with it.
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

namespace {

// A dialog opens centred over its owner (over the work area without one), kept on
// the owner's monitor, as users expect of a program's dialogs.
void CenterOverOwner(HWND hDlg) {
    RECT dialog;
    if (!GetWindowRect(hDlg, &dialog))
        return;
    HWND hOwner = GetWindow(hDlg, GW_OWNER);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(hOwner ? hOwner : hDlg, MONITOR_DEFAULTTONEAREST),
                         &monitor))
        return;
    RECT around = monitor.rcWork;
    if (hOwner && IsWindowVisible(hOwner) && !IsIconic(hOwner))
        GetWindowRect(hOwner, &around);
    const LONG width = dialog.right - dialog.left;
    const LONG height = dialog.bottom - dialog.top;
    LONG x = around.left + ((around.right - around.left) - width) / 2;
    LONG y = around.top + ((around.bottom - around.top) - height) / 2;
    const RECT& work = monitor.rcWork;
    x = std::max(work.left, std::min(x, work.right - width));
    y = std::max(work.top, std::min(y, work.bottom - height));
    SetWindowPos(hDlg, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

INT_PTR CALLBACK CDialog::DialogProc(HWND hDlg, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG)
        return FALSE; // everything else has been through the object's table already
    auto* pDlg = reinterpret_cast<CDialog*>(lParam);
    if (!pDlg || !pDlg->SubclassWindow(hDlg))
        return TRUE;
    CenterOverOwner(hDlg);
    // The window procedure is ours from here on; the initialisation runs through it
    // too, so an exception in OnInitDialog cannot leave this procedure.
    bool bFocusSet = false;
    try {
        bFocusSet = !pDlg->OnInitDialog();
    } catch (...) {
        OutputDebugStringA("dscp: OnInitDialog threw\n");
        pDlg->EndDialog(-1);
    }
    return bFocusSet ? FALSE : TRUE;
}

int CDialog::DoModal() {
    HRSRC hRes = FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_nIDTemplate),
                               reinterpret_cast<LPCSTR>(RT_DIALOG));
    HGLOBAL hTemplate = hRes ? LoadResource(GetModuleHandleA(nullptr), hRes) : nullptr;
    if (!hTemplate)
        return -1;

    HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!hOwner) {
        CWnd* pMain = AfxGetMainWnd();
        if (pMain && pMain->m_hWnd)
            hOwner = GetLastActivePopup(pMain->m_hWnd);
    }
    m_bEnded = false;
    m_nModalResult = -1;
    HWND hDlg = CreateDialogIndirectParamA(
        GetModuleHandleA(nullptr), static_cast<LPCDLGTEMPLATEA>(LockResource(hTemplate)), hOwner,
        &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (!hDlg)
        return -1;

    const bool bEnableOwner = hOwner && ::IsWindowEnabled(hOwner);
    if (bEnableOwner)
        EnableWindow(hOwner, FALSE);
    if (!m_bEnded) {
        ::ShowWindow(hDlg, SW_SHOWNORMAL);
        RunModalLoop();
    }
    // Give the activation back before the dialog goes, so the owner keeps it.
    if (bEnableOwner)
        EnableWindow(hOwner, TRUE);
    if (hOwner && GetActiveWindow() == hDlg)
        SetActiveWindow(hOwner);
    ::DestroyWindow(hDlg);
    return m_nModalResult;
}

void CDialog::RunModalLoop() {
    MSG msg;
    while (!m_bEnded && m_hWnd) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: close the dialog and leave WM_QUIT to the main loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            if (!m_bEnded)
                EndDialog(IDCANCEL);
            break;
        }
        if (!PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

bool CDialog::PreTranslateMessage(MSG* pMsg) {
    // The controls of the dialog first (a control's tooltip relays its mouse messages).
    for (HWND h = pMsg->hwnd; h && h != m_hWnd; h = ::GetParent(h)) {
        CWnd* pWnd = FromHandlePermanent(h);
        if (pWnd && pWnd != this && pWnd->PreTranslateMessage(pMsg))
            return true;
    }
    // Tab, arrows, Enter and Escape as every dialog handles them.
    return m_hWnd && IsDialogMessageA(m_hWnd, pMsg);
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    m_bEnded = true;
    if (m_hWnd)
        PostMessage(WM_NULL); // wakes the modal loop
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::UpdateData(bool bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return !dx.m_bFailed;
}

void CDialog::OnOK() {
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}
