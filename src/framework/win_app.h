#pragma once
// CWinApp: the application object. It owns the document template and the profile,
// runs the message loop with its idle pass (command-UI updates of bars and the
// frame's delayed layout), hands keyboard messages to the windows' PreTranslateMessage
// (the frame's accelerators), and handles New, Open and Exit.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cmd_target.h"
#include "profile.h"
#include "shell_command.h"

class CDocument;
class CRecentFileList;
class CSingleDocTemplate;
class CWnd;

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
    DECLARE_MESSAGE_MAP()
public:
    // Without a name the application takes string AFX_IDS_APP_TITLE.
    explicit CWinApp(const char* lpszAppName = nullptr);
    ~CWinApp() override;

    std::string m_strAppName;
    std::string m_strRegistryKey;
    std::string m_strProfileName;
    HINSTANCE m_hInstance = nullptr;
    std::vector<std::string> m_args; // the command line, without the program

    CWnd* GetMainWnd() const { return m_pMainWnd; }
    // The window whose end ends the application: when it is destroyed, the message loop
    // is told to quit.
    void SetMainWnd(CWnd* pWnd);
    // How the main window is to show first, once: -1 after the first time.
    int TakeCmdShow() { return std::exchange(m_nCmdShow, -1); }

    virtual bool InitInstance();
    virtual int ExitInstance();
    virtual int Run();
    // One idle pass; true while there is more idle work to do.
    virtual bool OnIdle(LONG lCount);
    virtual bool PreTranslateMessage(MSG* pMsg);
    // Gets and dispatches one message; false on WM_QUIT.
    bool PumpMessage();

    // Start-up helpers.
    void SetRegistryKey(const char* lpszRegistryKey);
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void AddDocTemplate(CSingleDocTemplate* pTemplate); // takes ownership
    CSingleDocTemplate* GetDocTemplate() const { return m_pDocTemplate.get(); }
    void ParseCommandLine(CCommandLineInfo& rCmdInfo) const;
    bool ProcessShellCommand(CCommandLineInfo& rCmdInfo);
    virtual CDocument* OpenDocumentFile(const char* lpszFileName);
    void AddToRecentFileList(const char* lpszPathName);
    const CRecentFileList* GetRecentFileList() const { return m_pRecentFileList.get(); }
    void CloseAllDocuments();

    // The profile.
    const CRegistryProfile& Profile() const { return m_profile; }
    UINT GetProfileInt(const char* lpszSection, const char* lpszEntry, int nDefault) const;
    bool WriteProfileInt(const char* lpszSection, const char* lpszEntry, int nValue) const;
    std::string GetProfileString(const char* lpszSection, const char* lpszEntry,
                                 const char* lpszDefault = "") const;
    bool WriteProfileString(const char* lpszSection, const char* lpszEntry,
                            const char* lpszValue) const;

    virtual int DoMessageBox(const char* lpszPrompt, UINT nType);
    // Initialises OLE for this thread (undone at exit). False when it cannot.
    bool InitOle();

    int m_nExitCode = 0; // from WM_QUIT
    MSG m_msgCur{};      // the message handled last

protected:
    void OnFileNew();
    void OnFileOpen();
    void OnAppExit();

private:
    friend int AfxWinMain(HINSTANCE hInstance, int nCmdShow);

    CWnd* m_pMainWnd = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    std::unique_ptr<CSingleDocTemplate> m_pDocTemplate;
    std::unique_ptr<CRecentFileList> m_pRecentFileList;
    CRegistryProfile m_profile;
    bool m_bOleInitialized = false;
    CWinApp* m_pPreviousApp = nullptr;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// A string resource; false (and empty) when there is none.
bool AfxLoadString(UINT nID, std::string& rString);
std::string AfxLoadString(UINT nID);
// A modal message box owned by the main window, captioned with the application's name.
int AfxMessageBox(const char* lpszText, UINT nType = MB_OK);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK);
bool AfxOleInit();
// The program's entry: initialise, run the message loop, exit. Returns the exit code.
int AfxWinMain(HINSTANCE hInstance, int nCmdShow);
