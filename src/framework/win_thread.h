#pragma once
// CWinThread: a worker thread with a cooperative stop. The creator owns the object and
// joins the thread before it goes; it never frees itself. The user-interface thread
// waits for a worker only while it keeps handling the messages sent to its windows,
// so a worker that is waiting on a window message can always finish.

#include <windows.h>

#include <atomic>

using AFX_THREADPROC = UINT (*)(void* pParam);

class CWinThread {
public:
    CWinThread(AFX_THREADPROC pfnThreadProc, void* pParam);
    ~CWinThread(); // asks the thread to stop and joins it
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    bool CreateThread(int nPriority = THREAD_PRIORITY_NORMAL);

    void RequestStop() { m_bStop.store(true); }
    bool IsStopRequested() const { return m_bStop.load(); }
    // The flag the scan engine's walks check between entries.
    const std::atomic<bool>& StopFlag() const { return m_bStop; }

    // Waits for the thread to end, handling messages sent to this thread's windows
    // meanwhile (posted messages stay queued). False on time-out.
    bool Join(DWORD dwTimeout = INFINITE);
    bool IsRunning() const;
    DWORD GetExitCode() const;

    HANDLE m_hThread = nullptr;
    unsigned m_nThreadID = 0;

private:
    static unsigned __stdcall ThreadStart(void* pThis);
    AFX_THREADPROC m_pfnThreadProc;
    void* m_pThreadParams;
    std::atomic<bool> m_bStop{false};
};
