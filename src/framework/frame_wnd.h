#pragma once
// CFrameWnd: a frame with a menu, accelerators, control bars around its edges and a
// view in the rest. It routes commands (itself, then the active view and its document,
// then the application), updates menu items when a popup opens, shows command prompts
// in the status bar, and lays its bars out again when it is resized or at idle time
// after a change.

#include <string>
#include <vector>

#include "owners.h"
#include "wnd.h"

class CControlBar;
class CDockBar;
class CDocument;
class CView;

// Frame style bit: add the document's name to the window title.
constexpr DWORD FWS_ADDTOTITLE = 0x00008000;

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
    DECLARE_MESSAGE_MAP()
public:
    CFrameWnd() = default;
    ~CFrameWnd() override;

    // Creates the frame with menu, accelerators, icon and title (the first part of the
    // string) of resource `nIDResource`.
    virtual bool LoadFrame(UINT nIDResource,
                           DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    using CWnd::Create;
    bool Create(const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                const RECT& rect, CWnd* pParentWnd, UINT nIDMenu, DWORD dwExStyle,
                CCreateContext* pContext);
    bool PreCreateWindow(CREATESTRUCTA& cs) override;

    // Views and documents.
    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pViewNew, bool bNotify = true);
    CDocument* GetActiveDocument() const;
    virtual bool OnCreateClient(LPCREATESTRUCTA lpcs, CCreateContext* pContext);
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    // Sends the initial update to every view inside, then shows the frame.
    void InitialUpdateFrame(CDocument* pDoc, bool bMakeVisible);
    virtual void ActivateFrame(int nCmdShow = -1);
    virtual void OnUpdateFrameTitle(bool bAddToTitle);
    void DelayUpdateFrameTitle() { m_nIdleFlags |= idleTitle; }

    // Control bars and layout.
    void AddControlBar(CControlBar* pBar);
    void RemoveControlBar(CControlBar* pBar);
    CControlBar* GetControlBar(UINT nID) const;
    const std::vector<CControlBar*>& GetControlBars() const { return m_listControlBars; }
    void ShowControlBar(CControlBar* pBar, bool bShow, bool bDelay);
    virtual void RecalcLayout();
    // Lays the bars out again at the next idle time.
    void DelayRecalcLayout();

    // Docking (dock_site.cpp, bar_state.cpp): dock bars on the sides allowed, bars
    // docked on a side (0: the first side their style and docking style share) or
    // floating in a mini frame at a screen point, and the layout read from the profile.
    void EnableDocking(DWORD dwDockStyle);
    CDockBar* GetDockBar(UINT nID) const;
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, const RECT* lpRect = nullptr);
    void FloatControlBar(CControlBar* pBar, POINT ptScreen);
    bool LoadBarState(const char* lpszProfileName);
    void UpdateFloatingBars(bool bDisableIfNoHandler);

    // The status bar's message pane.
    void SetMessageText(const char* lpszText);
    void SetMessageText(UINT nID);
    virtual void GetMessageString(UINT nID, std::string& rMessage) const;
    HWND GetMessageBar() const;

    bool OnCmdMsg(CmdMsg& msg) override;
    bool PreTranslateMessage(MSG* pMsg) override;
    void PostNcDestroy() override;

    std::string m_strTitle; // from the resource string
    bool m_bAutoMenuEnable = true;
    HACCEL m_hAccelTable = nullptr;
    HMENU m_hMenuDefault = nullptr;
    UINT m_nIDHelp = 0;
    CRect m_rectBorder; // room kept free around the view

protected:
    enum IdleFlags { idleTitle = 2, idleLayout = 8 };
    UINT m_nIdleFlags = 0;
    UINT m_nIDTracking = 0;
    UINT m_nIDLastMessage = 0;
    CView* m_pViewActive = nullptr;
    std::vector<CControlBar*> m_listControlBars;
    bool m_bInRecalcLayout = false;
    UniqueIcon m_iconBig;
    UniqueIcon m_iconSmall;

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnDestroy();
    void OnClose();
    void OnSize(UINT nType, int cx, int cy);
    bool OnEraseBkgnd(HDC hDC);
    void OnSetFocus(HWND hWndOld);
    void OnInitMenuPopup(HMENU hMenu, UINT nIndex, bool bSysMenu);
    void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hMenu);
    void OnExitMenuLoop(bool bIsTrackPopupMenu);
    LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    // The window moved to a display of another scale (or the scale changed): it takes the
    // rectangle the system suggests, its bars and lists rescale, the layout is done anew.
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    // After the frame's own: what a derived frame measures in pixels follows `nDpi`.
    virtual void OnFrameDpiChanged(int nOldDpi, int nDpi) {
        (void)nOldDpi;
        (void)nDpi;
    }
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    bool OnBarCheck(UINT nID);
    void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
    void OnUpdateKeyIndicator(CCmdUI* pCmdUI);
    void OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    void OnToolbarHotItemChange(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
};

// What a template hands the frame it creates: which view to make, for which document.
struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    class CSingleDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};
