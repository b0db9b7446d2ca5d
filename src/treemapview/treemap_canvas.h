#pragma once
// CTreemapCanvas: what the treemap pane shows, composed off screen: the picture's pixels,
// the names and sizes of the shown folder's blocks over them, the outlines of the
// selection, and the keyboard focus around the whole. The pane paints it in one blit, and
// what was composed can be read back pixel by pixel.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dpi_scale.h"
#include "owners.h"
#include "treemap_labels.h"
#include "treemap_worker.h"

class CTreemapCanvas {
public:
    struct LabelText {
        TreemapLabel label;
        std::string name;
        std::string size; // "" for none (a folder still being scanned)
    };
    // What goes over the picture besides the labels.
    struct Marks {
        uint32_t selected = Tile::kNone; // outlined thickly
        uint32_t clicked = Tile::kNone;  // outlined thinly, inside the selected one
        bool bFocus = false;
        // The pixels to show instead of the picture's own (a type lit), or null.
        const std::vector<uint32_t>* pPixels = nullptr;
    };

    CTreemapCanvas();
    ~CTreemapCanvas();
    CTreemapCanvas(const CTreemapCanvas&) = delete;
    CTreemapCanvas& operator=(const CTreemapCanvas&) = delete;

    // Draws the names in the font, and the labels' margins and outlines in the pixels, of a
    // display of `nDpi` dots per inch; false when it already did.
    bool SetDpi(int nDpi);
    // The label metrics of the font the names are drawn in.
    TreemapLabelMetrics LabelMetrics() const;
    void Compose(const TreemapPicture& picture, const std::vector<LabelText>& labels,
                 const Marks& marks);
    void Clear();
    bool IsEmpty() const { return m_nWidth == 0; }
    // Paints the canvas over a client area of cx × cy: at its size, or stretched while the
    // pane's size has changed and the new picture is still being made.
    void Paint(HDC hDC, int cx, int cy) const;
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    // A composed pixel as 0xAARRGGBB; the background colour outside the canvas.
    uint32_t Pixel(int x, int y) const;

private:
    void DrawLabel(const LabelText& text) const;
    void Outline(const TileRect& r, int nWidth) const;
    void FocusFrame() const;

    UniqueMemoryDC m_dc;
    UniqueGdiObject m_font;
    DpiScale m_scale{0};
    int m_nLineHeight = 13;
    UniqueGdiObject m_bitmap;
    HGDIOBJ m_hOldBitmap = nullptr;
    HGDIOBJ m_hOldFont = nullptr;
    uint32_t* m_pBits = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
};
