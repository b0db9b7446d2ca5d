#include "message_font.h"

#include "owners.h"
#include "window_dpi.h"

namespace {

using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

SystemParametersInfoForDpiFn SystemParametersForDpi() {
    static const auto fn = reinterpret_cast<SystemParametersInfoForDpiFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("user32.dll"), "SystemParametersInfoForDpi")));
    return fn;
}

} // namespace

HFONT CreateMessageFont(HWND hWnd) {
    return CreateMessageFontAt(WindowDpi(hWnd));
}

HFONT CreateMessageFontAt(int nDpi) {
    // The wide metrics: the call for a resolution has no "A" form.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (const SystemParametersInfoForDpiFn fn = SystemParametersForDpi())
        if (fn(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(nDpi)))
            return CreateFontIndirectW(&metrics.lfMessageFont);
    // Without it the system's metrics are at the screen's resolution.
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return nullptr;
    metrics.lfMessageFont.lfHeight =
        DpiScale::Rescale(metrics.lfMessageFont.lfHeight, WindowDpi(nullptr), nDpi);
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

int LineHeightOf(HWND hWnd, HGDIOBJ hFont, int nDefault) {
    const WindowDC dc(hWnd);
    const SelectedObject selected(dc.Get(), hFont ? hFont : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA tm{};
    return GetTextMetricsA(dc.Get(), &tm) ? static_cast<int>(tm.tmHeight) : nDefault;
}

int EditBoxHeight(int nLineHeight) {
    return nLineHeight + 2 * GetSystemMetrics(SM_CYEDGE) + 4;
}
