#pragma once
// The program in-process: the application object started as the program starts it, with a
// profile key of its own, its windows driven directly, and ended as leaving its loop ends
// it. The tests take it through DscpAppFixture; the screenshot tool and the benchmark use
// it as it is.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dirscope_app.h"
#include "dirscope_doc.h"
#include "dirscope_view.h"
#include "gui_test_support.h"
#include "main_frame.h"

class DscpInProcess {
public:
    // Starts the program with a command line of `args`; false when it did not come up with
    // its main window and list view.
    bool StartApp(const std::vector<std::string>& args) {
        m_pApp = std::make_unique<CDirscopeApp>();
        m_pApp->m_args = args;
        if (!m_pApp->InitInstance())
            return false;
        m_pFrame = dynamic_cast<CMainFrame*>(m_pApp->GetMainWnd());
        m_pView = m_pFrame ? dynamic_cast<CDirscopeView*>(m_pFrame->GetActiveView()) : nullptr;
        m_pDoc = m_pView ? m_pView->GetDocument() : nullptr;
        if (!m_pDoc)
            return false;
        RunIdle();
        return true;
    }
    // Closes the main window and ends the application, as leaving its loop does.
    void StopApp() {
        if (m_pApp && m_pApp->GetMainWnd())
            m_pApp->GetMainWnd()->DestroyWindow();
        PumpMessages();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        if (m_pApp)
            m_pApp->ExitInstance();
        m_pApp.reset();
        m_pFrame = nullptr;
        m_pView = nullptr;
        m_pDoc = nullptr;
    }

    // Shows `folder` as the frame does when the tree's selection changes.
    void Show(const std::string& folder) { m_pDoc->ShowFolder(folder); }
    void Command(UINT nID) { m_pFrame->SendMessage(WM_COMMAND, nID, 0); }
    // Handles messages, as the program's loop does, until `condition` holds; false when
    // it still does not after `timeoutMs`.
    bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 60000) {
        const DWORD start = GetTickCount();
        while (!condition()) {
            if (GetTickCount() - start > timeoutMs)
                return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            PumpMessages();
        }
        return true;
    }
    // Handles messages until the background scan is done.
    bool WaitForScan(DWORD timeoutMs = 60000) {
        return PumpUntil([this] { return !m_pDoc->IsScanning(); }, timeoutMs);
    }
    CListCtrl List() const { return m_pView->GetListCtrl(); }

    ScopedRegistryKey m_profile{"Software\\Tarnwick"};
    std::unique_ptr<CDirscopeApp> m_pApp;
    CMainFrame* m_pFrame = nullptr;
    CDirscopeView* m_pView = nullptr;
    CDirscopeDoc* m_pDoc = nullptr;
};
