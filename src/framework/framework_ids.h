#pragma once
// Numbers the framework gives meaning to: its standard commands, strings, window ids
// and private messages. Plain #defines, so resource scripts can include this too.

// Standard commands.
#define ID_SEPARATOR 0
#define ID_FILE_NEW 0xE100           // 57600
#define ID_FILE_OPEN 0xE101          // 57601
#define ID_FILE_SAVE 0xE103          // 57603
#define ID_FILE_PRINT_SETUP 0xE106   // 57606
#define ID_FILE_PRINT 0xE107         // 57607
#define ID_FILE_PRINT_DIRECT 0xE108  // 57608
#define ID_FILE_PRINT_PREVIEW 0xE109 // 57609
#define ID_EDIT_COPY 0xE122          // 57634
#define ID_EDIT_CUT 0xE123           // 57635
#define ID_EDIT_PASTE 0xE125         // 57637
#define ID_EDIT_UNDO 0xE12B          // 57643
#define ID_APP_ABOUT 0xE140          // 57664
#define ID_APP_EXIT 0xE141           // 57665
#define ID_NEXT_PANE 0xE150          // 57680
#define ID_PREV_PANE 0xE151          // 57681
#define ID_VIEW_TOOLBAR 0xE800       // 59392
#define ID_VIEW_STATUS_BAR 0xE801    // 59393

// Status bar indicators; their strings are the texts shown while the key is on.
#define ID_INDICATOR_CAPS 0xE701 // 59137
#define ID_INDICATOR_NUM 0xE702  // 59138
#define ID_INDICATOR_SCRL 0xE703 // 59139

// Standard strings.
#define AFX_IDS_APP_TITLE 0xE000   // 57344, the application's name
#define AFX_IDS_IDLEMESSAGE 0xE001 // 57345, "Ready"

// Window ids. Control bars live in 0xE800..0xE8FF; the dock bars take 0xE81B..0xE81F.
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_CONTROLBAR_LAST 0xE8FF
#define AFX_IDW_TOOLBAR 0xE800    // 59392
#define AFX_IDW_STATUS_BAR 0xE801 // 59393
#define AFX_IDW_DOCKBAR_TOP 0xE81B
#define AFX_IDW_DOCKBAR_LEFT 0xE81C
#define AFX_IDW_DOCKBAR_RIGHT 0xE81D
#define AFX_IDW_DOCKBAR_BOTTOM 0xE81E
#define AFX_IDW_DOCKBAR_FLOAT 0xE81F
#define AFX_IDW_PANE_FIRST 0xE900 // 59648, the frame's client view
#define AFX_IDW_PANE_LAST 0xE9FF

// Private messages between the framework's windows (below WM_USER, where no control
// of the system looks).
#define WM_SIZEPARENT 0x0361       // a control bar takes its room from the parent's layout
#define WM_SETMESSAGESTRING 0x0362 // the frame shows a prompt (wParam: string id, or lParam: text)
#define WM_IDLEUPDATECMDUI 0x0363  // idle update of bars and frames (wParam: disable if no handler)
#define WM_INITIALUPDATE 0x0364    // a view's first update after its document is ready
