#pragma once
// Message tables and command routing.
//
// Every class that handles messages has a table of entries, chained to its base class's
// table. An entry is made from a member-function pointer by a template that checks, at
// compile time, that the handler belongs to the class (or a base) and has the signature
// its kind of entry calls for; the template's adapter is a plain function, so no member
// pointer is ever cast. Dispatch walks the class's table, then its base's, and stops at
// the first entry that reports "handled" with a value; "not handled" lets the walk go on.

#include <windows.h>

#include <optional>
#include <type_traits>

#include "object.h"

class CCmdTarget;
class CCmdUI;

// What a command lookup is for: run the handler, run the update handler, or only ask
// whether a handler exists (commands without one are disabled).
enum class CmdPhase { Execute, UpdateUI, Probe };

struct CmdMsg {
    UINT nID = 0;
    UINT nCode = 0; // control notification code; 0 for menus, accelerators and button clicks
    CmdPhase phase = CmdPhase::Execute;
    CCmdUI* pCmdUI = nullptr; // UpdateUI only
};

// Everything an entry's adapter may need to call its handler.
struct MsgCall {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    CmdMsg* pCmd = nullptr;     // commands and update handlers
    NMHDR* pNMHDR = nullptr;    // notifications
    LRESULT* pResult = nullptr; // the notification's result
};

enum class EntryKind : unsigned char {
    End,             // closes a table
    Message,         // a window message
    CtlColor,        // any WM_CTLCOLOR* message, handled by the parent
    Command,         // WM_COMMAND: notification code and an id range
    UpdateUI,        // command-UI update for an id range
    Notify,          // WM_NOTIFY: notification code from controls in an id range
    ReflectNotify,   // WM_NOTIFY the control sent to its parent, handled by the control
    ReflectCommand,  // WM_COMMAND notification the control sent, handled by the control
    ReflectCtlColor, // WM_CTLCOLOR* the parent received for the control, handled by it
};

using EntryAdapter = std::optional<LRESULT> (*)(CCmdTarget& target, MsgCall& call);

struct MessageEntry {
    EntryKind kind = EntryKind::End;
    UINT nMessage = 0; // the message, or the notification code
    UINT nIDFirst = 0;
    UINT nIDLast = 0;
    EntryAdapter pfn = nullptr;
};

struct MessageMap {
    const MessageMap* (*pfnGetBaseMap)(); // null at the root
    const MessageEntry* pEntries;         // closed by an End entry
};

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    static const MessageMap* GetThisMessageMap();
    virtual const MessageMap* GetMessageMap() const { return GetThisMessageMap(); }

    // Looks the command up in this object's own table; routing classes pass it on.
    virtual bool OnCmdMsg(CmdMsg& msg);

    // Calls the entries of `kind` that match, most derived first, until one handles.
    std::optional<LRESULT> DispatchEntries(EntryKind kind, UINT nMessage, UINT nID, MsgCall& call);
    bool HasEntry(EntryKind kind, UINT nMessage, UINT nID) const;
};

// The state of one command's user interface (a menu item, a toolbar button, a status
// pane) handed to update handlers. The base class updates menu items.
class CCmdUI {
public:
    virtual ~CCmdUI() = default;

    UINT m_nID = 0;
    UINT m_nIndex = 0;        // position in the menu, toolbar or status bar
    HMENU m_hMenu = nullptr;  // the popup being updated (menu items)
    void* m_pOther = nullptr; // the bar being updated (bars)
    bool m_bEnableChanged = false;
    bool m_bContinueRouting = false;

    virtual void Enable(bool bOn = true);
    virtual void SetCheck(int nCheck = 1); // 0 clear, 1 checked
    virtual void SetText(const char* lpszText);
    void ContinueRouting() { m_bContinueRouting = true; }

    // Runs the update handler the target routes to. When nothing set the enabled state
    // and `bDisableIfNoHandler` is true, enables the item exactly when some object
    // handles the command.
    void DoUpdate(CCmdTarget* pTarget, bool bDisableIfNoHandler);
};

namespace msgmap {

template <class M> struct HandlerTraits;
template <class C, class R, class... A> struct HandlerTraits<R (C::*)(A...)> {
    using Class = C;
    using Signature = R(A...);
};

// The compile-time checks every entry makes.
template <class ThisClass, auto F, class Signature> constexpr void CheckHandler() {
    using Traits = HandlerTraits<decltype(F)>;
    static_assert(std::is_base_of_v<CCmdTarget, ThisClass>, "tables belong to command targets");
    static_assert(std::is_base_of_v<typename Traits::Class, ThisClass>,
                  "the handler is a member of another class");
    static_assert(std::is_same_v<typename Traits::Signature, Signature>,
                  "the handler's signature does not fit this kind of entry");
}

template <class ThisClass> ThisClass& Self(CCmdTarget& target) {
    return static_cast<ThisClass&>(target);
}

// Commands: void OnX(), void OnX(UINT nID) for ranges, bool OnX(UINT nID) when the
// handler may decline (false lets the routing go on).
template <class ThisClass, auto F>
constexpr MessageEntry Command(UINT nFirst, UINT nLast, UINT nCode = 0) {
    CheckHandler<ThisClass, F, void()>();
    return {EntryKind::Command, nCode, nFirst, nLast,
            [](CCmdTarget& t, MsgCall&) -> std::optional<LRESULT> {
                (Self<ThisClass>(t).*F)();
                return 0;
            }};
}
template <class ThisClass, auto F> constexpr MessageEntry CommandRange(UINT nFirst, UINT nLast) {
    CheckHandler<ThisClass, F, void(UINT)>();
    return {EntryKind::Command, 0, nFirst, nLast,
            [](CCmdTarget& t, MsgCall& c) -> std::optional<LRESULT> {
                (Self<ThisClass>(t).*F)(c.pCmd->nID);
                return 0;
            }};
}
template <class ThisClass, auto F> constexpr MessageEntry CommandEx(UINT nFirst, UINT nLast) {
    CheckHandler<ThisClass, F, bool(UINT)>();
    return {EntryKind::Command, 0, nFirst, nLast,
            [](CCmdTarget& t, MsgCall& c) -> std::optional<LRESULT> {
                if (!(Self<ThisClass>(t).*F)(c.pCmd->nID))
                    return std::nullopt;
                return 0;
            }};
}

// Update handlers: void OnUpdateX(CCmdUI*). A handler that calls ContinueRouting()
// lets the next object in the route have its say.
template <class ThisClass, auto F> constexpr MessageEntry UpdateUI(UINT nFirst, UINT nLast) {
    CheckHandler<ThisClass, F, void(CCmdUI*)>();
    return {EntryKind::UpdateUI, 0, nFirst, nLast,
            [](CCmdTarget& t, MsgCall& c) -> std::optional<LRESULT> {
                CCmdUI* pCmdUI = c.pCmd->pCmdUI;
                pCmdUI->m_bContinueRouting = false;
                (Self<ThisClass>(t).*F)(pCmdUI);
                if (pCmdUI->m_bContinueRouting)
                    return std::nullopt;
                return 0;
            }};
}

// Notifications from child controls: void OnX(NMHDR*, LRESULT*), or with the control
// id first for ranges.
template <class ThisClass, auto F>
constexpr MessageEntry Notify(UINT nCode, UINT nFirst, UINT nLast) {
    CheckHandler<ThisClass, F, void(NMHDR*, LRESULT*)>();
    return {EntryKind::Notify, nCode, nFirst, nLast,
            [](CCmdTarget& t, MsgCall& c) -> std::optional<LRESULT> {
                (Self<ThisClass>(t).*F)(c.pNMHDR, c.pResult);
                return *c.pResult;
            }};
}
template <class ThisClass, auto F>
constexpr MessageEntry NotifyRange(UINT nCode, UINT nFirst, UINT nLast) {
    CheckHandler<ThisClass, F, void(UINT, NMHDR*, LRESULT*)>();
    return {EntryKind::Notify, nCode, nFirst, nLast,
            [](CCmdTarget& t, MsgCall& c) -> std::optional<LRESULT> {
                (Self<ThisClass>(t).*F)(static_cast<UINT>(c.pNMHDR->idFrom), c.pNMHDR, c.pResult);
                return *c.pResult;
            }};
}

// Reflected notifications, handled by the control that sent them.
template <class ThisClass, auto F> constexpr MessageEntry ReflectNotify(UINT nCode) {
    CheckHandler<ThisClass, F, void(NMHDR*, LRESULT*)>();
    return {EntryKind::ReflectNotify, nCode, 0, 0,
            [](CCmdTarget& t, MsgCall& c) -> std::optional<LRESULT> {
                (Self<ThisClass>(t).*F)(c.pNMHDR, c.pResult);
                return *c.pResult;
            }};
}
// As above, but returning false lets the parent handle the notification as well.
template <class ThisClass, auto F> constexpr MessageEntry ReflectNotifyEx(UINT nCode) {
    CheckHandler<ThisClass, F, bool(NMHDR*, LRESULT*)>();
    return {EntryKind::ReflectNotify, nCode, 0, 0,
            [](CCmdTarget& t, MsgCall& c) -> std::optional<LRESULT> {
                if (!(Self<ThisClass>(t).*F)(c.pNMHDR, c.pResult))
                    return std::nullopt;
                return *c.pResult;
            }};
}
template <class ThisClass, auto F> constexpr MessageEntry ReflectCommand(UINT nCode) {
    CheckHandler<ThisClass, F, void()>();
    return {EntryKind::ReflectCommand, nCode, 0, 0,
            [](CCmdTarget& t, MsgCall&) -> std::optional<LRESULT> {
                (Self<ThisClass>(t).*F)();
                return 0;
            }};
}
// HBRUSH CtlColor(HDC, UINT nCtlColor). A null brush means "not handled": the parent
// then colours the control itself.
template <class ThisClass, auto F> constexpr MessageEntry ReflectCtlColor() {
    CheckHandler<ThisClass, F, HBRUSH(HDC, UINT)>();
    return {EntryKind::ReflectCtlColor, 0, 0, 0,
            [](CCmdTarget& t, MsgCall& c) -> std::optional<LRESULT> {
                const HBRUSH brush = (Self<ThisClass>(t).*F)(reinterpret_cast<HDC>(c.wParam),
                                                             c.message - WM_CTLCOLORMSGBOX);
                if (!brush)
                    return std::nullopt;
                return reinterpret_cast<LRESULT>(brush);
            }};
}
// HBRUSH OnCtlColor(HDC, HWND hCtl, UINT nCtlColor) in the parent; null = not handled.
template <class ThisClass, auto F> constexpr MessageEntry CtlColor() {
    CheckHandler<ThisClass, F, HBRUSH(HDC, HWND, UINT)>();
    return {EntryKind::CtlColor, 0, 0, 0, [](CCmdTarget& t, MsgCall& c) -> std::optional<LRESULT> {
                const HBRUSH brush = (Self<ThisClass>(t).*F)(reinterpret_cast<HDC>(c.wParam),
                                                             reinterpret_cast<HWND>(c.lParam),
                                                             c.message - WM_CTLCOLORMSGBOX);
                if (!brush)
                    return std::nullopt;
                return reinterpret_cast<LRESULT>(brush);
            }};
}

// Window messages in their raw form: LRESULT OnX(WPARAM, LPARAM).
template <class ThisClass, auto F> constexpr MessageEntry Message(UINT message) {
    CheckHandler<ThisClass, F, LRESULT(WPARAM, LPARAM)>();
    return {EntryKind::Message, message, 0, 0,
            [](CCmdTarget& t, MsgCall& c) -> std::optional<LRESULT> {
                return (Self<ThisClass>(t).*F)(c.wParam, c.lParam);
            }};
}

// Window messages taken apart into typed arguments. Each cracker names the handler's
// signature and how its arguments come out of wParam and lParam.
template <UINT M> struct Cracker;

template <class ThisClass, UINT M, auto F> constexpr MessageEntry CrackedMessage() {
    CheckHandler<ThisClass, F, typename Cracker<M>::Signature>();
    return {EntryKind::Message, M, 0, 0, [](CCmdTarget& t, MsgCall& c) -> std::optional<LRESULT> {
                return Cracker<M>::template Call<ThisClass, F>(Self<ThisClass>(t), c.wParam,
                                                               c.lParam);
            }};
}

#define DSCP_CRACKER(msg, signature, body)                                                         \
    template <> struct Cracker<msg> {                                                              \
        using Signature = signature;                                                               \
        template <class T, auto F>                                                                 \
        static LRESULT Call(T& self, [[maybe_unused]] WPARAM wParam,                               \
                            [[maybe_unused]] LPARAM lParam) {                                      \
            body                                                                                   \
        }                                                                                          \
    };

#define DSCP_POINT_ARG                                                                             \
    POINT {                                                                                        \
        static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))                     \
    }

DSCP_CRACKER(WM_CREATE, int(LPCREATESTRUCTA),
             return (self.*F)(reinterpret_cast<LPCREATESTRUCTA>(lParam));)
DSCP_CRACKER(WM_DESTROY, void(), (self.*F)(); return 0;)
DSCP_CRACKER(WM_CLOSE, void(), (self.*F)(); return 0;)
DSCP_CRACKER(WM_PAINT, void(), (self.*F)(); return 0;)
DSCP_CRACKER(WM_NCPAINT, void(), (self.*F)(); return 0;)
DSCP_CRACKER(WM_SIZE, void(UINT, int, int),
             (self.*F)(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)),
                       static_cast<short>(HIWORD(lParam)));
             return 0;)
DSCP_CRACKER(WM_TIMER, void(UINT_PTR), (self.*F)(static_cast<UINT_PTR>(wParam)); return 0;)
DSCP_CRACKER(WM_ERASEBKGND, bool(HDC),
             return (self.*F)(reinterpret_cast<HDC>(wParam)) ? TRUE : FALSE;)
DSCP_CRACKER(WM_INITMENUPOPUP, void(HMENU, UINT, bool),
             (self.*F)(reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam) != 0);
             return 0;)
DSCP_CRACKER(WM_MENUSELECT, void(UINT, UINT, HMENU),
             (self.*F)(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
             return 0;)
DSCP_CRACKER(WM_EXITMENULOOP, void(bool), (self.*F)(wParam != 0); return 0;)
DSCP_CRACKER(WM_KEYDOWN, void(UINT, UINT, UINT),
             (self.*F)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
             return 0;)
DSCP_CRACKER(WM_KEYUP, void(UINT, UINT, UINT),
             (self.*F)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
             return 0;)
DSCP_CRACKER(WM_SETCURSOR, bool(HWND, UINT, UINT),
             return (self.*F)(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam))
                        ? TRUE
                        : FALSE;)
DSCP_CRACKER(WM_MOUSEACTIVATE, int(HWND, UINT, UINT),
             return (self.*F)(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));)
DSCP_CRACKER(WM_SETFOCUS, void(HWND), (self.*F)(reinterpret_cast<HWND>(wParam)); return 0;)
DSCP_CRACKER(WM_NCCALCSIZE, void(bool, NCCALCSIZE_PARAMS*),
             (self.*F)(wParam != 0, reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam));
             return 0;)
DSCP_CRACKER(WM_NCHITTEST, LRESULT(POINT), return (self.*F)(DSCP_POINT_ARG);)
DSCP_CRACKER(WM_LBUTTONDOWN, void(UINT, POINT),
             (self.*F)(static_cast<UINT>(wParam), DSCP_POINT_ARG);
             return 0;)
DSCP_CRACKER(WM_LBUTTONUP, void(UINT, POINT), (self.*F)(static_cast<UINT>(wParam), DSCP_POINT_ARG);
             return 0;)
DSCP_CRACKER(WM_LBUTTONDBLCLK, void(UINT, POINT),
             (self.*F)(static_cast<UINT>(wParam), DSCP_POINT_ARG);
             return 0;)
DSCP_CRACKER(WM_RBUTTONDOWN, void(UINT, POINT),
             (self.*F)(static_cast<UINT>(wParam), DSCP_POINT_ARG);
             return 0;)
DSCP_CRACKER(WM_MOUSEMOVE, void(UINT, POINT), (self.*F)(static_cast<UINT>(wParam), DSCP_POINT_ARG);
             return 0;)
DSCP_CRACKER(WM_NCLBUTTONDOWN, void(UINT, POINT),
             (self.*F)(static_cast<UINT>(wParam), DSCP_POINT_ARG);
             return 0;)
DSCP_CRACKER(WM_NCLBUTTONUP, void(UINT, POINT),
             (self.*F)(static_cast<UINT>(wParam), DSCP_POINT_ARG);
             return 0;)
DSCP_CRACKER(WM_CAPTURECHANGED, void(HWND), (self.*F)(reinterpret_cast<HWND>(lParam)); return 0;)
DSCP_CRACKER(WM_WINDOWPOSCHANGING, void(WINDOWPOS*),
             (self.*F)(reinterpret_cast<WINDOWPOS*>(lParam));
             return 0;)
DSCP_CRACKER(WM_SETTINGCHANGE, void(UINT, const char*),
             (self.*F)(static_cast<UINT>(wParam), reinterpret_cast<const char*>(lParam));
             return 0;)

#undef DSCP_POINT_ARG

} // namespace msgmap

// The table of a class: DECLARE_MESSAGE_MAP() in the class, and in its source file
//   BEGIN_MESSAGE_MAP(CMyView, CListView)
//       ON_COMMAND(ID_REFRESH, OnRefresh)
//   END_MESSAGE_MAP()
#define DECLARE_MESSAGE_MAP()                                                                      \
public:                                                                                            \
    static const ::MessageMap* GetThisMessageMap();                                                \
    const ::MessageMap* GetMessageMap() const override {                                           \
        return GetThisMessageMap();                                                                \
    }

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const ::MessageMap* theClass::GetThisMessageMap() {                                            \
        using ThisClass = theClass;                                                                \
        using TheBaseClass = baseClass;                                                            \
        static_assert(std::is_base_of_v<TheBaseClass, ThisClass>);                                 \
        static const ::MessageEntry entries[] = {

#define END_MESSAGE_MAP()                                                                          \
    ::MessageEntry {}                                                                              \
    }                                                                                              \
    ;                                                                                              \
    static const ::MessageMap map{&TheBaseClass::GetThisMessageMap, entries};                      \
    return &map;                                                                                   \
    }

#define ON_COMMAND(id, fn) ::msgmap::Command<ThisClass, &ThisClass::fn>(id, id),
#define ON_CONTROL(code, id, fn) ::msgmap::Command<ThisClass, &ThisClass::fn>(id, id, code),
#define ON_COMMAND_RANGE(first, last, fn)                                                          \
    ::msgmap::CommandRange<ThisClass, &ThisClass::fn>(first, last),
#define ON_COMMAND_EX(id, fn) ::msgmap::CommandEx<ThisClass, &ThisClass::fn>(id, id),
#define ON_COMMAND_EX_RANGE(first, last, fn)                                                       \
    ::msgmap::CommandEx<ThisClass, &ThisClass::fn>(first, last),
#define ON_UPDATE_COMMAND_UI(id, fn) ::msgmap::UpdateUI<ThisClass, &ThisClass::fn>(id, id),
#define ON_UPDATE_COMMAND_UI_RANGE(first, last, fn)                                                \
    ::msgmap::UpdateUI<ThisClass, &ThisClass::fn>(first, last),
#define ON_NOTIFY(code, id, fn) ::msgmap::Notify<ThisClass, &ThisClass::fn>(code, id, id),
#define ON_NOTIFY_RANGE(code, first, last, fn)                                                     \
    ::msgmap::NotifyRange<ThisClass, &ThisClass::fn>(code, first, last),
#define ON_NOTIFY_REFLECT(code, fn) ::msgmap::ReflectNotify<ThisClass, &ThisClass::fn>(code),
#define ON_NOTIFY_REFLECT_EX(code, fn) ::msgmap::ReflectNotifyEx<ThisClass, &ThisClass::fn>(code),
#define ON_CONTROL_REFLECT(code, fn) ::msgmap::ReflectCommand<ThisClass, &ThisClass::fn>(code),
#define ON_WM_CTLCOLOR_REFLECT() ::msgmap::ReflectCtlColor<ThisClass, &ThisClass::CtlColor>(),
#define ON_WM_CTLCOLOR() ::msgmap::CtlColor<ThisClass, &ThisClass::OnCtlColor>(),
#define ON_MESSAGE(message, fn) ::msgmap::Message<ThisClass, &ThisClass::fn>(message),

#define DSCP_ON_WM(msg, fn) ::msgmap::CrackedMessage<ThisClass, msg, &ThisClass::fn>(),
#define ON_WM_CREATE() DSCP_ON_WM(WM_CREATE, OnCreate)
#define ON_WM_DESTROY() DSCP_ON_WM(WM_DESTROY, OnDestroy)
#define ON_WM_CLOSE() DSCP_ON_WM(WM_CLOSE, OnClose)
#define ON_WM_PAINT() DSCP_ON_WM(WM_PAINT, OnPaint)
#define ON_WM_NCPAINT() DSCP_ON_WM(WM_NCPAINT, OnNcPaint)
#define ON_WM_SIZE() DSCP_ON_WM(WM_SIZE, OnSize)
#define ON_WM_TIMER() DSCP_ON_WM(WM_TIMER, OnTimer)
#define ON_WM_ERASEBKGND() DSCP_ON_WM(WM_ERASEBKGND, OnEraseBkgnd)
#define ON_WM_INITMENUPOPUP() DSCP_ON_WM(WM_INITMENUPOPUP, OnInitMenuPopup)
#define ON_WM_MENUSELECT() DSCP_ON_WM(WM_MENUSELECT, OnMenuSelect)
#define ON_WM_EXITMENULOOP() DSCP_ON_WM(WM_EXITMENULOOP, OnExitMenuLoop)
#define ON_WM_KEYDOWN() DSCP_ON_WM(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() DSCP_ON_WM(WM_KEYUP, OnKeyUp)
#define ON_WM_SETCURSOR() DSCP_ON_WM(WM_SETCURSOR, OnSetCursor)
#define ON_WM_MOUSEACTIVATE() DSCP_ON_WM(WM_MOUSEACTIVATE, OnMouseActivate)
#define ON_WM_SETFOCUS() DSCP_ON_WM(WM_SETFOCUS, OnSetFocus)
#define ON_WM_NCCALCSIZE() DSCP_ON_WM(WM_NCCALCSIZE, OnNcCalcSize)
#define ON_WM_NCHITTEST() DSCP_ON_WM(WM_NCHITTEST, OnNcHitTest)
#define ON_WM_LBUTTONDOWN() DSCP_ON_WM(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() DSCP_ON_WM(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() DSCP_ON_WM(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() DSCP_ON_WM(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_MOUSEMOVE() DSCP_ON_WM(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_NCLBUTTONDOWN() DSCP_ON_WM(WM_NCLBUTTONDOWN, OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() DSCP_ON_WM(WM_NCLBUTTONUP, OnNcLButtonUp)
#define ON_WM_CAPTURECHANGED() DSCP_ON_WM(WM_CAPTURECHANGED, OnCaptureChanged)
#define ON_WM_WINDOWPOSCHANGING() DSCP_ON_WM(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
#define ON_WM_SETTINGCHANGE() DSCP_ON_WM(WM_SETTINGCHANGE, OnSettingChange)
