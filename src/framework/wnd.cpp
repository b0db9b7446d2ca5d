#include "wnd.h"

#include <cstdio>
#include <exception>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

struct ThreadWndState {
    CWnd* pWndInit = nullptr;                  // the object whose window is being created
    std::unordered_map<HWND, CWnd*> permanent; // windows of this thread with an object
    MSG current{};                             // the message being handled, for Default()
};

ThreadWndState& State() {
    thread_local ThreadWndState state;
    return state;
}

// What a message returns when its handler threw: creation fails, the rest is ignored.
LRESULT ResultAfterException(UINT message) {
    if (message == WM_CREATE)
        return -1;
    if (message == WM_NCCREATE)
        return FALSE;
    return 0;
}

void ReportException(UINT message, const char* what) {
    char text[320];
    std::snprintf(text, sizeof(text), "dscp: handler of message 0x%04X threw: %s\n", message, what);
    OutputDebugStringA(text);
}

} // namespace

// Runs one message through an object with the bookkeeping around it.
struct WndDispatcher {
    static LRESULT Call(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
        ThreadWndState& state = State();
        const MSG saved = state.current;
        state.current = MSG{hWnd, message, wParam, lParam, 0, {}};
        LRESULT result = 0;
        try {
            result = pWnd->WindowProc(message, wParam, lParam);
        } catch (const std::exception& e) {
            ReportException(message, e.what());
            result = ResultAfterException(message);
        } catch (...) {
            ReportException(message, "unknown exception");
            result = ResultAfterException(message);
        }
        state.current = saved;
        if (message == WM_NCDESTROY)
            pWnd->OnNcDestroyCleanup(); // may delete the object
        return result;
    }
};

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
    // An object that goes away before its window: the window lives on without it.
    if (m_hWnd) {
        if (m_pfnSuper)
            UnsubclassWindow();
        else
            Detach();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (!hWnd)
        return nullptr;
    auto& map = State().permanent;
    const auto it = map.find(hWnd);
    return it == map.end() ? nullptr : it->second;
}

bool CWnd::Attach(HWND hWnd) {
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd))
        return false;
    m_hWnd = hWnd;
    State().permanent[hWnd] = this;
    return true;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd) {
        auto& map = State().permanent;
        const auto it = map.find(hWnd);
        if (it != map.end() && it->second == this)
            map.erase(it);
    }
    m_hWnd = nullptr;
    return hWnd;
}

const char* CWnd::RegisterFrameworkClass(const char* className) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &CWnd::AfxWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    RegisterClassExA(&wc);
    return className;
}

const char* CWnd::GetDefaultClassName() {
    static const char* const name = RegisterFrameworkClass("DscpWnd");
    return name;
}

bool CWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!cs.lpszClass)
        cs.lpszClass = GetDefaultClassName();
    return true;
}

bool CWnd::Create(const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    pParentWnd ? pParentWnd->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), pContext);
}

bool CWnd::CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName,
                    DWORD dwStyle, int x, int y, int nWidth, int nHeight, HWND hWndParent,
                    HMENU nIDorHMenu, void* lpParam) {
    if (m_hWnd)
        return false;
    CREATESTRUCTA cs{};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = GetModuleHandleA(nullptr);
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs))
        return false;

    ThreadWndState& state = State();
    CWnd* const previous = state.pWndInit;
    state.pWndInit = this;
    HWND hWnd = CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName,
                                static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                                cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    // A window of our own class took the pointer on its first message; a control did not.
    const bool bTaken = state.pWndInit != this;
    state.pWndInit = previous;
    if (!hWnd)
        return false; // an object that owns itself may be gone already (PostNcDestroy)
    if (!bTaken)
        return SubclassWindow(hWnd);
    return true;
}

bool CWnd::DestroyWindow() {
    if (!m_hWnd)
        return false;
    return ::DestroyWindow(m_hWnd) != FALSE;
}

bool CWnd::SubclassWindow(HWND hWnd) {
    if (!Attach(hWnd))
        return false;
    PreSubclassWindow();
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::AfxWndProc)));
    if (previous != &CWnd::AfxWndProc)
        m_pfnSuper = previous;
    return true;
}

bool CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    HWND hWnd = GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
    return hWnd && SubclassWindow(hWnd);
}

HWND CWnd::UnsubclassWindow() {
    if (m_pfnSuper && m_hWnd) {
        // Only put the old procedure back when ours is still the one installed.
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)) == &CWnd::AfxWndProc)
            SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    m_pfnSuper = nullptr;
    return Detach();
}

void CWnd::OnNcDestroyCleanup() {
    if (std::function<void()> hook = std::exchange(m_onDestroyed, nullptr))
        hook();
    if (m_pfnSuper)
        UnsubclassWindow();
    else
        Detach();
    PostNcDestroy();
}

LRESULT CALLBACK CWnd::AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (!pWnd) {
        ThreadWndState& state = State();
        if (!state.pWndInit || !state.pWndInit->Attach(hWnd))
            return ::DefWindowProcA(hWnd, message, wParam, lParam); // before or after its object
        pWnd = state.pWndInit;
        state.pWndInit = nullptr;
    }
    return WndDispatcher::Call(pWnd, hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper)
        return CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const MSG& msg = State().current;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    MsgCall call;
    call.message = message;
    call.wParam = wParam;
    call.lParam = lParam;
    switch (message) {
    case WM_COMMAND:
        if (!OnCommand(wParam, lParam))
            return false;
        *pResult = 0;
        return true;
    case WM_NOTIFY:
        return OnNotify(wParam, lParam, pResult);
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        CWnd* pChild = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
        if (pChild && pChild != this && pChild->OnChildNotify(message, wParam, lParam, pResult))
            return true;
        if (std::optional<LRESULT> r = DispatchEntries(EntryKind::CtlColor, 0, 0, call)) {
            *pResult = *r;
            return true;
        }
        return false;
    }
    default:
        break;
    }
    if (std::optional<LRESULT> r = DispatchEntries(EntryKind::Message, message, 0, call)) {
        *pResult = *r;
        return true;
    }
    return false;
}

namespace {

// Records whether an update handler left a command enabled.
class CEnabledProbe : public CCmdUI {
public:
    bool m_bEnabled = true;
    void Enable(bool bOn) override {
        m_bEnabled = bOn;
        m_bEnableChanged = true;
    }
    void SetCheck(int) override {}
    void SetText(const char*) override {}
};

} // namespace

bool CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT nID = LOWORD(wParam);
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    UINT nCode = HIWORD(wParam);
    if (!hWndCtrl) {
        nCode = 0; // a menu item or an accelerator
    } else {
        CWnd* pChild = FromHandlePermanent(hWndCtrl);
        LRESULT result = 0;
        if (pChild && pChild != this && pChild->OnChildNotify(WM_COMMAND, wParam, lParam, &result))
            return true;
    }
    if (nCode == 0) {
        // A command whose update handler disables it is not run, whatever sent it.
        CEnabledProbe state;
        state.m_nID = nID;
        CmdMsg update{nID, 0, CmdPhase::UpdateUI, &state};
        OnCmdMsg(update);
        if (!state.m_bEnabled)
            return true;
    }
    CmdMsg msg{nID, nCode, CmdPhase::Execute, nullptr};
    return OnCmdMsg(msg);
}

bool CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
    auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (!pNMHDR)
        return false;
    CWnd* pChild = FromHandlePermanent(pNMHDR->hwndFrom);
    if (pChild && pChild != this && pChild->OnChildNotify(WM_NOTIFY, 0, lParam, pResult))
        return true;
    MsgCall call;
    call.message = WM_NOTIFY;
    call.lParam = lParam;
    call.pNMHDR = pNMHDR;
    LRESULT result = 0;
    call.pResult = &result;
    if (std::optional<LRESULT> r = DispatchEntries(EntryKind::Notify, pNMHDR->code,
                                                   static_cast<UINT>(pNMHDR->idFrom), call)) {
        *pResult = *r;
        return true;
    }
    return false;
}

bool CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    MsgCall call;
    call.message = message;
    call.wParam = wParam;
    call.lParam = lParam;
    std::optional<LRESULT> r;
    if (message == WM_NOTIFY) {
        auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        LRESULT result = 0;
        call.pNMHDR = pNMHDR;
        call.pResult = &result;
        r = DispatchEntries(EntryKind::ReflectNotify, pNMHDR->code, 0, call);
    } else if (message == WM_COMMAND) {
        r = DispatchEntries(EntryKind::ReflectCommand, HIWORD(wParam), 0, call);
    } else if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        r = DispatchEntries(EntryKind::ReflectCtlColor, 0, 0, call);
    }
    if (!r)
        return false;
    if (pResult)
        *pResult = *r;
    return true;
}

bool CWnd::PreTranslateMessage(MSG*) {
    return false;
}

namespace {

void SendToDescendants(HWND hWndParent, UINT message, WPARAM wParam, LPARAM lParam, bool bDeep,
                       bool bOnlyPerm) {
    // Collect first: a handler may create or destroy windows.
    std::vector<HWND> children;
    for (HWND h = GetWindow(hWndParent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        children.push_back(h);
    for (HWND h : children) {
        if (!IsWindow(h))
            continue;
        if (CWnd* pWnd = CWnd::FromHandlePermanent(h))
            pWnd->SendMessage(message, wParam, lParam);
        else if (!bOnlyPerm)
            ::SendMessageA(h, message, wParam, lParam);
        if (bDeep && IsWindow(h))
            SendToDescendants(h, message, wParam, lParam, true, bOnlyPerm);
    }
}

HWND FindDescendant(HWND hWndParent, int nID) {
    if (HWND h = GetDlgItem(hWndParent, nID))
        return h;
    for (HWND h = GetWindow(hWndParent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        if (HWND found = FindDescendant(h, nID))
            return found;
    return nullptr;
}

} // namespace

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, bool bDeep,
                                    bool bOnlyPerm) const {
    SendToDescendants(m_hWnd, message, wParam, lParam, bDeep, bOnlyPerm);
}

bool CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    const DWORD style = GetStyle();
    const DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return false;
    SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(newStyle));
    if (nFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return true;
}

bool CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    const DWORD style = GetExStyle();
    const DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return false;
    SetWindowLongA(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(newStyle));
    if (nFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return true;
}

HWND CWnd::GetDescendantWindow(int nID) const {
    return FindDescendant(m_hWnd, nID);
}

void CWnd::MoveWindow(const RECT& rect, bool bRepaint) const {
    ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 bRepaint);
}

CRect CWnd::GetClientRect() const {
    CRect rect;
    ::GetClientRect(m_hWnd, &rect);
    return rect;
}

CRect CWnd::GetWindowRect() const {
    CRect rect;
    ::GetWindowRect(m_hWnd, &rect);
    return rect;
}

std::string CWnd::GetWindowText() const {
    const int n = ::GetWindowTextLengthA(m_hWnd);
    std::string text(static_cast<size_t>(n) + 1, '\0');
    const int got = ::GetWindowTextA(m_hWnd, &text[0], n + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlags,
                          RECT* lpRectParam, const RECT* lpRectClient, bool bStretch) {
    AFX_SIZEPARENTPARAMS layout{};
    layout.bStretch = bStretch;
    if (lpRectClient)
        layout.rect = *lpRectClient;
    else
        ::GetClientRect(m_hWnd, &layout.rect);
    const bool bQuery = (nFlags & reposQuery) != 0;
    if (!bQuery)
        layout.hDWP = BeginDeferWindowPos(8);

    HWND hWndLeftOver = nullptr;
    for (HWND h = GetWindow(m_hWnd, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        const UINT nID = static_cast<UINT>(::GetDlgCtrlID(h));
        if (nID == nIDLeftOver)
            hWndLeftOver = h;
        else if (nID >= nIDFirst && nID <= nIDLast)
            ::SendMessageA(h, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }

    if (bQuery) {
        if (lpRectParam)
            *lpRectParam = layout.rect;
        return;
    }
    if (hWndLeftOver && layout.hDWP) {
        CRect rect(layout.rect);
        if ((nFlags & reposExtra) && lpRectParam)
            rect.DeflateRect(lpRectParam->left, lpRectParam->top, lpRectParam->right,
                             lpRectParam->bottom);
        rect.KeepNonNegative();
        layout.hDWP = DeferWindowPos(layout.hDWP, hWndLeftOver, nullptr, rect.left, rect.top,
                                     rect.Width(), rect.Height(), SWP_NOACTIVATE | SWP_NOZORDER);
    }
    if (layout.hDWP)
        EndDeferWindowPos(layout.hDWP);
}
