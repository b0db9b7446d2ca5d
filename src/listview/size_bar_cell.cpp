#include "size_bar_cell.h"

#include <algorithm>
#include <string>

#include "window_dpi.h"

namespace {

// The bar's colour on an unselected row: a pale blue the black text reads well on.
constexpr COLORREF kSizeBarColour = RGB(196, 218, 246);

// `c` a little over a third of the way to white.
COLORREF Lighter(COLORREF c) {
    const auto mix = [](int v) { return static_cast<BYTE>(v + (255 - v) * 2 / 5); };
    return RGB(mix(GetRValue(c)), mix(GetGValue(c)), mix(GetBValue(c)));
}

void Fill(HDC hDC, const RECT& rc, COLORREF colour) {
    ::SetBkColor(hDC, colour);
    ::ExtTextOutA(hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

} // namespace

void DrawSizeBarCell(const CListCtrl& list, const NMLVCUSTOMDRAW& draw, int nColumn, int64_t nBytes,
                     int64_t nTotal) {
    const HWND hList = list.m_hWnd;
    const int nItem = static_cast<int>(draw.nmcd.dwItemSpec);
    RECT rc{};
    rc.top = nColumn;
    rc.left = LVIR_BOUNDS;
    if (!::SendMessageA(hList, LVM_GETSUBITEMRECT, static_cast<WPARAM>(nItem),
                        reinterpret_cast<LPARAM>(&rc)))
        return;
    // A selected row of the focused list is highlighted across, this cell too; the bar is
    // then a lighter shade of the highlight.
    const bool bSelected =
        ::GetFocus() == hList &&
        (::SendMessageA(hList, LVM_GETITEMSTATE, static_cast<WPARAM>(nItem), LVIS_SELECTED) &
         LVIS_SELECTED);
    const COLORREF background = ::GetSysColor(bSelected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    const HDC hDC = draw.nmcd.hdc;
    const DpiScale px = WindowScale(hList);
    Fill(hDC, rc, background);
    if (nBytes > 0 && nTotal > 0) {
        const double share =
            std::min(1.0, static_cast<double>(nBytes) / static_cast<double>(nTotal));
        RECT bar = rc;
        bar.top += px(2);
        bar.bottom -= px(2);
        bar.left += px(2);
        bar.right = bar.left + static_cast<LONG>(share * (rc.right - rc.left - px(4)) + 0.5);
        if (bar.right > bar.left)
            Fill(hDC, bar, bSelected ? Lighter(background) : kSizeBarColour);
    }
    const std::string text = list.GetItemText(nItem, nColumn);
    RECT rcText = rc;
    rcText.left += px(6); // the list's own margin
    rcText.right -= px(6);
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, ::GetSysColor(bSelected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    ::DrawTextA(hDC, text.c_str(), static_cast<int>(text.size()), &rcText,
                DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}
