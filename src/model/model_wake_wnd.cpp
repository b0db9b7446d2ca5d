#include "model_wake_wnd.h"

#include <utility>

namespace {
constexpr UINT_PTR kWakeTimer = 1;
}

BEGIN_MESSAGE_MAP(CModelWakeWnd, CWnd)
    ON_MESSAGE(WM_MODEL_WAKE, OnWake)
    ON_WM_TIMER()
END_MESSAGE_MAP()

bool CModelWakeWnd::Create(WakeFn onWake) {
    m_onWake = std::move(onWake);
    return CreateEx(0, nullptr, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr);
}

bool CModelWakeWnd::Post(WPARAM wParam) const {
    const HWND hWnd = m_hWnd;
    return hWnd && ::PostMessageA(hWnd, WM_MODEL_WAKE, wParam, 0) != FALSE;
}

void CModelWakeWnd::WakeAfter(UINT nMs) {
    if (m_hWnd)
        ::SetTimer(m_hWnd, kWakeTimer, nMs, nullptr);
}

void CModelWakeWnd::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != kWakeTimer)
        return;
    ::KillTimer(m_hWnd, kWakeTimer);
    if (m_onWake)
        m_onWake(0);
}

LRESULT CModelWakeWnd::OnWake(WPARAM wParam, LPARAM) {
    if (m_onWake)
        m_onWake(wParam);
    return 0;
}
