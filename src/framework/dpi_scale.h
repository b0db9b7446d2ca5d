#pragma once
// Pixel sizes at a display's resolution. The program states its sizes as they are at 96
// dots per inch, and so are the sizes the stored layout holds; a window shows them scaled to
// its own resolution and reads what it shows back as 96-DPI values. Rounding is to the
// nearest pixel, halves away from zero, so that a 96-DPI value shown and read back at any
// resolution of 96 DPI or more is the value it was. Portable.

#include "layout.h"

constexpr int kDefaultDpi = 96;

class DpiScale {
public:
    // A resolution below 1 is taken as 96.
    explicit DpiScale(int nDpi = kDefaultDpi) : m_nDpi(nDpi > 0 ? nDpi : kDefaultDpi) {}

    int Dpi() const { return m_nDpi; }
    bool IsDefault() const { return m_nDpi == kDefaultDpi; }

    // A 96-DPI value in this resolution's pixels.
    int ToDevice(int n96) const { return Rescale(n96, kDefaultDpi, m_nDpi); }
    int operator()(int n96) const { return ToDevice(n96); }
    LayoutSize ToDevice(LayoutSize size) const { return {ToDevice(size.cx), ToDevice(size.cy)}; }
    // A value in this resolution's pixels as it is at 96 DPI.
    int ToStored(int nDevice) const { return Rescale(nDevice, m_nDpi, kDefaultDpi); }
    LayoutSize ToStored(LayoutSize size) const { return {ToStored(size.cx), ToStored(size.cy)}; }

    // `n` pixels at `nFromDpi` in pixels at `nToDpi`: n × to / from, rounded to the nearest,
    // halves away from zero (as the system's MulDiv rounds).
    static int Rescale(int n, int nFromDpi, int nToDpi);

private:
    int m_nDpi;
};
