#pragma once
// Numbers of the framework tests' own resources and commands.
#define IDR_TEST_FRAME 1000
#define ID_ALL_HANDLE 100       // frame, view, document and application handle it
#define ID_VIEW_DOC_APP 101     // view, document and application
#define ID_DOC_APP 102          // document and application
#define ID_APP_ONLY 103         // application only
#define ID_NOBODY 104           // no handler anywhere
#define ID_DISABLED_BY_VIEW 105 // handled, but the view's update handler disables it
#define ID_DROPDOWN 106         // a drop-down button the frame handles
