// The program's entry and its one application object.
#include <windows.h>

#include "dirscope_app.h"

CDirscopeApp theApp;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow) {
    return AfxWinMain(hInstance, nCmdShow);
}
