#include "message_pump.h"

#include "win_app.h"

PumpResult AfxPumpWaitingMessages(const std::function<bool()>& shouldStop) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return PumpResult::Quit;
        }
        CWinApp* pApp = AfxGetApp();
        if (!pApp || !pApp->PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (shouldStop())
            return PumpResult::Stopped;
    }
    return PumpResult::Done;
}

PumpResult AfxWaitPumpingMessages(HANDLE hObject, const std::function<bool()>& shouldStop) {
    for (;;) {
        const DWORD result = MsgWaitForMultipleObjects(1, &hObject, FALSE, INFINITE, QS_ALLINPUT);
        if (result != WAIT_OBJECT_0 + 1)
            return PumpResult::Done; // signalled (or a handle that cannot be waited on)
        const PumpResult pumped = AfxPumpWaitingMessages(shouldStop);
        if (pumped != PumpResult::Done)
            return pumped;
    }
}
