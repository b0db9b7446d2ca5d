// The real dscp.exe, started as its own process and driven from outside, as a user's
// desktop would: its window comes up with menu, toolbar, list and status bar, and it
// ends cleanly from File Exit and from the close box.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gui_test_support.h"

namespace {

std::string ProgramPath() {
    const char* exe = std::getenv("DSCP_EXE");
    if (!exe)
        return {};
    std::string path = exe;
    if (!path.empty() && path[0] == '/') { // a Unix path: Wine's Z: drive
        for (char& c : path)
            if (c == '/')
                c = '\\';
        path = "Z:" + path;
    }
    return path;
}

struct FindWindowOf {
    DWORD pid;
    const char* cls; // null: any class
    HWND found;
};

BOOL CALLBACK FindWindowOfProc(HWND hWnd, LPARAM lParam) {
    auto* pFind = reinterpret_cast<FindWindowOf*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    char cls[64] = {};
    GetClassNameA(hWnd, cls, sizeof(cls));
    if (pid == pFind->pid && IsWindowVisible(hWnd) &&
        (!pFind->cls || std::string(cls) == pFind->cls)) {
        pFind->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForWindow(DWORD pid, const char* cls, DWORD timeoutMs = 60000) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        FindWindowOf find{pid, cls, nullptr};
        EnumWindows(&FindWindowOfProc, reinterpret_cast<LPARAM>(&find));
        if (find.found)
            return find.found;
        Sleep(50);
    }
    return nullptr;
}

// The first pane's text, which the status bar gives as its window text (a message that
// crosses processes, unlike SB_GETTEXT).
std::string FirstPaneText(HWND hStatus) {
    char text[256] = {};
    SendMessageA(hStatus, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

class Program {
public:
    explicit Program(const std::string& arguments = "") {
        const std::string exe = ProgramPath();
        std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
        STARTUPINFOA si{};
        si.cb = sizeof(si);
        m_bStarted = CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                                    nullptr, nullptr, &si, &m_pi) != FALSE;
    }
    ~Program() {
        if (!m_bStarted)
            return;
        if (WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(m_pi.hProcess, 99);
        CloseHandle(m_pi.hThread);
        CloseHandle(m_pi.hProcess);
    }
    bool Started() const { return m_bStarted; }
    DWORD Pid() const { return m_pi.dwProcessId; }
    HANDLE Process() const { return m_pi.hProcess; }
    // True once the program waits for input with none pending: its start is over.
    bool WaitUntilIdle(DWORD timeoutMs = 60000) const {
        return WaitForInputIdle(m_pi.hProcess, timeoutMs) == 0;
    }
    // The exit code, or STILL_ACTIVE when it did not end in time.
    DWORD WaitForExit(DWORD timeoutMs = 60000) const {
        WaitForSingleObject(m_pi.hProcess, timeoutMs);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(m_pi.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION m_pi{};
    bool m_bStarted = false;
};

int ChildId(HWND hParent, const char* cls) {
    HWND h = FindWindowExA(hParent, nullptr, cls, nullptr);
    return h ? GetDlgCtrlID(h) : -1;
}

// Starts the program, checks its window, closes it with `message`.
void StartCheckAndClose(UINT message, WPARAM wParam) {
    ScopedRegistryKey profile("Software\\Tarnwick");
    Program program;
    ASSERT_TRUE(program.Started()) << ProgramPath();
    HWND hMain = WaitForWindow(program.Pid(), "DscpFrame");
    ASSERT_NE(hMain, nullptr);
    ASSERT_TRUE(program.WaitUntilIdle());

    char title[64] = {};
    GetWindowTextA(hMain, title, sizeof(title));
    EXPECT_STREQ(title, "Dirscope 3.0");
    // Wine keeps menus inside their process: from outside only their presence shows.
    EXPECT_NE(GetMenu(hMain), nullptr);
    // The toolbar sits in the dock bar along the top.
    HWND hTopDock = GetDlgItem(hMain, 0xE81B);
    EXPECT_EQ(ChildId(hTopDock, "ToolbarWindow32"), 59392);
    EXPECT_EQ(ChildId(hMain, "msctls_statusbar32"), 59393);
    EXPECT_EQ(ChildId(hMain, "SysListView32"), 59648);
    HWND hToolbar = FindWindowExA(hTopDock, nullptr, "ToolbarWindow32", nullptr);
    EXPECT_EQ(SendMessageA(hToolbar, TB_BUTTONCOUNT, 0, 0), 9);
    HWND hStatus = FindWindowExA(hMain, nullptr, "msctls_statusbar32", nullptr);
    EXPECT_EQ(SendMessageA(hStatus, SB_GETPARTS, 0, 0), 4);
    // The frame's idle prompt shows until the view's status timer (every two seconds)
    // writes the drive overview's counts over it.
    const std::string counts = "0 directory, 0 files";
    const std::string shown = FirstPaneText(hStatus);
    EXPECT_TRUE(shown == "Ready" || shown == counts) << shown;
    const DWORD start = GetTickCount();
    while (FirstPaneText(hStatus) != counts && GetTickCount() - start < 60000)
        Sleep(50);
    EXPECT_EQ(FirstPaneText(hStatus), counts);
    HWND hList = FindWindowExA(hMain, nullptr, "SysListView32", nullptr);
    HWND hHeader = reinterpret_cast<HWND>(SendMessageA(hList, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageA(hHeader, HDM_GETITEMCOUNT, 0, 0), 3); // the drive columns
    // The list, then the treemap pane in the bottom dock bar, then the status bar.
    RECT list{};
    RECT dock{};
    RECT status{};
    GetWindowRect(hList, &list);
    GetWindowRect(GetDlgItem(hMain, 0xE81E), &dock);
    GetWindowRect(hStatus, &status);
    EXPECT_EQ(list.bottom, dock.top);
    EXPECT_GT(dock.bottom, dock.top);
    EXPECT_EQ(dock.bottom, status.top);

    PostMessageA(hMain, message, wParam, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
    EXPECT_FALSE(IsWindow(hMain));
    EXPECT_FALSE(profile.Exists()); // nothing of the program's own was written
}

} // namespace

TEST(DscpExe, StartsWithItsWindowAndEndsFromFileExit) {
    StartCheckAndClose(WM_COMMAND, 57665);
}

TEST(DscpExe, EndsFromTheCloseBox) {
    StartCheckAndClose(WM_SYSCOMMAND, SC_CLOSE);
}

// The modules a running process has loaded, by their full paths.
std::vector<std::string> LoadedModules(HANDLE hProcess) {
    HMODULE modules[512];
    DWORD cbNeeded = 0;
    if (!EnumProcessModules(hProcess, modules, sizeof(modules), &cbNeeded))
        return {};
    std::vector<std::string> paths;
    for (DWORD i = 0; i < cbNeeded / sizeof(HMODULE) && i < 512; ++i) {
        char path[MAX_PATH] = {};
        if (GetModuleFileNameExA(hProcess, modules[i], path, MAX_PATH))
            paths.push_back(path);
    }
    return paths;
}

TEST(DscpExe, RunsWithTheCommonControls6OfItsOwnArchitecture) {
    ScopedRegistryKey profile("Software\\Tarnwick");
    Program program;
    ASSERT_TRUE(program.Started()) << ProgramPath();
    HWND hMain = WaitForWindow(program.Pid(), "DscpFrame");
    ASSERT_NE(hMain, nullptr);
    // Its manifest sent comctl32.dll to the common controls 6 assembly of this architecture.
#ifdef _WIN64
    const std::string assembly =
        "\\winsxs\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_6.0.";
#else
    const std::string assembly =
        "\\winsxs\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6.0.";
#endif
    std::string comctl32;
    for (const std::string& path : LoadedModules(program.Process()))
        if (path.size() >= 12 && _stricmp(path.c_str() + path.size() - 12, "comctl32.dll") == 0)
            comctl32 = path;
    EXPECT_NE(comctl32.find(assembly), std::string::npos) << comctl32;
    PostMessageA(hMain, WM_COMMAND, 57665, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(DscpExe, ADocumentThatCannotBeOpenedEndsTheStartWithTheFrameworksMessage) {
    Program program("Z:\\no\\such\\document.dsc");
    ASSERT_TRUE(program.Started());
    HWND hBox = WaitForWindow(program.Pid(), "#32770");
    ASSERT_NE(hBox, nullptr);
    char caption[64] = {};
    GetWindowTextA(hBox, caption, sizeof(caption));
    EXPECT_STREQ(caption, "Dirscope");
    PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    const DWORD code = program.WaitForExit();
    EXPECT_NE(code, 0u);
    EXPECT_NE(code, static_cast<DWORD>(STILL_ACTIVE));
}
