// The framework's mechanisms with real windows: message tables and their chaining,
// window mapping, exceptions, subclassing, reflection, command routing, command-UI
// updates, layout, prompts, the profile, worker threads and message boxes.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "doc_template.h"
#include "document.h"
#include "framework_test_ids.h"
#include "frame_wnd.h"
#include "gui_test_support.h"
#include "list_view.h"
#include "menu.h"
#include "recent_file_list.h"
#include "status_bar.h"
#include "temp_tree.h"
#include "tool_bar.h"
#include "view.h"
#include "win_app.h"

namespace {

std::vector<std::string> g_log;

void Log(const std::string& entry) {
    g_log.push_back(entry);
}

constexpr UINT WM_TEST_A = WM_APP + 1;
constexpr UINT WM_TEST_B = WM_APP + 2;
constexpr UINT WM_TEST_C = WM_APP + 3;
constexpr UINT WM_TEST_THROW = WM_APP + 4;

// ---- message tables and chaining ----

class CBaseWnd : public CWnd {
    DECLARE_MESSAGE_MAP()
public:
    std::vector<UINT> m_seen;
    bool m_bThrowOnCreate = false;
    LRESULT OnTestA(WPARAM, LPARAM) { return 1; }
    LRESULT OnTestB(WPARAM, LPARAM) { return 2; }
    LRESULT OnEarly(WPARAM, LPARAM) {
        m_seen.push_back(GetCurrentMessageId());
        return Default();
    }
    int OnCreate(LPCREATESTRUCTA) {
        if (m_bThrowOnCreate)
            throw std::runtime_error("no window today");
        return 0;
    }
    static UINT& CurrentId() {
        static UINT id = 0;
        return id;
    }
    UINT GetCurrentMessageId() const { return CurrentId(); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        CurrentId() = message;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
    ON_MESSAGE(WM_TEST_A, OnTestA)
    ON_MESSAGE(WM_TEST_B, OnTestB)
    ON_MESSAGE(WM_GETMINMAXINFO, OnEarly)
    ON_MESSAGE(WM_NCCREATE, OnEarly)
    ON_WM_CREATE()
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
    DECLARE_MESSAGE_MAP()
public:
    bool m_bDeleted = false;
    bool* m_pDeleted = nullptr;
    LRESULT OnTestB(WPARAM w, LPARAM l) { return 20 + CBaseWnd::OnTestB(w, l); }
    LRESULT OnTestC(WPARAM, LPARAM) { return Default() + 7; }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
    void PostNcDestroy() override {
        if (m_pDeleted)
            *m_pDeleted = true;
    }
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
    ON_MESSAGE(WM_TEST_B, OnTestB)
    ON_MESSAGE(WM_TEST_C, OnTestC)
    ON_MESSAGE(WM_TEST_THROW, OnThrow)
END_MESSAGE_MAP()

bool CreateTopLevel(CWnd& wnd) {
    return wnd.CreateEx(0, nullptr, "test", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr,
                        nullptr);
}

} // namespace

TEST(MessageTable, DerivedEntriesComeFirstAndTheBaseTableStillAnswers) {
    CDerivedWnd wnd;
    ASSERT_TRUE(CreateTopLevel(wnd));
    EXPECT_EQ(wnd.SendMessage(WM_TEST_A), 1);   // only in the base table
    EXPECT_EQ(wnd.SendMessage(WM_TEST_B), 22);  // derived, calling the base's handler
    EXPECT_EQ(wnd.SendMessage(WM_TEST_C), 7);   // Default(): DefWindowProc gives 0
    EXPECT_EQ(wnd.SendMessage(WM_APP + 99), 0); // nobody: DefWindowProc
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
    wnd.DestroyWindow();
}

TEST(WindowMapping, TheObjectSeesMessagesThatComeBeforeWmNcCreate) {
    CBaseWnd wnd;
    ASSERT_TRUE(CreateTopLevel(wnd));
    // An overlapped window gets WM_GETMINMAXINFO before WM_NCCREATE; both reached us.
    ASSERT_GE(wnd.m_seen.size(), 2u);
    EXPECT_EQ(wnd.m_seen[0], static_cast<UINT>(WM_GETMINMAXINFO));
    EXPECT_NE(std::find(wnd.m_seen.begin(), wnd.m_seen.end(), static_cast<UINT>(WM_NCCREATE)),
              wnd.m_seen.end());
    wnd.DestroyWindow();
}

TEST(WindowMapping, AfterDestructionTheWindowIsForgottenAndPostNcDestroyRuns) {
    bool bDeleted = false;
    CDerivedWnd wnd;
    wnd.m_pDeleted = &bDeleted;
    ASSERT_TRUE(CreateTopLevel(wnd));
    HWND hWnd = wnd.m_hWnd;
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_TRUE(bDeleted);
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
    EXPECT_FALSE(IsWindow(hWnd));
}

TEST(WindowProcedure, AnExceptionNeverLeavesIt) {
    CDerivedWnd wnd;
    ASSERT_TRUE(CreateTopLevel(wnd));
    EXPECT_EQ(wnd.SendMessage(WM_TEST_THROW), 0);
    EXPECT_EQ(wnd.SendMessage(WM_TEST_A), 1); // and the window goes on working
    wnd.DestroyWindow();

    // A WM_CREATE handler that throws makes the creation fail.
    CBaseWnd failing;
    failing.m_bThrowOnCreate = true;
    EXPECT_FALSE(CreateTopLevel(failing));
    EXPECT_EQ(failing.m_hWnd, nullptr);
}

namespace {

class CSubclassedStatic : public CWnd {
    DECLARE_MESSAGE_MAP()
public:
    bool m_bPreSubclass = false;
    void PreSubclassWindow() override { m_bPreSubclass = true; }
    LRESULT OnTestA(WPARAM, LPARAM) { return 5; }
};

BEGIN_MESSAGE_MAP(CSubclassedStatic, CWnd)
    ON_MESSAGE(WM_TEST_A, OnTestA)
END_MESSAGE_MAP()

} // namespace

TEST(Subclassing, AControlAnswersThroughItsObjectAndGetsItsProcedureBack) {
    HWND hWnd = CreateWindowExA(0, "Static", "label", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hWnd, nullptr);
    const LONG_PTR original = GetWindowLongPtrA(hWnd, GWLP_WNDPROC);
    {
        CSubclassedStatic label;
        ASSERT_TRUE(label.SubclassWindow(hWnd));
        EXPECT_TRUE(label.m_bPreSubclass);
        EXPECT_EQ(label.SendMessage(WM_TEST_A), 5);
        // What the object does not handle, the control still does.
        EXPECT_EQ(label.GetWindowText(), "label");
        EXPECT_EQ(label.UnsubclassWindow(), hWnd);
    }
    EXPECT_EQ(GetWindowLongPtrA(hWnd, GWLP_WNDPROC), original);
    EXPECT_EQ(SendMessageA(hWnd, WM_TEST_A, 0, 0), 0);
    DestroyWindow(hWnd);
}

// ---- reflection ----

namespace {

class CReflectingList : public CWnd {
    DECLARE_MESSAGE_MAP()
public:
    HBRUSH m_hBrush = nullptr;
    void OnDblClick(NMHDR*, LRESULT* pResult) {
        Log("list dblclk");
        *pResult = 0;
    }
    bool OnRightClick(NMHDR*, LRESULT* pResult) {
        Log("list rclick");
        *pResult = 0;
        return false; // the parent may look too
    }
    void OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult) {
        Log("list column " + std::to_string(reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iSubItem));
        *pResult = 0;
    }
    void OnClicked() { Log("static clicked"); }
    HBRUSH CtlColor(HDC, UINT nCtlColor) {
        Log("child ctlcolor " + std::to_string(nCtlColor));
        return m_hBrush;
    }
};

BEGIN_MESSAGE_MAP(CReflectingList, CWnd)
    ON_NOTIFY_REFLECT(NM_DBLCLK, OnDblClick)
    ON_NOTIFY_REFLECT_EX(NM_RCLICK, OnRightClick)
    ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CParentWnd : public CWnd {
    DECLARE_MESSAGE_MAP()
public:
    void OnChildDblClick(NMHDR*, LRESULT*) { Log("parent dblclk"); }
    void OnChildRightClick(NMHDR*, LRESULT* pResult) {
        Log("parent rclick");
        *pResult = 3;
    }
    HBRUSH OnCtlColor(HDC, HWND, UINT) {
        Log("parent ctlcolor");
        return GetSysColorBrush(COLOR_INFOBK);
    }
};

BEGIN_MESSAGE_MAP(CParentWnd, CWnd)
    ON_NOTIFY(NM_DBLCLK, 7, OnChildDblClick)
    ON_NOTIFY(NM_RCLICK, 7, OnChildRightClick)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

} // namespace

TEST(Reflection, TheControlHandlesItsOwnNotificationsFirst) {
    CParentWnd parent;
    ASSERT_TRUE(CreateTopLevel(parent));
    CReflectingList list;
    ASSERT_TRUE(list.CreateEx(0, WC_LISTVIEWA, nullptr, WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0,
                              200, 100, parent.m_hWnd, reinterpret_cast<HMENU>(7)));
    g_log.clear();

    NMLISTVIEW nm{};
    nm.hdr.hwndFrom = list.m_hWnd;
    nm.hdr.idFrom = 7;
    nm.hdr.code = NM_DBLCLK;
    parent.SendMessage(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&nm));
    nm.hdr.code = NM_RCLICK;
    const LRESULT rclick = parent.SendMessage(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&nm));
    nm.hdr.code = LVN_COLUMNCLICK;
    nm.iSubItem = 2;
    parent.SendMessage(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&nm));
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(7, STN_CLICKED),
                       reinterpret_cast<LPARAM>(list.m_hWnd));
    EXPECT_EQ(g_log, (std::vector<std::string>{"list dblclk", "list rclick", "parent rclick",
                                               "list column 2", "static clicked"}));
    EXPECT_EQ(rclick, 3);

    // A zero brush from the control means "not handled": the parent colours it.
    HDC hDC = GetDC(list.m_hWnd);
    g_log.clear();
    LRESULT brush = parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC),
                                       reinterpret_cast<LPARAM>(list.m_hWnd));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), GetSysColorBrush(COLOR_INFOBK));
    EXPECT_EQ(g_log, (std::vector<std::string>{"child ctlcolor 6", "parent ctlcolor"}));
    list.m_hBrush = GetSysColorBrush(COLOR_HIGHLIGHT);
    g_log.clear();
    brush = parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC),
                               reinterpret_cast<LPARAM>(list.m_hWnd));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), list.m_hBrush);
    EXPECT_EQ(g_log, (std::vector<std::string>{"child ctlcolor 6"}));
    ReleaseDC(list.m_hWnd, hDC);
    parent.DestroyWindow();
}

// ---- a document/view application ----

namespace {

class CTestDoc : public CDocument {
    DECLARE_DYNCREATE(CTestDoc)
    DECLARE_MESSAGE_MAP()
public:
    static int s_nLive;
    CTestDoc() { ++s_nLive; }
    ~CTestDoc() override { --s_nLive; }
    void OnAll() { Log("doc"); }
    void OnViewDocApp() { Log("doc"); }
    void OnDocApp() { Log("doc"); }
};
int CTestDoc::s_nLive = 0;

IMPLEMENT_DYNCREATE(CTestDoc, CDocument)
BEGIN_MESSAGE_MAP(CTestDoc, CDocument)
    ON_COMMAND(ID_ALL_HANDLE, OnAll)
    ON_COMMAND(ID_VIEW_DOC_APP, OnViewDocApp)
    ON_COMMAND(ID_DOC_APP, OnDocApp)
END_MESSAGE_MAP()

class CTestView : public CListView {
    DECLARE_DYNCREATE(CTestView)
    DECLARE_MESSAGE_MAP()
public:
    int m_nInitialUpdates = 0;
    void OnInitialUpdate() override {
        ++m_nInitialUpdates;
        CListView::OnInitialUpdate();
    }
    void OnAll() { Log("view"); }
    void OnViewDocApp() { Log("view"); }
    void OnDisabled() { Log("view ran a disabled command"); }
    void OnUpdateViewDocApp(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(false); }
};

IMPLEMENT_DYNCREATE(CTestView, CListView)
BEGIN_MESSAGE_MAP(CTestView, CListView)
    ON_COMMAND(ID_ALL_HANDLE, OnAll)
    ON_COMMAND(ID_VIEW_DOC_APP, OnViewDocApp)
    ON_COMMAND(ID_DISABLED_BY_VIEW, OnDisabled)
    ON_UPDATE_COMMAND_UI(ID_VIEW_DOC_APP, OnUpdateViewDocApp)
    ON_UPDATE_COMMAND_UI(ID_DISABLED_BY_VIEW, OnUpdateDisabled)
END_MESSAGE_MAP()

class CTestFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CTestFrame)
    DECLARE_MESSAGE_MAP()
public:
    CToolBar m_wndToolBar;
    CStatusBar m_wndStatusBar;
    int OnCreate(LPCREATESTRUCTA lpcs) {
        if (CFrameWnd::OnCreate(lpcs) == -1)
            return -1;
        static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                                          ID_INDICATOR_SCRL};
        if (!m_wndToolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_FLYBY |
                                           CBRS_TOOLTIPS | CBRS_GRIPPER) ||
            !m_wndToolBar.LoadToolBar(IDR_TEST_FRAME) || !m_wndStatusBar.Create(this) ||
            !m_wndStatusBar.SetIndicators(indicators, 4))
            return -1;
        m_wndToolBar.SendMessage(TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
        const int index = m_wndToolBar.CommandToIndex(ID_DROPDOWN);
        m_wndToolBar.SetButtonStyle(index, m_wndToolBar.GetButtonStyle(index) | TBSTYLE_DROPDOWN);
        return 0;
    }
    void OnAll() { Log("frame"); }
    void OnDropDownCommand() { Log("frame dropdown command"); }
    void OnDropDown(NMHDR* pNMHDR, LRESULT* pResult) {
        Log("frame dropdown arrow " + std::to_string(reinterpret_cast<NMTOOLBARA*>(pNMHDR)->iItem));
        *pResult = TBDDRET_DEFAULT;
    }
};

IMPLEMENT_DYNCREATE(CTestFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(ID_ALL_HANDLE, OnAll)
    ON_COMMAND(ID_DROPDOWN, OnDropDownCommand)
    ON_NOTIFY(TBN_DROPDOWN, AFX_IDW_TOOLBAR, OnDropDown)
END_MESSAGE_MAP()

class CTestApp : public CWinApp {
    DECLARE_MESSAGE_MAP()
public:
    CTestApp() : CWinApp("FrameworkTest") {}
    bool InitInstance() override {
        SetRegistryKey("DscpFrameworkTest");
        LoadStdProfileSettings(4);
        AddDocTemplate(new CSingleDocTemplate(IDR_TEST_FRAME, RUNTIME_CLASS(CTestDoc),
                                              RUNTIME_CLASS(CTestFrame), RUNTIME_CLASS(CTestView)));
        CCommandLineInfo cmdInfo;
        ParseCommandLine(cmdInfo);
        return ProcessShellCommand(cmdInfo);
    }
    void OnAll() { Log("app"); }
    void OnViewDocApp() { Log("app"); }
    void OnDocApp() { Log("app"); }
    void OnAppOnly() { Log("app"); }
};

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_FILE_NEW, OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
    ON_COMMAND(ID_ALL_HANDLE, OnAll)
    ON_COMMAND(ID_VIEW_DOC_APP, OnViewDocApp)
    ON_COMMAND(ID_DOC_APP, OnDocApp)
    ON_COMMAND(ID_APP_ONLY, OnAppOnly)
END_MESSAGE_MAP()

class FrameworkApp : public ::testing::Test {
protected:
    void SetUp() override {
        g_log.clear();
        m_pApp = std::make_unique<CTestApp>();
        ASSERT_TRUE(m_pApp->InitInstance());
        m_pFrame = dynamic_cast<CTestFrame*>(m_pApp->GetMainWnd());
        ASSERT_NE(m_pFrame, nullptr);
        m_pView = dynamic_cast<CTestView*>(m_pFrame->GetActiveView());
        ASSERT_NE(m_pView, nullptr);
        RunIdle();
    }
    void TearDown() override {
        if (m_pApp->GetMainWnd())
            m_pApp->GetMainWnd()->DestroyWindow();
        PumpMessages();
        MSG msg;
        PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        m_pApp.reset();
        EXPECT_EQ(CTestDoc::s_nLive, 0);
    }
    void Command(UINT nID) { m_pFrame->SendMessage(WM_COMMAND, nID, 0); }
    bool ButtonEnabled(UINT nID) {
        return m_pFrame->m_wndToolBar.SendMessage(TB_ISBUTTONENABLED, nID) != 0;
    }
    bool ButtonChecked(UINT nID) {
        return m_pFrame->m_wndToolBar.SendMessage(TB_ISBUTTONCHECKED, nID) != 0;
    }

    std::unique_ptr<CTestApp> m_pApp;
    CTestFrame* m_pFrame = nullptr;
    CTestView* m_pView = nullptr;
};

} // namespace

TEST_F(FrameworkApp, TheTemplateMakesDocumentFrameAndViewTogether) {
    CDocument* pDoc = m_pView->GetDocument();
    ASSERT_NE(pDoc, nullptr);
    EXPECT_EQ(pDoc, m_pApp->GetDocTemplate()->GetOnlyDocument());
    EXPECT_EQ(pDoc->GetViews().size(), 1u);
    EXPECT_EQ(m_pView->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    EXPECT_EQ(m_pView->m_nInitialUpdates, 1);
    EXPECT_EQ(m_pFrame->GetWindowText(), "TestDoc - Test Frame"); // FWS_ADDTOTITLE
    EXPECT_TRUE(m_pFrame->IsWindowVisible());
    EXPECT_NE(GetMenu(m_pFrame->m_hWnd), nullptr);
}

TEST_F(FrameworkApp, FileNewRunsTheInitialUpdateAgainOnTheSameDocument) {
    CDocument* pDoc = m_pView->GetDocument();
    Command(ID_FILE_NEW);
    EXPECT_EQ(m_pView->m_nInitialUpdates, 2);
    EXPECT_EQ(m_pView->GetDocument(), pDoc);
    EXPECT_EQ(m_pApp->GetMainWnd(), m_pFrame);
}

TEST_F(FrameworkApp, CommandsGoToFrameThenViewThenDocumentThenApplication) {
    for (UINT nID : {ID_ALL_HANDLE, ID_VIEW_DOC_APP, ID_DOC_APP, ID_APP_ONLY, ID_NOBODY})
        Command(nID);
    EXPECT_EQ(g_log, (std::vector<std::string>{"frame", "view", "doc", "app"}));
    CmdMsg probe{ID_NOBODY, 0, CmdPhase::Probe, nullptr};
    EXPECT_FALSE(m_pFrame->OnCmdMsg(probe));
    CmdMsg probeApp{ID_APP_ONLY, 0, CmdPhase::Probe, nullptr};
    EXPECT_TRUE(m_pFrame->OnCmdMsg(probeApp));
    EXPECT_TRUE(g_log.size() == 4u); // probing runs nothing
}

TEST_F(FrameworkApp, ACommandItsUpdateHandlerDisablesIsNotRun) {
    Command(ID_DISABLED_BY_VIEW);
    // Nor through an accelerator.
    MSG msg{m_pView->m_hWnd, WM_KEYDOWN, VK_F7, 0, GetTickCount(), {}};
    EXPECT_TRUE(m_pApp->PreTranslateMessage(&msg));
    EXPECT_TRUE(g_log.empty());
}

TEST_F(FrameworkApp, AcceleratorsOfTheFrameReachTheRoute) {
    MSG msg{m_pView->m_hWnd, WM_KEYDOWN, VK_F5, 0, GetTickCount(), {}};
    EXPECT_TRUE(m_pApp->PreTranslateMessage(&msg));
    EXPECT_EQ(g_log, (std::vector<std::string>{"app"}));
}

TEST_F(FrameworkApp, IdleUpdatesEnableAndCheckToolbarButtons) {
    EXPECT_TRUE(ButtonEnabled(ID_ALL_HANDLE));
    EXPECT_TRUE(ButtonEnabled(ID_APP_ONLY)); // the application handles it
    EXPECT_FALSE(ButtonEnabled(ID_NOBODY));  // no handler anywhere
    EXPECT_FALSE(ButtonEnabled(ID_DISABLED_BY_VIEW));
    EXPECT_TRUE(ButtonChecked(ID_VIEW_DOC_APP));
    EXPECT_FALSE(ButtonChecked(ID_ALL_HANDLE));
    // A button changed behind the framework's back is set right at the next idle pass.
    m_pFrame->m_wndToolBar.SendMessage(TB_ENABLEBUTTON, ID_NOBODY, TRUE);
    RunIdle();
    EXPECT_FALSE(ButtonEnabled(ID_NOBODY));
}

TEST_F(FrameworkApp, MenuItemsAreUpdatedWhenTheirPopupOpens) {
    HMENU hPopup = GetSubMenu(GetMenu(m_pFrame->m_hWnd), 0);
    m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup), MAKELPARAM(0, FALSE));
    auto state = [&](UINT nID) { return GetMenuState(hPopup, nID, MF_BYCOMMAND); };
    EXPECT_FALSE(state(ID_ALL_HANDLE) & MF_GRAYED);
    EXPECT_TRUE(state(ID_VIEW_DOC_APP) & MF_CHECKED);
    EXPECT_TRUE(state(ID_NOBODY) & MF_GRAYED);
    EXPECT_TRUE(state(ID_DISABLED_BY_VIEW) & MF_GRAYED);
    EXPECT_TRUE(state(ID_VIEW_TOOLBAR) & MF_CHECKED); // the bar is visible
    EXPECT_FALSE(state(ID_VIEW_TOOLBAR) & MF_GRAYED);
}

TEST_F(FrameworkApp, BarTogglesHideAndShowBarsByIdAndTheViewTakesTheRoom) {
    const CRect client = m_pFrame->GetClientRect();
    const CRect toolbar = m_pFrame->m_wndToolBar.GetWindowRect();
    const CRect status = m_pFrame->m_wndStatusBar.GetWindowRect();
    CRect view = m_pView->GetWindowRect();
    EXPECT_EQ(view.top, toolbar.bottom);
    EXPECT_EQ(view.bottom, status.top);
    EXPECT_EQ(view.Width(), client.Width());
    EXPECT_GT(toolbar.Height(), 30); // 30-pixel images

    // The query mode moves nothing and gives the view's room.
    RECT room{};
    m_pFrame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &room);
    POINT origin{room.left, room.top};
    ClientToScreen(m_pFrame->m_hWnd, &origin);
    EXPECT_EQ(origin.y, view.top);
    EXPECT_EQ(room.bottom - room.top, view.Height());

    Command(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(m_pFrame->m_wndToolBar.IsWindowVisible());
    view = m_pView->GetWindowRect();
    EXPECT_EQ(view.top, toolbar.top);
    Command(ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(m_pFrame->m_wndStatusBar.IsWindowVisible());
    EXPECT_EQ(m_pView->GetWindowRect().Height(), client.Height());
    HMENU hPopup = GetSubMenu(GetMenu(m_pFrame->m_hWnd), 0);
    m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup), 0);
    EXPECT_FALSE(GetMenuState(hPopup, ID_VIEW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED);
    Command(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(m_pFrame->m_wndToolBar.IsWindowVisible());
    EXPECT_EQ(m_pView->GetWindowRect().top, toolbar.bottom);
}

TEST_F(FrameworkApp, ADelayedLayoutWaitsForTheIdlePass) {
    m_pFrame->ShowControlBar(&m_pFrame->m_wndToolBar, false, true);
    EXPECT_TRUE(m_pFrame->m_wndToolBar.IsWindowVisible());
    EXPECT_FALSE(m_pFrame->m_wndToolBar.IsVisible());
    RunIdle();
    EXPECT_FALSE(m_pFrame->m_wndToolBar.IsWindowVisible());
    EXPECT_EQ(m_pView->GetWindowRect().top, m_pFrame->m_wndToolBar.GetWindowRect().top);
}

TEST_F(FrameworkApp, StatusBarShowsPromptsReadyAndKeyIndicators) {
    CStatusBar& bar = m_pFrame->m_wndStatusBar;
    ASSERT_EQ(bar.GetCount(), 4);
    EXPECT_EQ(bar.GetPaneText(0), "Ready");
    HMENU hMenu = GetMenu(m_pFrame->m_hWnd);
    m_pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_VIEW_TOOLBAR, MF_STRING),
                          reinterpret_cast<LPARAM>(hMenu));
    EXPECT_EQ(bar.GetPaneText(0), "Show or hide the toolbar");
    m_pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_NOBODY, MF_STRING),
                          reinterpret_cast<LPARAM>(hMenu));
    EXPECT_EQ(bar.GetPaneText(0), ""); // no prompt string
    m_pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(bar.GetPaneText(0), "Ready");

    BYTE keys[256];
    ASSERT_TRUE(GetKeyboardState(keys));
    const BYTE saved = keys[VK_CAPITAL];
    keys[VK_CAPITAL] |= 1;
    SetKeyboardState(keys);
    RunIdle();
    EXPECT_EQ(bar.GetPaneText(1), "CAP");
    keys[VK_CAPITAL] &= ~1;
    SetKeyboardState(keys);
    RunIdle();
    EXPECT_EQ(bar.GetPaneText(1), "");
    keys[VK_CAPITAL] = saved;
    SetKeyboardState(keys);
    // Each indicator pane is as wide as its text allows, and sits at the right.
    EXPECT_GT(bar.GetPaneWidth(3), bar.GetPaneWidth(1) - 1);
    EXPECT_GT(bar.GetPaneWidth(0), bar.GetPaneWidth(1));
}

TEST_F(FrameworkApp, TooltipsComeFromTheCommandStringAfterItsNewline) {
    NMTTDISPINFOA info{};
    info.hdr.hwndFrom = m_pFrame->m_wndToolBar.m_hWnd;
    info.hdr.idFrom = ID_ALL_HANDLE;
    info.hdr.code = TTN_GETDISPINFOA;
    m_pFrame->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(info.lpszText, "Tip of all");
    info.hdr.idFrom = ID_NOBODY;
    m_pFrame->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(info.lpszText, "");
}

TEST_F(FrameworkApp, TheDropDownArrowNotifiesTheFrameAndTheButtonRunsItsCommand) {
    CToolBar& bar = m_pFrame->m_wndToolBar;
    const int index = bar.CommandToIndex(ID_DROPDOWN);
    ASSERT_TRUE(bar.GetButtonStyle(index) & TBSTYLE_DROPDOWN);
    const CRect rect = bar.GetItemRect(index);
    const LPARAM arrow = MAKELPARAM(rect.right - 4, (rect.top + rect.bottom) / 2);
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, arrow);
    bar.SendMessage(WM_LBUTTONUP, 0, arrow);
    PumpMessages();
    ASSERT_FALSE(g_log.empty());
    EXPECT_EQ(g_log[0], "frame dropdown arrow " + std::to_string(ID_DROPDOWN));
    g_log.clear();
    const LPARAM face = MAKELPARAM(rect.left + 8, (rect.top + rect.bottom) / 2);
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, face);
    bar.SendMessage(WM_LBUTTONUP, 0, face);
    PumpMessages();
    EXPECT_EQ(g_log, (std::vector<std::string>{"frame dropdown command"}));
}

TEST_F(FrameworkApp, SavingNeverTouchesTheOpenedFile) {
    TempTree tree;
    tree.File("kept.dat", 0);
    const std::string path = tree.Path("kept.dat");
    {
        std::ofstream out(path, std::ios::binary);
        out << "precious contents";
    }
    ASSERT_NE(m_pApp->OpenDocumentFile(path.c_str()), nullptr);
    EXPECT_EQ(m_pView->m_nInitialUpdates, 2);
    CDocument* pDoc = m_pView->GetDocument();
    EXPECT_EQ(pDoc->GetTitle(), "kept.dat");
    Command(ID_FILE_SAVE);
    std::ifstream in(path, std::ios::binary);
    std::stringstream contents;
    contents << in.rdbuf();
    EXPECT_EQ(contents.str(), "precious contents");
    ASSERT_NE(m_pApp->GetRecentFileList(), nullptr);
    ASSERT_FALSE(m_pApp->GetRecentFileList()->Names().empty());
}

TEST_F(FrameworkApp, AFileThatCannotBeOpenedIsReportedAndChangesNothing) {
    CDocument* pDoc = m_pView->GetDocument();
    DialogAnswerer answer(IDOK);
    EXPECT_EQ(m_pApp->OpenDocumentFile("Z:\\no\\such\\file.dat"), nullptr);
    ASSERT_TRUE(answer.Join());
    EXPECT_EQ(answer.Caption(), "FrameworkTest");
    EXPECT_NE(answer.Text().find("file.dat"), std::string::npos);
    EXPECT_EQ(m_pView->GetDocument(), pDoc);
    EXPECT_EQ(m_pView->m_nInitialUpdates, 1);
}

TEST_F(FrameworkApp, ExitClosesTheMainWindowAndEndsTheMessageLoop) {
    m_pFrame->PostMessage(WM_COMMAND, ID_APP_EXIT);
    EXPECT_EQ(m_pApp->Run(), 0);
    EXPECT_EQ(m_pApp->GetMainWnd(), nullptr);
    EXPECT_EQ(CTestDoc::s_nLive, 0); // the document went with its view
}

TEST_F(FrameworkApp, TheCloseBoxEndsTheMessageLoopToo) {
    m_pFrame->PostMessage(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_EQ(m_pApp->Run(), 0);
    EXPECT_EQ(m_pApp->GetMainWnd(), nullptr);
}

// ---- profile ----

TEST(Profile, IntegersAndStringsRoundTripAndReadingCreatesNothing) {
    ScopedRegistryKey key("Software\\DscpProfileTest");
    CRegistryProfile profile;
    profile.SetLocation("DscpProfileTest", "App");
    EXPECT_EQ(profile.KeyPath("Sect"), "Software\\DscpProfileTest\\App\\Sect");
    EXPECT_EQ(profile.GetInt("Sect", "n", 42), 42u);
    EXPECT_EQ(profile.GetString("Sect", "s", "none"), "none");
    EXPECT_FALSE(key.Exists());

    EXPECT_TRUE(profile.WriteInt("Sect", "n", -5));
    EXPECT_TRUE(profile.WriteString("Sect", "s", "caf\xC3\xA9"));
    EXPECT_EQ(static_cast<int>(profile.GetInt("Sect", "n", 0)), -5);
    EXPECT_EQ(profile.GetString("Sect", "s"), "caf\xC3\xA9");
    EXPECT_EQ(profile.GetInt("Sect", "s", 9), 9u); // a string is no integer

    EXPECT_TRUE(profile.WriteString("Sect", "s", nullptr));
    EXPECT_EQ(profile.GetString("Sect", "s", "gone"), "gone");
    EXPECT_TRUE(profile.WriteString("Sect", nullptr, nullptr));
    EXPECT_FALSE(RegistryKeyExists("Software\\DscpProfileTest\\App\\Sect"));

    CRegistryProfile unset;
    EXPECT_FALSE(unset.WriteInt("Sect", "n", 1));
    EXPECT_EQ(unset.GetInt("Sect", "n", 3), 3u);
}

TEST(Profile, TheRecentFileListIsWrittenOnlyWhenItChanged) {
    ScopedRegistryKey key("Software\\DscpProfileTest");
    CRegistryProfile profile;
    profile.SetLocation("DscpProfileTest", "App");
    CRecentFileList list(2);
    list.ReadList(profile);
    list.WriteList(profile);
    EXPECT_FALSE(key.Exists());
    list.Add("C:\\a.dat");
    list.Add("C:\\b.dat");
    list.Add("c:\\A.DAT"); // the same file again moves to the front
    list.Add("C:\\c.dat");
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"C:\\c.dat", "c:\\A.DAT"}));
    list.WriteList(profile);
    CRecentFileList again(4);
    again.ReadList(profile);
    EXPECT_EQ(again.Names(), list.Names());
}

// ---- message boxes ----

TEST(MessageBox, IsModalCaptionedWithTheApplicationAndReturnsTheAnswer) {
    CWinApp app("Box Test");
    DialogAnswerer answer(IDNO);
    EXPECT_EQ(AfxMessageBox("Keep going?", MB_YESNO), IDNO);
    ASSERT_TRUE(answer.Join());
    EXPECT_EQ(answer.Caption(), "Box Test");
    EXPECT_NE(answer.Text().find("Keep going?"), std::string::npos);
}
