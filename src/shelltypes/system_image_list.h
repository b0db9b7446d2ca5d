#pragma once
// The shell's lists of icons: one per size, each icon at the same index in every list, shared
// by the whole process (a window given one never destroys it).

#include <windows.h>

#include <commctrl.h>

// The list whose icons are nearest the size of a small icon (16 pixels at 96 dots per inch)
// at `nDpi`; null when the shell has none.
HIMAGELIST SystemImageListAt(int nDpi);
