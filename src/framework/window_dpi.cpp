#include "window_dpi.h"

#include "owners.h"

namespace {

constexpr char kFrameDpiProperty[] = "DscpFrameDpi";

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

GetDpiForWindowFn SystemGetDpiForWindow() {
    static const auto fn = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    return fn;
}

int ScreenDpi() {
    const WindowDC screen(nullptr);
    return screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : kDefaultDpi;
}

} // namespace

int WindowDpi(HWND hWnd) {
    if (hWnd) {
        const HWND hRoot = ::GetAncestor(hWnd, GA_ROOT);
        const auto nKept =
            reinterpret_cast<UINT_PTR>(::GetPropA(hRoot ? hRoot : hWnd, kFrameDpiProperty));
        if (nKept)
            return static_cast<int>(nKept);
        if (const GetDpiForWindowFn fn = SystemGetDpiForWindow())
            if (const UINT nDpi = fn(hWnd))
                return static_cast<int>(nDpi);
    }
    const int nDpi = ScreenDpi();
    return nDpi > 0 ? nDpi : kDefaultDpi;
}

void SetFrameDpi(HWND hWnd, int nDpi) {
    if (nDpi > 0)
        ::SetPropA(hWnd, kFrameDpiProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(nDpi)));
}

void ForgetFrameDpi(HWND hWnd) {
    ::RemovePropA(hWnd, kFrameDpiProperty);
}
