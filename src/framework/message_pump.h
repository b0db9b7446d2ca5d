#pragma once
// Waiting on the user-interface thread without blocking its windows: the messages are
// handled as the program's loop handles them (keyboard messages pass the windows'
// PreTranslateMessage first) while the caller waits for work done elsewhere. A handler
// may make the caller's work pointless, or end the program: the caller says when to stop
// (checked after every message), and a WM_QUIT taken here is posted again for the
// program's own loop.

#include <windows.h>

#include <functional>

enum class PumpResult {
    Done,    // everything waiting was handled, or the object was signalled
    Stopped, // `shouldStop` held after a message
    Quit,    // WM_QUIT was taken (and posted again): pump no more
};

// Handles the messages waiting in this thread's queue.
PumpResult AfxPumpWaitingMessages(const std::function<bool()>& shouldStop);

// Handles this thread's messages until `hObject` is signalled.
PumpResult AfxWaitPumpingMessages(HANDLE hObject, const std::function<bool()>& shouldStop);
