#pragma once
// CWnd: one object per window. Our own windows are mapped to their object on their
// first message (WM_GETMINMAXINFO comes before WM_NCCREATE) through a per-thread
// "window being created" pointer; windows of other classes (the common controls) are
// subclassed. Every message goes through the object's table; what it does not handle
// goes to the previous window procedure. No exception leaves a window procedure.

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

#include "cmd_target.h"
#include "framework_ids.h"
#include "types.h"

class CFrameWnd;
struct CCreateContext;

// A control bar's share of the parent's layout, handed around with WM_SIZEPARENT.
struct AFX_SIZEPARENTPARAMS {
    HDWP hDWP; // null: only ask for the sizes
    RECT rect; // what is left of the parent's client area
    SIZE sizeTotal;
    bool bStretch;
};

// Every child window id: RepositionBars over all children but the left-over one.
constexpr UINT kAllChildIds = 0xFFFF;

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
    DECLARE_MESSAGE_MAP()
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object mapped to a window of this thread, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Creation. PreCreateWindow may change the CREATESTRUCT; a null class name gets the
    // framework's own window class.
    virtual bool PreCreateWindow(CREATESTRUCTA& cs);
    virtual bool Create(const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID,
                        CCreateContext* pContext = nullptr);
    bool CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName,
                  DWORD dwStyle, int x, int y, int nWidth, int nHeight, HWND hWndParent,
                  HMENU nIDorHMenu, void* lpParam = nullptr);
    virtual bool DestroyWindow();

    // Subclassing an existing window (a control made by a dialog template or by us).
    bool SubclassWindow(HWND hWnd);
    bool SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    virtual void PreSubclassWindow() {}

    // Messages.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
    virtual bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A notification the control sent to its parent, offered back to the control.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default handling of the message being handled now.
    LRESULT Default();
    virtual bool PreTranslateMessage(MSG* pMsg);
    // Called after the window is gone; objects that own themselves delete themselves.
    virtual void PostNcDestroy() {}
    // What its owner wants done once the window is gone, before PostNcDestroy (the
    // application ends when its main window goes). Runs once; an empty hook clears it.
    void SetDestroyedHook(std::function<void()> hook) { m_onDestroyed = std::move(hook); }

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageA(m_hWnd, message, wParam, lParam) != FALSE;
    }
    // Sends to every descendant (or only the children), only to those with an object
    // when bOnlyPerm.
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                                  bool bDeep = true, bool bOnlyPerm = false) const;

    // Attributes and helpers.
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }
    bool ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    bool ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    // The nearest frame window above this one (not this one itself); frame_wnd.cpp.
    CFrameWnd* GetParentFrame() const;
    // The descendant window with this id, searching children first.
    HWND GetDescendantWindow(int nID) const;
    bool ShowWindow(int nCmdShow) const { return ::ShowWindow(m_hWnd, nCmdShow) != FALSE; }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    void MoveWindow(const RECT& rect, bool bRepaint = true) const;
    bool SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) const {
        return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, nFlags) != FALSE;
    }
    CRect GetClientRect() const;
    CRect GetWindowRect() const;
    void SetWindowText(const std::string& text) const { ::SetWindowTextA(m_hWnd, text.c_str()); }
    std::string GetWindowText() const;
    void Invalidate(bool bErase = true) const { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void UpdateWindow() const { ::UpdateWindow(m_hWnd); }
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse) const {
        return ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr);
    }
    bool KillTimer(UINT_PTR nIDEvent) const { return ::KillTimer(m_hWnd, nIDEvent) != FALSE; }
    // Without a caption, the application's name is the caption (defined with the
    // application, win_app.cpp).
    int MessageBox(const char* lpszText, const char* lpszCaption = nullptr,
                   UINT nType = MB_OK) const;

    // Layout of control bars (ids nIDFirst..nIDLast) and the window nIDLeftOver, which
    // gets what the bars leave. With reposQuery nothing moves and lpRectParam receives
    // the room left over; with reposExtra the left-over window is inset by lpRectParam.
    enum RepositionFlags { reposDefault = 0, reposQuery = 1, reposExtra = 2 };
    void RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlags = reposDefault,
                        RECT* lpRectParam = nullptr, const RECT* lpRectClient = nullptr,
                        bool bStretch = true);

    // The procedure every window of the framework's classes is created with.
    static LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The framework's window class for plain windows (registered once per process).
    static const char* GetDefaultClassName();
    // Registers a window class of the framework's kind under `className` (AfxWndProc,
    // double clicks, the arrow cursor, the button face) and returns the name.
    static const char* RegisterFrameworkClass(const char* className);

protected:
    WNDPROC m_pfnSuper = nullptr; // the previous procedure of a subclassed window

    bool Attach(HWND hWnd);
    HWND Detach();

private:
    friend struct WndDispatcher;
    void OnNcDestroyCleanup();

    std::function<void()> m_onDestroyed;
};
