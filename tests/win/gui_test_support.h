#pragma once
// Helpers for tests that drive real windows in-process under Wine.

#include <windows.h>

#include <atomic>
#include <functional>
#include <initializer_list>
#include <string>
#include <thread>

// Handles every queued message (posted and sent), through the application's
// PreTranslateMessage when there is an application. A WM_QUIT is kept aside.
void PumpMessages();
// One full idle pass of the application, as the message loop runs it.
void RunIdle();

// Real mouse input through the system's queue, to the point `ptScreen` with the button
// events of `dwButtons` (MOUSEEVENTF_LEFTDOWN, ...): the system finds the window under the
// cursor, sends it the hit test and routes by the capture as for a user's hand. Returns
// once the cursor is there and this thread has handled the input; false when that did not
// happen within a minute.
bool SendMouse(POINT ptScreen, DWORD dwButtons = 0);

// Real key strokes through the system's queue to the focused window: the keys pressed in
// order (modifiers first) and let go in reverse, as a hand would. Returns once this thread
// has handled the input; false when that did not happen within a minute.
bool SendKeys(std::initializer_list<WORD> keys);

// Answers the next modal dialog or message box of this process from a helper thread:
// waits for it and for its thread to be in its modal loop, records its caption and
// texts, lets `act` work on it (default: press the button `nButton`), and stops waiting
// after `timeoutMs`.
class DialogAnswerer {
public:
    explicit DialogAnswerer(int nButton, DWORD timeoutMs = 60000);
    DialogAnswerer(std::function<void(HWND)> act, DWORD timeoutMs = 60000);
    ~DialogAnswerer();
    // Waits for the helper to finish; true when it found and answered a dialog.
    bool Join();
    // Stops waiting and joins (the caller knows no dialog can come any more: a modal one
    // would still be open); true when it answered one.
    bool Stop();
    std::string Caption() const { return m_caption; }
    std::string Text() const { return m_text; } // the texts of its static controls

private:
    void Run(std::function<void(HWND)> act, DWORD timeoutMs);
    std::thread m_thread;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bAnswered{false};
    std::string m_caption;
    std::string m_text;
};

// A registry key under HKEY_CURRENT_USER that the test owns: removed before and after.
class ScopedRegistryKey {
public:
    explicit ScopedRegistryKey(std::string path);
    ~ScopedRegistryKey();
    bool Exists() const;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

bool RegistryKeyExists(const std::string& path);
