#include "treemap_canvas.h"

#include <algorithm>
#include <cstring>

#include "message_font.h"

namespace {

// The label's box: a pale card the text stands on, whatever the colour below.
constexpr COLORREF kLabelBack = RGB(255, 255, 236);
constexpr COLORREF kLabelText = RGB(0, 0, 0);
constexpr COLORREF kLabelSizeText = RGB(64, 64, 64);
constexpr int kLabelPadding = 2;

} // namespace

CTreemapCanvas::CTreemapCanvas() : m_dc(CreateCompatibleDC(nullptr)) {
    if (m_dc)
        SetBkMode(m_dc.Get(), TRANSPARENT);
    SetDpi(kDefaultDpi);
}

bool CTreemapCanvas::SetDpi(int nDpi) {
    if (!m_dc || (m_font && DpiScale(nDpi).Dpi() == m_scale.Dpi()))
        return false;
    m_scale = DpiScale(nDpi);
    HFONT hFont = CreateMessageFontAt(m_scale.Dpi());
    if (!hFont)
        hFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const HGDIOBJ hPrevious = SelectObject(m_dc.Get(), hFont);
    if (!m_hOldFont)
        m_hOldFont = hPrevious;
    m_font.Reset(hFont);
    TEXTMETRICA tm{};
    if (GetTextMetricsA(m_dc.Get(), &tm))
        m_nLineHeight = tm.tmHeight + m_scale(1);
    return true;
}

CTreemapCanvas::~CTreemapCanvas() {
    Clear();
    if (m_dc && m_hOldFont)
        SelectObject(m_dc.Get(), m_hOldFont);
}

TreemapLabelMetrics CTreemapCanvas::LabelMetrics() const {
    TreemapLabelMetrics metrics;
    metrics.lineHeight = m_nLineHeight;
    metrics.minWidth = 4 * m_nLineHeight;
    return metrics;
}

void CTreemapCanvas::Clear() {
    if (m_hOldBitmap)
        SelectObject(m_dc.Get(), m_hOldBitmap);
    m_hOldBitmap = nullptr;
    m_bitmap.Reset();
    m_pBits = nullptr;
    m_nWidth = m_nHeight = 0;
}

void CTreemapCanvas::Compose(const TreemapPicture& picture, const std::vector<LabelText>& labels,
                             const Marks& marks) {
    const int w = picture.layout.width, h = picture.layout.height;
    if (w != m_nWidth || h != m_nHeight) {
        Clear();
        if (!m_dc || w <= 0 || h <= 0)
            return;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h; // rows top down, as the picture's
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* pBits = nullptr;
        m_bitmap.Reset(CreateDIBSection(m_dc.Get(), &info, DIB_RGB_COLORS, &pBits, nullptr, 0));
        if (!m_bitmap || !pBits) {
            m_bitmap.Reset();
            return;
        }
        m_hOldBitmap = SelectObject(m_dc.Get(), m_bitmap.Get());
        m_pBits = static_cast<uint32_t*>(pBits);
        m_nWidth = w;
        m_nHeight = h;
    }
    GdiFlush();
    const std::vector<uint32_t>& pixels = marks.pPixels ? *marks.pPixels : picture.pixels;
    std::memcpy(m_pBits, pixels.data(),
                static_cast<size_t>(w) * static_cast<size_t>(h) * sizeof(uint32_t));
    for (const LabelText& text : labels)
        DrawLabel(text);
    const std::vector<Tile>& tiles = picture.layout.tiles;
    if (marks.selected < tiles.size())
        Outline(tiles[marks.selected].PixelRect(), m_scale(2));
    if (marks.clicked < tiles.size())
        Outline(tiles[marks.clicked].PixelRect(), m_scale(1));
    if (marks.bFocus)
        FocusFrame();
    GdiFlush();
}

void CTreemapCanvas::DrawLabel(const LabelText& text) const {
    const HDC hDC = m_dc.Get();
    const TileRect& box = text.label.box;
    SIZE name{}, size{};
    GetTextExtentPoint32A(hDC, text.name.c_str(), static_cast<int>(text.name.size()), &name);
    const bool bSizeLine = text.label.lines > 1 && !text.size.empty();
    if (bSizeLine)
        GetTextExtentPoint32A(hDC, text.size.c_str(), static_cast<int>(text.size.size()), &size);
    const int padding = m_scale(kLabelPadding);
    const int width = std::max(name.cx, size.cx) + 2 * padding;
    RECT card{box.left, box.top, box.left + std::min(width, box.Width()),
              box.top + m_nLineHeight * (bSizeLine ? 2 : 1)};
    const UniqueGdiObject brush(CreateSolidBrush(kLabelBack));
    FillRect(hDC, &card, static_cast<HBRUSH>(brush.Get()));
    RECT line{card.left + padding, card.top, card.right - padding, card.top + m_nLineHeight};
    const UINT format = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_VCENTER;
    SetTextColor(hDC, kLabelText);
    DrawTextA(hDC, text.name.c_str(), static_cast<int>(text.name.size()), &line, format);
    if (bSizeLine) {
        OffsetRect(&line, 0, m_nLineHeight);
        SetTextColor(hDC, kLabelSizeText);
        DrawTextA(hDC, text.size.c_str(), static_cast<int>(text.size.size()), &line, format);
    }
}

void CTreemapCanvas::Outline(const TileRect& r, int nWidth) const {
    RECT outer{r.left, r.top, r.right, r.bottom};
    for (int i = 0; i < nWidth; ++i) {
        FrameRect(m_dc.Get(), &outer, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        InflateRect(&outer, -1, -1);
    }
    FrameRect(m_dc.Get(), &outer, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void CTreemapCanvas::FocusFrame() const {
    RECT rc{0, 0, m_nWidth, m_nHeight};
    for (int i = 0; i < m_scale(2); ++i) {
        FrameRect(m_dc.Get(), &rc, GetSysColorBrush(COLOR_HIGHLIGHT));
        InflateRect(&rc, -1, -1);
    }
}

void CTreemapCanvas::Paint(HDC hDC, int cx, int cy) const {
    if (IsEmpty())
        return;
    if (cx == m_nWidth && cy == m_nHeight) {
        BitBlt(hDC, 0, 0, cx, cy, m_dc.Get(), 0, 0, SRCCOPY);
        return;
    }
    SetStretchBltMode(hDC, COLORONCOLOR);
    StretchBlt(hDC, 0, 0, cx, cy, m_dc.Get(), 0, 0, m_nWidth, m_nHeight, SRCCOPY);
}

uint32_t CTreemapCanvas::Pixel(int x, int y) const {
    if (IsEmpty() || x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight)
        return kTreemapBackground;
    GdiFlush();
    return m_pBits[static_cast<size_t>(y) * static_cast<size_t>(m_nWidth) +
                   static_cast<size_t>(x)] |
           0xFF000000u;
}
