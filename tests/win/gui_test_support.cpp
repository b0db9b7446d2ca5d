#include "gui_test_support.h"

#include <vector>

#include "win_app.h"

void PumpMessages() {
    MSG msg;
    bool bQuit = false;
    int nQuitCode = 0;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            bQuit = true;
            nQuitCode = static_cast<int>(msg.wParam);
            continue;
        }
        CWinApp* pApp = AfxGetApp();
        if (pApp && pApp->PreTranslateMessage(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (bQuit)
        PostQuitMessage(nQuitCode);
}

void RunIdle() {
    PumpMessages();
    if (CWinApp* pApp = AfxGetApp()) {
        LONG lCount = 0;
        while (pApp->OnIdle(lCount++)) {
        }
    }
}

namespace {

struct FindDialog {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindDialogProc(HWND hWnd, LPARAM lParam) {
    auto* pFind = reinterpret_cast<FindDialog*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    char cls[64] = {};
    GetClassNameA(hWnd, cls, sizeof(cls));
    if (pid == pFind->pid && std::string(cls) == "#32770" && IsWindowVisible(hWnd)) {
        pFind->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectTextProc(HWND hWnd, LPARAM lParam) {
    char cls[64] = {};
    GetClassNameA(hWnd, cls, sizeof(cls));
    if (std::string(cls) == "Static") {
        char text[1024] = {};
        GetWindowTextA(hWnd, text, sizeof(text));
        auto* pText = reinterpret_cast<std::string*>(lParam);
        if (text[0]) {
            if (!pText->empty())
                *pText += "\n";
            *pText += text;
        }
    }
    return TRUE;
}

} // namespace

DialogAnswerer::DialogAnswerer(int nButton, DWORD timeoutMs) {
    m_thread = std::thread([this, nButton, timeoutMs] {
        Run([nButton](
                HWND hDlg) { PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), 0); },
            timeoutMs);
    });
}

DialogAnswerer::DialogAnswerer(std::function<void(HWND)> act, DWORD timeoutMs) {
    m_thread = std::thread([this, act, timeoutMs] { Run(act, timeoutMs); });
}

DialogAnswerer::~DialogAnswerer() {
    Join();
}

bool DialogAnswerer::Join() {
    if (m_thread.joinable())
        m_thread.join();
    return m_bAnswered.load();
}

void DialogAnswerer::Run(std::function<void(HWND)> act, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        FindDialog find{GetCurrentProcessId(), nullptr};
        EnumWindows(&FindDialogProc, reinterpret_cast<LPARAM>(&find));
        if (find.found) {
            Sleep(100); // let it finish initialising
            char caption[256] = {};
            GetWindowTextA(find.found, caption, sizeof(caption));
            m_caption = caption;
            EnumChildWindows(find.found, &CollectTextProc, reinterpret_cast<LPARAM>(&m_text));
            act(find.found);
            m_bAnswered = true;
            return;
        }
        Sleep(50);
    }
}

bool RegistryKeyExists(const std::string& path) {
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

ScopedRegistryKey::ScopedRegistryKey(std::string path) : m_path(std::move(path)) {
    RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, m_path.c_str());
}

ScopedRegistryKey::~ScopedRegistryKey() {
    RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, m_path.c_str());
}

bool ScopedRegistryKey::Exists() const {
    return RegistryKeyExists(m_path);
}
