// Direct pixel access over rows of pixels in memory: an accessor is bound once
// (row 0 address and row step) and then reads or writes a pixel by address
// arithmetic alone. Portable: these bind plain pixel views only; the bitmap
// accessors TacFast24, TacFast32 and TacFastSum24 that bind a TBitmap derive
// from them on the Windows side (sAlphaGraph.h).
// Reads and writes are unchecked: callers keep 0 <= x < Width, 0 <= y < Height.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Persistent.h"
#include "Types.h"

// Rows of pixels in memory: Start is row 0, RowDelta the address of row 1
// minus that of row 0 (negative for a bottom-up bitmap).
struct TacPixelView {
    uint8_t* Start = nullptr;
    ptrdiff_t RowDelta = 0;
    int Width = 0;
    int Height = 0;
    uint8_t* Row(int Y) const { return Start + ptrdiff_t(Y) * RowDelta; }
};

// What an accessor is bound to: its size, row 0 and the row step.
class TacFastPixels : public TObject {
public:
    int Width = 0;
    int Height = 0;
    int RowDelta = 0;
    uint8_t* Start = nullptr;

    // False (Width 0) for an empty view or one narrower or lower than 2 pixels.
    bool BindView(const TacPixelView& View);
};

// 24-bit bitmap: blue, green, red a pixel.
class TacPixels24 : public TacFastPixels {
public:
    // red | green << 8 | blue << 16.
    TColor ReadPixel(int X, int Y) const {
        const uint8_t* p = Start + ptrdiff_t(Y) * RowDelta + ptrdiff_t(X) * 3;
        return TColor(uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16);
    }
};

// 32-bit bitmap: blue, green, red, straight alpha a pixel.
class TacPixels32 : public TacFastPixels {
public:
    // red | green << 8 | blue << 16 | red << 24: the top byte repeats red and
    // does not carry alpha, so whole values compare by colour only.
    TColor ReadPixel(int X, int Y) const {
        const uint8_t* p = Start + ptrdiff_t(Y) * RowDelta + ptrdiff_t(X) * 4;
        return TColor(uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16 | uint32_t(p[2]) << 24);
    }
    // Blue from bits 16-23, green 8-15, red 0-7, alpha 24-31.
    void WritePixel(int X, int Y, TColor C) {
        uint8_t* p = Start + ptrdiff_t(Y) * RowDelta + ptrdiff_t(X) * 4;
        const uint32_t v = uint32_t(C);
        p[0] = uint8_t(v >> 16);
        p[1] = uint8_t(v >> 8);
        p[2] = uint8_t(v);
        p[3] = uint8_t(v >> 24);
    }
};

// Blends a rectangle of one 24-bit bitmap into another with one weight.
class TacPixelSum24 : public TObject {
public:
    int Width = 0;   // the smaller of the two widths
    int Height = 0;  // the smaller of the two heights
    uint8_t* SourceStart = nullptr;
    uint8_t* DestStart = nullptr;
    int SourceDelta = 0;
    int DestDelta = 0;
    uint8_t Alpha = 0;  // weight of the destination's own pixel
    TRect DestRect;     // right and bottom exclusive
    TRect SourceRect;   // same size as DestRect

    // False, storing nothing, when either view is empty or below 2 pixels in
    // either direction.
    bool BindViews(const TacPixelView& Src, const TacPixelView& Dst);
    // Each byte d := (d * Alpha + s * (255 - Alpha) + 127) >> 8. The caller
    // binds, sets Alpha and both rectangles (inside their bitmaps) first.
    void BlendRect();
};
