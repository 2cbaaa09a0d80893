// Pixel helpers of the graphics tests: read bitmaps through their scan lines,
// never through the canvas being tested.
#pragma once

#include "Graphics.h"

// Colour of (x, y) of a 24- or 32-bit bitmap, red in the low byte.
inline TColor PixelOf(TBitmap* b, int x, int y) {
    const auto* row = static_cast<const uint8_t*>(b->ScanLine(y));
    const int bpp = b->PixelFormat() == pf32bit ? 4 : 3;
    const uint8_t* p = row + bpp * x;
    return RGBColor(p[2], p[1], p[0]);
}

inline uint8_t AlphaOf(TBitmap* b, int x, int y) {
    return static_cast<const uint8_t*>(b->ScanLine(y))[4 * x + 3];
}

// A 24-bit DIB of the given size filled with one colour.
inline TBitmap* MakeBitmap(int w, int h, TColor fill, TPixelFormat pf = pf24bit) {
    auto* b = new TBitmap;
    b->SetPixelFormat(pf);
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(fill);
    b->Canvas()->FillRect(Rect(0, 0, w, h));
    return b;
}

// How many pixels of the rectangle differ from colour c.
inline int CountNot(TBitmap* b, const TRect& r, TColor c) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) n += PixelOf(b, x, y) != c;
    return n;
}
