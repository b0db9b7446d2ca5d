#pragma once
// The font the system shows message text in, and what a line of text and a one-line edit box
// in it measure: what the bars with boxes of their own (the path bar, the search strip) and
// the treemap's labels are drawn with.

#include <windows.h>

// A new font as the system's message font at the resolution `hWnd` shows at (the screen's
// for null); null when the system does not tell it.
HFONT CreateMessageFont(HWND hWnd = nullptr);
// The same at `nDpi` dots per inch.
HFONT CreateMessageFontAt(int nDpi);
// The height of a line of `hFont` (null: the stock GUI font) in `hWnd`'s device context;
// `nDefault` when it cannot be measured.
int LineHeightOf(HWND hWnd, HGDIOBJ hFont, int nDefault);
// The height of a one-line edit box with a client edge for lines `nLineHeight` high: the
// line, the box's edges and its margins.
int EditBoxHeight(int nLineHeight);
