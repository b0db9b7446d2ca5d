#include "dirscope_app.h"

#include "about_dialog.h"
#include "dirscope_doc.h"
#include "dirscope_view.h"
#include "doc_template.h"
#include "main_frame.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CDirscopeApp, CWinApp)
    ON_COMMAND(ID_FILE_NEW, OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
END_MESSAGE_MAP()

bool CDirscopeApp::InitInstance() {
    if (!AfxOleInit()) {
        AfxMessageBox("Unable to load OLE 2.0 libraries!", MB_OK);
        return false;
    }
    // No ActiveX control is hosted, and dialogs draw in 3-D by themselves: nothing more
    // to enable.
    SetRegistryKey("Tarnwick");
    LoadStdProfileSettings(4);

    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CDirscopeDoc),
                                          RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CDirscopeView)));

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    // A folder on the command line (the one shown, when the program restarts as an
    // administrator) is shown in a new window; a file is a saved scan to open.
    std::string folder;
    if (cmdInfo.m_nShellCommand == CCommandLineInfo::FileOpen) {
        const DWORD attributes = GetFileAttributesA(cmdInfo.m_strFileName.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            folder = cmdInfo.m_strFileName;
            cmdInfo.m_nShellCommand = CCommandLineInfo::FileNew;
        }
    }
    if (!ProcessShellCommand(cmdInfo))
        return false;
    if (auto* pFrame = dynamic_cast<CMainFrame*>(GetMainWnd()); pFrame && !folder.empty())
        pFrame->ShowTypedPath(folder);

    GetMainWnd()->ShowWindow(SW_SHOW);
    GetMainWnd()->UpdateWindow();
    return true;
}

void CDirscopeApp::OnAppAbout() {
    CAboutDialog aboutDlg;
    aboutDlg.DoModal();
}
