#include "message_font.h"

#include "owners.h"

HFONT CreateMessageFont() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return CreateFontIndirectA(&metrics.lfMessageFont);
    return nullptr;
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
