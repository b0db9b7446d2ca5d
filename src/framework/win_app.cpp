#include "win_app.h"

#include <commctrl.h>
#include <commdlg.h>
#include <ole2.h>

#include <cstdlib>

#include "doc_template.h"
#include "document.h"
#include "frame_wnd.h"
#include "recent_file_list.h"
#include "wnd.h"

namespace {

CWinApp* g_pApp = nullptr;

// Messages that do not make the program busy: the idle pass need not run again.
bool IsIdleMessage(const MSG& msg, POINT& ptLast, UINT& nLastMessage) {
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
        if (nLastMessage == msg.message && ptLast.x == msg.pt.x && ptLast.y == msg.pt.y)
            return false;
        ptLast = msg.pt;
        nLastMessage = msg.message;
        return true;
    }
    nLastMessage = msg.message;
    return msg.message != WM_PAINT && msg.message != 0x0118; // nor the caret's blink
}

} // namespace

CWinApp* AfxGetApp() {
    return g_pApp;
}

CWnd* AfxGetMainWnd() {
    return g_pApp ? g_pApp->GetMainWnd() : nullptr;
}

bool AfxLoadString(UINT nID, std::string& rString) {
    rString.clear();
    // Strings are at most 4095 characters; the UTF-8 code page may need four bytes each.
    std::vector<char> buffer(4096 * 4);
    const int n =
        LoadStringA(GetModuleHandleA(nullptr), nID, buffer.data(), static_cast<int>(buffer.size()));
    if (n <= 0)
        return false;
    rString.assign(buffer.data(), static_cast<size_t>(n));
    return true;
}

std::string AfxLoadString(UINT nID) {
    std::string text;
    AfxLoadString(nID, text);
    return text;
}

int AfxMessageBox(const char* lpszText, UINT nType) {
    if (g_pApp)
        return g_pApp->DoMessageBox(lpszText, nType);
    return MessageBoxA(nullptr, lpszText, "", nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType) {
    return AfxMessageBox(AfxLoadString(nIDPrompt).c_str(), nType);
}

bool AfxOleInit() {
    return g_pApp && g_pApp->InitOle();
}

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* lpszAppName) {
    if (lpszAppName)
        m_strAppName = lpszAppName;
    else
        AfxLoadString(AFX_IDS_APP_TITLE, m_strAppName);
    m_hInstance = GetModuleHandleA(nullptr);
    m_pPreviousApp = g_pApp;
    g_pApp = this;
}

CWinApp::~CWinApp() {
    if (m_pMainWnd && m_pMainWnd->m_hWnd)
        m_pMainWnd->DestroyWindow();
    m_pDocTemplate.reset();
    if (m_bOleInitialized)
        OleUninitialize();
    if (g_pApp == this)
        g_pApp = m_pPreviousApp;
}

void CWinApp::SetMainWnd(CWnd* pWnd) {
    if (m_pMainWnd == pWnd)
        return;
    if (m_pMainWnd)
        m_pMainWnd->SetDestroyedHook(nullptr);
    m_pMainWnd = pWnd;
    if (pWnd)
        pWnd->SetDestroyedHook([this, pWnd] {
            if (m_pMainWnd == pWnd) {
                m_pMainWnd = nullptr;
                PostQuitMessage(0);
            }
        });
}

int CWnd::MessageBox(const char* lpszText, const char* lpszCaption, UINT nType) const {
    if (!lpszCaption) {
        CWinApp* pApp = AfxGetApp();
        lpszCaption = pApp ? pApp->m_strAppName.c_str() : "";
    }
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
}

bool CWinApp::InitInstance() {
    return true;
}

bool CWinApp::InitOle() {
    if (m_bOleInitialized)
        return true;
    const HRESULT hr = OleInitialize(nullptr);
    if (FAILED(hr))
        return false;
    m_bOleInitialized = true;
    return true;
}

int CWinApp::ExitInstance() {
    if (m_pRecentFileList)
        m_pRecentFileList->WriteList(m_profile);
    return m_nExitCode;
}

bool CWinApp::PreTranslateMessage(MSG* pMsg) {
    HWND hWndMain = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    for (HWND h = pMsg->hwnd; h; h = GetParent(h)) {
        if (CWnd* pWnd = CWnd::FromHandlePermanent(h))
            if (pWnd->PreTranslateMessage(pMsg))
                return true;
        if (h == hWndMain)
            return false;
    }
    // A message for a window outside the main window (a tooltip): the main window's
    // accelerators still apply.
    return m_pMainWnd && m_pMainWnd->PreTranslateMessage(pMsg);
}

bool CWinApp::PumpMessage() {
    MSG& msg = m_msgCur;
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
        m_nExitCode = static_cast<int>(msg.wParam);
        return false;
    }
    if (!PreTranslateMessage(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

bool CWinApp::OnIdle(LONG lCount) {
    if (lCount <= 0) {
        CWnd* pMainWnd = m_pMainWnd;
        if (pMainWnd && pMainWnd->m_hWnd && pMainWnd->IsWindowVisible()) {
            pMainWnd->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
            pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, true, true);
        }
        return true;
    }
    return false;
}

int CWinApp::Run() {
    bool bIdle = true;
    LONG lIdleCount = 0;
    POINT ptLast{-1, -1};
    UINT nLastMessage = 0;
    for (;;) {
        MSG msg;
        while (bIdle && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(lIdleCount++))
                bIdle = false;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(m_msgCur, ptLast, nLastMessage)) {
                bIdle = true;
                lIdleCount = 0;
            }
        } while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
}

void CWinApp::SetRegistryKey(const char* lpszRegistryKey) {
    m_strRegistryKey = lpszRegistryKey ? lpszRegistryKey : "";
    m_strProfileName = m_strAppName;
    m_profile.SetLocation(m_strRegistryKey, m_strProfileName);
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU) {
    m_pRecentFileList = std::make_unique<CRecentFileList>(nMaxMRU);
    m_pRecentFileList->ReadList(m_profile);
}

void CWinApp::AddDocTemplate(CSingleDocTemplate* pTemplate) {
    m_pDocTemplate.reset(pTemplate);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) const {
    rCmdInfo.Parse(m_args);
}

bool CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo) {
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew: {
        CmdMsg msg{ID_FILE_NEW, 0, CmdPhase::Execute, nullptr};
        if (!OnCmdMsg(msg))
            OnFileNew();
        return m_pMainWnd != nullptr;
    }
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(rCmdInfo.m_strFileName.c_str()) != nullptr;
    }
    return false;
}

CDocument* CWinApp::OpenDocumentFile(const char* lpszFileName) {
    return m_pDocTemplate ? m_pDocTemplate->OpenDocumentFile(lpszFileName) : nullptr;
}

void CWinApp::AddToRecentFileList(const char* lpszPathName) {
    if (m_pRecentFileList && lpszPathName)
        m_pRecentFileList->Add(lpszPathName);
}

void CWinApp::CloseAllDocuments() {
    if (m_pDocTemplate)
        m_pDocTemplate->CloseAllDocuments();
}

void CWinApp::OnFileNew() {
    if (m_pDocTemplate)
        m_pDocTemplate->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen() {
    std::string filterName;
    std::string filterExt;
    if (m_pDocTemplate) {
        m_pDocTemplate->GetDocString(filterName, kFilterName);
        m_pDocTemplate->GetDocString(filterExt, kFilterExt);
    }
    // "name\0pattern\0" pairs, ending in an empty pair.
    std::string filter;
    if (!filterName.empty() && !filterExt.empty())
        filter += filterName + '\0' + "*" + filterExt + '\0';
    filter += std::string("All Files (*.*)") + '\0' + "*.*" + '\0' + '\0';

    char fileName[MAX_PATH * 4] = {};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = fileName;
    ofn.nMaxFile = sizeof(fileName);
    ofn.lpstrTitle = "Open";
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER;
    if (!GetOpenFileNameA(&ofn))
        return;
    OpenDocumentFile(fileName);
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

UINT CWinApp::GetProfileInt(const char* lpszSection, const char* lpszEntry, int nDefault) const {
    return m_profile.GetInt(lpszSection, lpszEntry, nDefault);
}

bool CWinApp::WriteProfileInt(const char* lpszSection, const char* lpszEntry, int nValue) const {
    return m_profile.WriteInt(lpszSection, lpszEntry, nValue);
}

std::string CWinApp::GetProfileString(const char* lpszSection, const char* lpszEntry,
                                      const char* lpszDefault) const {
    return m_profile.GetString(lpszSection, lpszEntry, lpszDefault);
}

bool CWinApp::WriteProfileString(const char* lpszSection, const char* lpszEntry,
                                 const char* lpszValue) const {
    return m_profile.WriteString(lpszSection, lpszEntry, lpszValue);
}

int CWinApp::DoMessageBox(const char* lpszPrompt, UINT nType) {
    HWND hWndOwner = nullptr;
    if (m_pMainWnd && m_pMainWnd->m_hWnd && m_pMainWnd->IsWindowVisible())
        hWndOwner = GetLastActivePopup(m_pMainWnd->m_hWnd);
    return MessageBoxA(hWndOwner, lpszPrompt, m_strAppName.c_str(), nType);
}

int AfxWinMain(HINSTANCE hInstance, int nCmdShow) {
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return 1;
    pApp->m_hInstance = hInstance;
    pApp->m_nCmdShow = nCmdShow;
    pApp->m_args.clear();
    for (int i = 1; i < __argc; ++i)
        pApp->m_args.emplace_back(__argv[i]);
    if (pApp->m_strAppName.empty() && !AfxLoadString(AFX_IDS_APP_TITLE, pApp->m_strAppName))
        pApp->m_strAppName = "Application";

    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    if (!pApp->InitInstance()) {
        if (pApp->m_pMainWnd && pApp->m_pMainWnd->m_hWnd)
            pApp->m_pMainWnd->DestroyWindow();
        pApp->ExitInstance();
        return 1;
    }
    return pApp->Run();
}
