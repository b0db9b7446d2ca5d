#include "win_thread.h"

#include <process.h>

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, void* pParam)
    : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam) {}

CWinThread::~CWinThread() {
    if (m_hThread) {
        RequestStop();
        Join();
        CloseHandle(m_hThread);
    }
}

unsigned __stdcall CWinThread::ThreadStart(void* pThis) {
    auto* pThread = static_cast<CWinThread*>(pThis);
    return pThread->m_pfnThreadProc(pThread->m_pThreadParams);
}

bool CWinThread::CreateThread(int nPriority) {
    if (m_hThread)
        return false;
    const uintptr_t handle =
        _beginthreadex(nullptr, 0, &CWinThread::ThreadStart, this, CREATE_SUSPENDED, &m_nThreadID);
    if (handle == 0)
        return false;
    m_hThread = reinterpret_cast<HANDLE>(handle);
    SetThreadPriority(m_hThread, nPriority);
    ResumeThread(m_hThread);
    return true;
}

bool CWinThread::Join(DWORD dwTimeout) {
    if (!m_hThread)
        return true;
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD wait = INFINITE;
        if (dwTimeout != INFINITE) {
            const DWORD elapsed = GetTickCount() - start;
            if (elapsed >= dwTimeout)
                return WaitForSingleObject(m_hThread, 0) == WAIT_OBJECT_0;
            wait = dwTimeout - elapsed;
        }
        const DWORD result = MsgWaitForMultipleObjects(1, &m_hThread, FALSE, wait, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0)
            return true;
        if (result == WAIT_OBJECT_0 + 1) {
            // Handles the messages other threads sent; removes nothing that was posted.
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            continue;
        }
        if (result == WAIT_TIMEOUT)
            return false;
        return WaitForSingleObject(m_hThread, 0) == WAIT_OBJECT_0; // WAIT_FAILED
    }
}

bool CWinThread::IsRunning() const {
    return m_hThread && WaitForSingleObject(m_hThread, 0) == WAIT_TIMEOUT;
}

DWORD CWinThread::GetExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (m_hThread)
        GetExitCodeThread(m_hThread, &code);
    return code;
}
