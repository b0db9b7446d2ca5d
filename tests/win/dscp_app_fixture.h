#pragma once
// The program in-process: each test starts the application object as the program does,
// with a profile key of its own, drives its windows, and ends it.

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "dirscope_app.h"
#include "dirscope_view.h"
#include "gui_test_support.h"
#include "main_frame.h"

class DscpAppFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_pProfile = std::make_unique<ScopedRegistryKey>("Software\\Tarnwick");
        StartApp({});
    }
    void TearDown() override { StopApp(); }

    // Starts the program with a command line of `args`.
    void StartApp(const std::vector<std::string>& args) {
        m_pApp = std::make_unique<CDirscopeApp>();
        m_pApp->m_args = args;
        ASSERT_TRUE(m_pApp->InitInstance());
        m_pFrame = dynamic_cast<CMainFrame*>(m_pApp->m_pMainWnd);
        ASSERT_NE(m_pFrame, nullptr);
        m_pView = dynamic_cast<CDirscopeView*>(m_pFrame->GetActiveView());
        ASSERT_NE(m_pView, nullptr);
        RunIdle();
    }
    // Closes the main window and ends the application, as leaving its loop does.
    void StopApp() {
        if (m_pApp && m_pApp->m_pMainWnd)
            m_pApp->m_pMainWnd->DestroyWindow();
        PumpMessages();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        if (m_pApp)
            m_pApp->ExitInstance();
        m_pApp.reset();
        m_pFrame = nullptr;
        m_pView = nullptr;
    }

    // Shows `folder` in the list the way a selection in the tree does.
    void Show(const std::string& folder) {
        m_pFrame->m_strCurrentFolder = folder;
        m_pView->ShowFolder();
    }
    void Command(UINT nID) { m_pFrame->SendMessage(WM_COMMAND, nID, 0); }
    // Handles messages until the background scan is done; false after `timeoutMs`.
    bool WaitForScan(DWORD timeoutMs = 20000) {
        const DWORD start = GetTickCount();
        while (m_pView->m_bScanning) {
            if (GetTickCount() - start > timeoutMs)
                return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            PumpMessages();
        }
        return true;
    }
    CListCtrl List() const { return m_pView->GetListCtrl(); }

    std::unique_ptr<ScopedRegistryKey> m_pProfile;
    std::unique_ptr<CDirscopeApp> m_pApp;
    CMainFrame* m_pFrame = nullptr;
    CDirscopeView* m_pView = nullptr;
};
