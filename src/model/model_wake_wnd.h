#pragma once
// CModelWakeWnd: a message-only window the document owns, so that threads working for
// the model (the scan) can wake the user-interface thread without knowing any view.

#include <functional>

#include "wnd.h"

class CModelWakeWnd : public CWnd {
    DECLARE_MESSAGE_MAP()
public:
    // Runs on the window's thread for each wake-up, with its parameter.
    using WakeFn = std::function<void(WPARAM)>;

    bool Create(WakeFn onWake);
    // Posts a wake-up; false when it could not be posted (or there is no window).
    bool Post(WPARAM wParam) const;
    // Wakes the window once, with parameter 0, after `nMs` (a wake-up already set for
    // later is set anew).
    void WakeAfter(UINT nMs);

    static constexpr UINT WM_MODEL_WAKE = WM_APP + 0x103;

protected:
    LRESULT OnWake(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR nIDEvent);

private:
    WakeFn m_onWake;
};
