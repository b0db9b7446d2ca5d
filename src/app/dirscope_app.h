#pragma once
// CDirscopeApp: the application object. Start-up brings up OLE, the profile under
// HKEY_CURRENT_USER\Software\Tarnwick\Dirscope, the template that binds document,
// main window and list view, and then shows the main window.

#include "win_app.h"

class CDirscopeApp : public CWinApp {
    DECLARE_MESSAGE_MAP()
public:
    CDirscopeApp() = default; // the name comes from string AFX_IDS_APP_TITLE
    ~CDirscopeApp() override = default;
    bool InitInstance() override;

protected:
    void OnAppAbout();
};
