#include "model_wake_wnd.h"

#include <utility>

BEGIN_MESSAGE_MAP(CModelWakeWnd, CWnd)
    ON_MESSAGE(WM_MODEL_WAKE, OnWake)
END_MESSAGE_MAP()

bool CModelWakeWnd::Create(WakeFn onWake) {
    m_onWake = std::move(onWake);
    return CreateEx(0, nullptr, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr);
}

bool CModelWakeWnd::Post(WPARAM wParam) const {
    const HWND hWnd = m_hWnd;
    return hWnd && ::PostMessageA(hWnd, WM_MODEL_WAKE, wParam, 0) != FALSE;
}

LRESULT CModelWakeWnd::OnWake(WPARAM wParam, LPARAM) {
    if (m_onWake)
        m_onWake(wParam);
    return 0;
}
