#include "frame_wnd.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "control_bar.h"
#include "document.h"
#include "resource_text.h"
#include "status_bar.h"
#include "view.h"
#include "win_app.h"
#include "window_dpi.h"

namespace {

// Menu item ids from here on are the system's commands (SC_SIZE to SC_CONTEXTHELP and
// what lies between), never ours.
constexpr UINT kFirstSystemCommand = 0xF000;
constexpr UINT kEndOfSystemCommands = 0xF1F0;
// WM_MENUSELECT's flags when the menu closes (with no menu handle).
constexpr UINT kMenuClosed = 0xFFFF;

const char* FrameClassName() {
    static const char* const name = CWnd::RegisterFrameworkClass("DscpFrame");
    return name;
}

HICON LoadFrameIcon(UINT nID, int cx, int cy) {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nID),
                                         IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR));
}

} // namespace

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_SETFOCUS()
    ON_WM_INITMENUPOPUP()
    ON_WM_MENUSELECT()
    ON_WM_EXITMENULOOP()
    ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
    ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_COMMAND_EX_RANGE(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, OnBarCheck)
    ON_UPDATE_COMMAND_UI_RANGE(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST,
                               OnUpdateControlBarMenu)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_CAPS, OnUpdateKeyIndicator)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_NUM, OnUpdateKeyIndicator)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_SCRL, OnUpdateKeyIndicator)
    ON_NOTIFY_RANGE(TTN_GETDISPINFOA, 0, 0xFFFF, OnToolTipText)
    ON_NOTIFY_RANGE(TTN_GETDISPINFOW, 0, 0xFFFF, OnToolTipText)
    ON_NOTIFY_RANGE(TBN_HOTITEMCHANGE, 0, 0xFFFF, OnToolbarHotItemChange)
END_MESSAGE_MAP()

CFrameWnd::~CFrameWnd() = default;

void CFrameWnd::PostNcDestroy() {
    // Frames are made on the heap by templates and by other windows, and go with their
    // window.
    delete this;
}

bool CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!cs.lpszClass)
        cs.lpszClass = FrameClassName();
    return true;
}

bool CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                          CCreateContext* pContext) {
    m_nIDHelp = nIDResource;
    std::string full;
    AfxLoadString(nIDResource, full);
    m_strTitle = GetSubstring(full, kWindowTitle);

    HINSTANCE hInst = GetModuleHandleA(nullptr);
    m_hAccelTable = LoadAcceleratorsA(hInst, MAKEINTRESOURCEA(nIDResource));
    HMENU hMenu = LoadMenuA(hInst, MAKEINTRESOURCEA(nIDResource));
    m_hMenuDefault = hMenu;
    m_iconBig.Reset(
        LoadFrameIcon(nIDResource, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)));
    m_iconSmall.Reset(
        LoadFrameIcon(nIDResource, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)));

    const bool bChild = (dwDefaultStyle & WS_CHILD) != 0;
    if (!CreateEx(0, nullptr, m_strTitle.c_str(), dwDefaultStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                  bChild ? nullptr : hMenu, pContext)) {
        // The frame is gone (it deletes itself); so is a menu it had taken.
        return false;
    }
    if (m_iconBig)
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_iconBig.Get()));
    if (m_iconSmall)
        SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_iconSmall.Get()));
    if (!pContext)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, true, true);
    return true;
}

bool CFrameWnd::Create(const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                       const RECT& rect, CWnd* pParentWnd, UINT nIDMenu, DWORD dwExStyle,
                       CCreateContext* pContext) {
    HMENU hMenu = nullptr;
    if (nIDMenu && !(dwStyle & WS_CHILD)) {
        hMenu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIDMenu));
        m_hMenuDefault = hMenu;
    }
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    pParentWnd ? pParentWnd->m_hWnd : nullptr, hMenu, pContext);
}

int CFrameWnd::OnCreate(LPCREATESTRUCTA lpcs) {
    auto* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (!OnCreateClient(lpcs, pContext))
        return -1;
    return 0;
}

bool CFrameWnd::OnCreateClient(LPCREATESTRUCTA, CCreateContext* pContext) {
    if (pContext && pContext->m_pNewViewClass)
        return CreateView(pContext, AFX_IDW_PANE_FIRST) != nullptr;
    return true;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID) {
    std::unique_ptr<CObject> pObject(pContext->m_pNewViewClass->CreateObject());
    auto* pView = dynamic_cast<CWnd*>(pObject.get());
    if (!pView)
        return nullptr;
    pObject.release(); // the view owns itself from here on
    // A view that fails to be created deletes itself.
    if (!pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this,
                       nID, pContext))
        return nullptr;
    return pView;
}

void CFrameWnd::OnDestroy() {
    // The views go after this; none of them is active any more.
    m_pViewActive = nullptr;
    ForgetFrameDpi(m_hWnd);
    Default();
}

namespace {

struct DpiMove {
    int nOld;
    int nNew;
};

// A report-mode list keeps its columns' widths in inches.
BOOL CALLBACK RescaleListColumns(HWND hChild, LPARAM lParam) {
    const auto* pMove = reinterpret_cast<const DpiMove*>(lParam);
    char szClass[32] = {};
    ::GetClassNameA(hChild, szClass, sizeof(szClass));
    if (lstrcmpiA(szClass, WC_LISTVIEWA) != 0)
        return TRUE;
    const HWND hHeader = ListView_GetHeader(hChild);
    const int nColumns = hHeader ? Header_GetItemCount(hHeader) : 0;
    for (int i = 0; i < nColumns; ++i) {
        const int nWidth = ListView_GetColumnWidth(hChild, i);
        ListView_SetColumnWidth(hChild, i, DpiScale::Rescale(nWidth, pMove->nOld, pMove->nNew));
    }
    return TRUE;
}

BOOL CALLBACK TellScaleChanged(HWND hChild, LPARAM) {
    ::SendMessageA(hChild, WM_DPICHANGED_AFTERPARENT, 0, 0);
    return TRUE;
}

} // namespace

LRESULT CFrameWnd::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    const int nOldDpi = WindowDpi(m_hWnd);
    const int nDpi = HIWORD(wParam);
    SetFrameDpi(m_hWnd, nDpi);
    if (nDpi != nOldDpi) {
        // A floating bar shows where its own small frame is, and follows that frame's scale.
        for (CControlBar* pBar : m_listControlBars)
            if (pBar->m_hWnd && ::GetAncestor(pBar->m_hWnd, GA_ROOT) == m_hWnd)
                pBar->OnDpiChanged(nDpi);
        DpiMove move{nOldDpi, nDpi};
        ::EnumChildWindows(m_hWnd, RescaleListColumns, reinterpret_cast<LPARAM>(&move));
        // Every window inside hears of it as the system tells windows of a new scale (which
        // not every system does): what it draws with follows.
        ::EnumChildWindows(m_hWnd, TellScaleChanged, 0);
        OnFrameDpiChanged(nOldDpi, nDpi);
    }
    if (const auto* pSuggested = reinterpret_cast<const RECT*>(lParam))
        ::SetWindowPos(m_hWnd, nullptr, pSuggested->left, pSuggested->top,
                       pSuggested->right - pSuggested->left, pSuggested->bottom - pSuggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    RecalcLayout();
    return 0;
}

void CFrameWnd::SetActiveView(CView* pViewNew, bool bNotify) {
    CView* pViewOld = m_pViewActive;
    if (pViewNew == pViewOld)
        return;
    m_pViewActive = pViewNew;
    if (bNotify && pViewOld)
        pViewOld->OnActivateView(false, pViewNew, pViewOld);
    if (bNotify && pViewNew)
        pViewNew->OnActivateView(true, pViewNew, pViewOld);
}

CDocument* CFrameWnd::GetActiveDocument() const {
    return m_pViewActive ? m_pViewActive->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, bool bMakeVisible) {
    if (!m_pViewActive) {
        if (auto* pView =
                dynamic_cast<CView*>(FromHandlePermanent(GetDescendantWindow(AFX_IDW_PANE_FIRST))))
            SetActiveView(pView, false);
    }
    if (bMakeVisible) {
        // Every view inside, those in control bars included, wherever the bar is: a
        // floating bar lives in a mini frame, a window of its own beside this frame.
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, true, true);
        std::vector<HWND> miniFrames;
        for (CControlBar* pBar : m_listControlBars) {
            if (!pBar->m_hWnd || ::IsChild(m_hWnd, pBar->m_hWnd))
                continue;
            const HWND hRoot = ::GetAncestor(pBar->m_hWnd, GA_ROOT);
            if (std::find(miniFrames.begin(), miniFrames.end(), hRoot) == miniFrames.end())
                miniFrames.push_back(hRoot);
        }
        for (HWND hMiniFrame : miniFrames)
            if (CWnd* pMiniFrame = FromHandlePermanent(hMiniFrame))
                pMiniFrame->SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, true, true);
        ActivateFrame(-1);
        if (m_pViewActive)
            m_pViewActive->OnActivateView(true, m_pViewActive, m_pViewActive);
    }
    (void)pDoc;
    OnUpdateFrameTitle(true);
    SetMessageText(AFX_IDS_IDLEMESSAGE);
}

void CFrameWnd::ActivateFrame(int nCmdShow) {
    if (nCmdShow == -1) {
        if (!IsWindowVisible())
            nCmdShow = SW_SHOWNORMAL;
        else if (IsIconic(m_hWnd))
            nCmdShow = SW_RESTORE;
    }
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->GetMainWnd() == this)
        if (const int nStart = pApp->TakeCmdShow(); nStart != -1)
            nCmdShow = nStart; // how the program was asked to start, once
    if (nCmdShow != -1) {
        ShowWindow(nCmdShow);
        RecalcLayout();
    }
}

void CFrameWnd::OnUpdateFrameTitle(bool bAddToTitle) {
    if (!(GetStyle() & FWS_ADDTOTITLE))
        return; // the frame's owner decides the title
    CDocument* pDoc = GetActiveDocument();
    std::string title = m_strTitle;
    if (bAddToTitle && pDoc && !pDoc->GetTitle().empty())
        title = pDoc->GetTitle() + " - " + m_strTitle;
    if (GetWindowText() != title)
        SetWindowText(title);
}

CFrameWnd* CWnd::GetParentFrame() const {
    for (HWND h = ::GetParent(m_hWnd); h; h = ::GetParent(h)) {
        if (auto* pFrame = dynamic_cast<CFrameWnd*>(FromHandlePermanent(h)))
            return pFrame;
    }
    return nullptr;
}

void CFrameWnd::AddControlBar(CControlBar* pBar) {
    if (std::find(m_listControlBars.begin(), m_listControlBars.end(), pBar) ==
        m_listControlBars.end())
        m_listControlBars.push_back(pBar);
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar) {
    m_listControlBars.erase(std::remove(m_listControlBars.begin(), m_listControlBars.end(), pBar),
                            m_listControlBars.end());
}

CControlBar* CFrameWnd::GetControlBar(UINT nID) const {
    for (CControlBar* pBar : m_listControlBars)
        if (pBar->m_hWnd && static_cast<UINT>(pBar->GetDlgCtrlID()) == nID)
            return pBar;
    return nullptr;
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, bool bShow, bool bDelay) {
    if (bDelay) {
        pBar->DelayShow(bShow);
        DelayRecalcLayout();
    } else {
        pBar->DelayShow(bShow); // forget a pending change
        pBar->ShowWindow(bShow ? SW_SHOWNOACTIVATE : SW_HIDE);
        RecalcLayout();
    }
    // A floating bar's mini frame shows and hides with it.
    if (pBar->IsFloating())
        if (CFrameWnd* pFrame = pBar->GetParentFrame(); pFrame && pFrame != this) {
            if (bDelay)
                pFrame->DelayRecalcLayout();
            else
                pFrame->RecalcLayout();
        }
}

void CFrameWnd::RecalcLayout() {
    if (m_bInRecalcLayout || !m_hWnd)
        return;
    m_bInRecalcLayout = true;
    m_nIdleFlags &= ~static_cast<UINT>(idleLayout);
    RECT border = m_rectBorder;
    RepositionBars(0, kAllChildIds, AFX_IDW_PANE_FIRST, reposExtra, &border);
    m_bInRecalcLayout = false;
}

void CFrameWnd::DelayRecalcLayout() {
    m_nIdleFlags |= idleLayout;
}

void CFrameWnd::OnSize(UINT nType, int, int) {
    Default();
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

bool CFrameWnd::OnEraseBkgnd(HDC hDC) {
    // The view covers the middle; only the frame's uncovered edges need a background.
    if (m_pViewActive && m_pViewActive->IsWindowVisible())
        return true;
    return DefWindowProc(WM_ERASEBKGND, reinterpret_cast<WPARAM>(hDC), 0) != 0;
}

void CFrameWnd::OnSetFocus(HWND) {
    if (m_pViewActive && m_pViewActive->m_hWnd)
        ::SetFocus(m_pViewActive->m_hWnd);
    else
        Default();
}

void CFrameWnd::OnClose() {
    CDocument* pDoc = GetActiveDocument();
    if (pDoc && !pDoc->CanCloseFrame(this))
        return;
    DestroyWindow();
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
    UpdateFloatingBars(wParam != 0);
    if (m_nIdleFlags & idleLayout)
        RecalcLayout();
    if (m_nIdleFlags & idleTitle) {
        m_nIdleFlags &= ~static_cast<UINT>(idleTitle);
        OnUpdateFrameTitle(true);
    }
    return 0;
}

bool CFrameWnd::OnCmdMsg(CmdMsg& msg) {
    if (CCmdTarget::OnCmdMsg(msg))
        return true;
    if (m_pViewActive && m_pViewActive->OnCmdMsg(msg))
        return true;
    CWinApp* pApp = AfxGetApp();
    return pApp && pApp->OnCmdMsg(msg);
}

bool CFrameWnd::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hAccelTable &&
        TranslateAcceleratorA(m_hWnd, m_hAccelTable, pMsg))
        return true;
    return false;
}

void CFrameWnd::OnInitMenuPopup(HMENU hMenu, UINT, bool bSysMenu) {
    Default();
    if (bSysMenu)
        return;
    CCmdUI state;
    state.m_hMenu = hMenu;
    const int nCount = GetMenuItemCount(hMenu);
    for (int i = 0; i < nCount; ++i) {
        const UINT nID = GetMenuItemID(hMenu, i);
        if (nID == 0 || nID == static_cast<UINT>(-1))
            continue; // separators and submenus (their items update when they open)
        state.m_nIndex = static_cast<UINT>(i);
        state.m_nID = nID;
        state.DoUpdate(this, m_bAutoMenuEnable && nID < kFirstSystemCommand);
    }
}

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hMenu) {
    if (nFlags == kMenuClosed && !hMenu)
        m_nIDTracking = AFX_IDS_IDLEMESSAGE; // the menu closed
    else if (nFlags & (MF_SEPARATOR | MF_POPUP))
        m_nIDTracking = 0;
    else if (nItemID >= kFirstSystemCommand && nItemID < kEndOfSystemCommands)
        m_nIDTracking = 0; // system commands have no prompts of ours
    else
        m_nIDTracking = nItemID;
    if (m_nIDTracking != m_nIDLastMessage)
        SendMessage(WM_SETMESSAGESTRING, m_nIDTracking);
}

void CFrameWnd::OnExitMenuLoop(bool) {
    m_nIDTracking = AFX_IDS_IDLEMESSAGE;
    if (m_nIDLastMessage != AFX_IDS_IDLEMESSAGE)
        SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
}

void CFrameWnd::GetMessageString(UINT nID, std::string& rMessage) const {
    rMessage.clear();
    std::string full;
    if (nID != 0 && AfxLoadString(nID, full))
        rMessage = PromptText(full);
}

HWND CFrameWnd::GetMessageBar() const {
    return GetDescendantWindow(AFX_IDW_STATUS_BAR);
}

void CFrameWnd::SetMessageText(const char* lpszText) {
    SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(lpszText));
}

void CFrameWnd::SetMessageText(UINT nID) {
    SendMessage(WM_SETMESSAGESTRING, nID);
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam) {
    const UINT nIDLast = m_nIDLastMessage;
    std::string text;
    if (lParam)
        text = reinterpret_cast<const char*>(lParam);
    else
        GetMessageString(static_cast<UINT>(wParam), text);
    m_nIDLastMessage = lParam ? 0 : static_cast<UINT>(wParam);
    HWND hBar = GetMessageBar();
    if (auto* pBar = dynamic_cast<CStatusBar*>(FromHandlePermanent(hBar)))
        pBar->SetPaneText(0, text.c_str(), true);
    else if (hBar)
        ::SendMessageA(hBar, SB_SETTEXTA, SBT_NOBORDERS, reinterpret_cast<LPARAM>(text.c_str()));
    return nIDLast;
}

bool CFrameWnd::OnBarCheck(UINT nID) {
    CControlBar* pBar = GetControlBar(nID);
    if (!pBar)
        return false;
    ShowControlBar(pBar, !(pBar->GetStyle() & WS_VISIBLE), false);
    return true;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI) {
    CControlBar* pBar = GetControlBar(pCmdUI->m_nID);
    if (!pBar) {
        pCmdUI->ContinueRouting();
        return;
    }
    pCmdUI->SetCheck((pBar->GetStyle() & WS_VISIBLE) ? 1 : 0);
}

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* pCmdUI) {
    int nVK = VK_SCROLL;
    if (pCmdUI->m_nID == ID_INDICATOR_CAPS)
        nVK = VK_CAPITAL;
    else if (pCmdUI->m_nID == ID_INDICATOR_NUM)
        nVK = VK_NUMLOCK;
    pCmdUI->Enable((GetKeyState(nVK) & 1) != 0);
}

void CFrameWnd::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult) {
    // Tools that name a window carry no command of ours.
    *pResult = 0;
    UINT_PTR nID = pNMHDR->idFrom;
    const bool bWide = pNMHDR->code == TTN_GETDISPINFOW;
    const UINT uFlags = bWide ? reinterpret_cast<NMTTDISPINFOW*>(pNMHDR)->uFlags
                              : reinterpret_cast<NMTTDISPINFOA*>(pNMHDR)->uFlags;
    if (uFlags & TTF_IDISHWND)
        return;
    std::string full;
    std::string tip;
    if (nID != 0 && AfxLoadString(static_cast<UINT>(nID), full))
        tip = TipText(full);
    if (bWide) {
        auto* pInfo = reinterpret_cast<NMTTDISPINFOW*>(pNMHDR);
        pInfo->lpszText = pInfo->szText;
        pInfo->szText[0] = L'\0';
        MultiByteToWideChar(CP_ACP, 0, tip.c_str(), -1, pInfo->szText,
                            static_cast<int>(sizeof(pInfo->szText) / sizeof(wchar_t)));
        pInfo->szText[sizeof(pInfo->szText) / sizeof(wchar_t) - 1] = L'\0';
    } else {
        auto* pInfo = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
        pInfo->lpszText = pInfo->szText;
        lstrcpynA(pInfo->szText, tip.c_str(), static_cast<int>(sizeof(pInfo->szText)));
    }
}

void CFrameWnd::OnToolbarHotItemChange(UINT, NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    auto* pBar = dynamic_cast<CControlBar*>(FromHandlePermanent(pNMHDR->hwndFrom));
    if (!pBar || !(pBar->GetBarStyle() & CBRS_FLYBY))
        return;
    const auto* pHot = reinterpret_cast<NMTBHOTITEM*>(pNMHDR);
    if ((pHot->dwFlags & HICF_LEAVING) || pHot->idNew == 0)
        SetMessageText(AFX_IDS_IDLEMESSAGE);
    else
        SetMessageText(static_cast<UINT>(pHot->idNew));
}
