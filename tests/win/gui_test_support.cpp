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

bool SendMouse(POINT ptScreen, DWORD dwButtons) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    const int cx = GetSystemMetrics(SM_CXSCREEN);
    const int cy = GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = (ptScreen.x * 65536 + cx - 1) / cx;
    in.mi.dy = (ptScreen.y * 65536 + cy - 1) / cy;
    in.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | dwButtons;
    if (SendInput(1, &in, sizeof in) != 1)
        return false;
    const DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        POINT pt;
        GetCursorPos(&pt);
        if (pt.x == ptScreen.x && pt.y == ptScreen.y && !HIWORD(GetQueueStatus(QS_MOUSE)))
            return true;
        if (GetTickCount() - start > 60000)
            return false;
        // until more input arrives or the system has moved on; the condition is asked again
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool SendKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD vk : keys) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        inputs.push_back(in);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *--it;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
        return false;
    const DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        if (!HIWORD(GetQueueStatus(QS_KEY)) && !(GetKeyState(keys.begin()[0]) & 0x8000))
            return true;
        if (GetTickCount() - start > 60000)
            return false;
        // until more input arrives or the system has moved on; the condition is asked again
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
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

bool DialogAnswerer::Stop() {
    m_bStop = true;
    return Join();
}

void DialogAnswerer::Run(std::function<void(HWND)> act, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!m_bStop && GetTickCount() - start < timeoutMs) {
        FindDialog find{GetCurrentProcessId(), nullptr};
        EnumWindows(&FindDialogProc, reinterpret_cast<LPARAM>(&find));
        if (find.found) {
            // Its thread handles a sent message only from its modal loop, which it enters
            // once the dialog is initialised.
            DWORD_PTR result = 0;
            SendMessageTimeoutA(find.found, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result);
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
