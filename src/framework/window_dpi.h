#pragma once
// The resolution a window is shown at. The frame keeps its own (it follows the moves between
// monitors of different scale), and every window inside it takes the frame's; other windows
// ask the system, whose per-window call is looked up at run time so that the program still
// starts where it is missing (then the screen's resolution serves).

#include <windows.h>

#include "dpi_scale.h"

// Sent to every window inside a frame once the frame shows at another scale (the system
// sends it where it can; the frame sends it too, where the system does not).
#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

// The resolution `hWnd` is shown at; the screen's for null.
int WindowDpi(HWND hWnd);
inline DpiScale WindowScale(HWND hWnd) {
    return DpiScale(WindowDpi(hWnd));
}
// Makes `nDpi` the resolution of the top-level window `hWnd` and of every window inside it.
void SetFrameDpi(HWND hWnd, int nDpi);
// Forgets it again (before the window goes).
void ForgetFrameDpi(HWND hWnd);
